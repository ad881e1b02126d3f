// Everything the program remembers between runs: 40 option bits and the other values kept
// in the settings store, the rename patterns and exception rules, the file-name filter,
// fonts, the edit window's state and the CSV column order.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/TrackInfo.h"

namespace wvr {

// Option bits by their stored names; the number is the bit index.
enum class Option : int {
    CnvEndDel = 0, RenInfOff, RenChkOff, WitInfOff, WitChkOff, WitID3Add, EdtAddClr, EdtISFT, WitEndClr,
    RenChaTrs, RenSpcTrs, EdtFileName, WavCnv, PlyRunMin, PlayerSel, PlyChkOff, CnvChkOff, UdoInfOff,
    FilChkOff, GetChkOff, DropActive, RenOther, CnvErrOff, QuitMesOff, CsvExcel, CsvAdd, FilUseMcr,
    RenRmpMp3, WitUnChk, Zen2Han, OptGenreOn, CnvDate, RenLrc, EdtLimit, RenLrcTxt, RenLrcDir, Filter,
    CsvRelative, LrcDrop, CsvKnowCD,
};
inline constexpr int kOptionCount = 40;

// The stored name of option bit n.
const char* OptionName(int bit);

struct FilterEntry {
    bool Checked = false;
    int Index = 0;    // 0 file name, k Fields[k-1]
    std::string Str;  // CP932

    bool operator==(const FilterEntry&) const = default;
};

// The colour of a font nobody chose a colour for: the theme's text colour (stored as the
// platform stores its window-text system colour), so that texts stay readable on any theme.
inline constexpr uint32_t kThemeTextColor = 0xFF000008;

struct FontSetting {
    std::string name;  // CP932
    int size = 9;      // points
    uint32_t color = kThemeTextColor;  // 0x00BBGGRR, as the platform stores colours

    bool operator==(const FontSetting&) const = default;
};

// The edit window's own stored values.
struct EditWindowSettings {
    int f1Rmp = 0;
    int f1RmpO = 0;
    int f1Width = 578;
    int f1Height = 223;
    int f1OnTop = 1;

    bool operator==(const EditWindowSettings&) const = default;
};

// The texts of a rename exception rule, in their stored order.
enum RenameRuleItem : int { kRuleText = 0, kRulePattern, kRuleField, kRuleItemCount };

// The column an exception rule compares (0 file name, k Fields[k-1]); -1 when the rule has
// no such column.
int RuleField(const std::vector<std::string>& rule);

inline constexpr const char* kDefaultRenamePattern = "[%1] %2%e";
inline constexpr std::array<int, kColumnCount> kDefaultColumnWidths = {150, 150, 100, 50, 50, 50, 50, 50,
                                                                       50,  50,  50,  50,  50, 50, 50};

struct Settings {
    Settings();

    bool Get(Option o) const { return bits[static_cast<int>(o)]; }
    void Set(Option o, bool on) { bits[static_cast<int>(o)] = on; }

    std::bitset<kOptionCount> bits;
    bool StatusBarVis = true;
    bool GridLineVis = true;
    bool ToolBarVis = true;
    int WndWidth = 526;
    int WndHeight = 264;
    std::array<int, kColumnCount> columnWidths = kDefaultColumnWidths;  // pixels, 0 hidden, -1 auto
    int EdtClmIdx = 0;
    std::vector<std::string> RenString;             // rename patterns
    int RenStrIdx = 0;
    std::string PlyPlayer;                           // native path
    std::string CnvEngineer;
    std::string RenLrcFld;                           // native path, with its separator
    std::array<FontSetting, 3> fonts;                // main window, edit window, list
    EditWindowSettings editWindow;
    std::vector<std::vector<std::string>> ReName;   // exception rules: text, pattern, field number
    bool FilterSel = false;                          // include mode
    std::vector<FilterEntry> Filter;
    std::vector<int> csvColumns;                     // CSV column order ("Data_0")
    // Beyond the option bits, each a value of its own, off unless set: CSV files for
    // spreadsheets that expect UTF-8 and named columns.
    bool CsvUtf8 = false;                            // save in UTF-8 with a byte-order mark
    bool CsvHeader = false;                          // save a first line of column names
    bool Id3v2Edit = false;                          // ID3v2 tags are read and written
    int Id3v2Version = 3;                            // version of new ID3v2 tags: 3 (UTF-16) or 4 (UTF-8)
    int JournalDays = 30;                            // the write journal keeps runs this long
    int JournalMegabytes = 200;                      // and up to this size

    // The pattern in use, or the default when the index is out of range.
    std::string CurrentRenamePattern() const;

    bool operator==(const Settings&) const = default;
};

}  // namespace wvr
