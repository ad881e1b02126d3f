#include "app/commands/SettingsIo.h"

#include "app/commands/Select.h"

#include <cstdio>
#include <filesystem>
#include <functional>

#include "app/commands/RegistryReads.h"
#include "formats/CommaText.h"
#include "platform/base/FileOps.h"
#include "platform/base/IniFile.h"
#include "platform/base/Prompter.h"
#include "platform/core/Registry.h"

namespace wvr {
namespace {

constexpr const char* kCsvSection = "wvr_csv";

void LoadMainKey(Settings& s) {
    auto key = RegistryKey::Open("", false);
    if (!key) return;
    ReadBlock r(*key);
    r.Flag("StatusBarVis", s.StatusBarVis).Flag("GridLineVis", s.GridLineVis).Flag("ToolBarVis", s.ToolBarVis);
    r.Number("WndWidth", s.WndWidth).Number("WndHeight", s.WndHeight);
    for (int c = 0; c < kColumnCount; ++c) r.Number("Column" + std::to_string(c), s.columnWidths[c]);
    r.Bits(s, 0, 20).Number("EdtClmIdx", s.EdtClmIdx);
    r.String("RenString", [&](std::string v) { s.RenString = SplitCommaText(v); });
    r.Number("RenStrIdx", s.RenStrIdx).Path("PlyPlayer", s.PlyPlayer).Text("CnvEngineer", s.CnvEngineer);
    r.Bits(s, 21, 31);
    for (int f = 0; f < 3; ++f) r.Text("fFont" + std::to_string(f + 1) + "Name", s.fonts[f].name);
    for (int f = 0; f < 3; ++f) r.Number("fFont" + std::to_string(f + 1) + "Size", s.fonts[f].size);
    for (int f = 0; f < 3; ++f)
        r.Integer("fFont" + std::to_string(f + 1) + "Color", [&s, f](int v) { s.fonts[f].color = static_cast<uint32_t>(v); });
    r.Bits(s, 32, 35).Path("RenLrcFld", s.RenLrcFld).Bits(s, 36, 39);
    // Values added later are read on their own: one that an older store lacks stops nothing.
    ReadBlock(*key).Flag("CsvUtf8", s.CsvUtf8);
    ReadBlock(*key).Flag("CsvHeader", s.CsvHeader);
    ReadBlock(*key).Flag("Id3v2Edit", s.Id3v2Edit);
    ReadBlock(*key).Number("Id3v2Version", s.Id3v2Version);
    if (s.Id3v2Version != 4) s.Id3v2Version = 3;
    ReadBlock(*key).Number("JournalDays", s.JournalDays);
    ReadBlock(*key).Number("JournalMegabytes", s.JournalMegabytes);
    if (s.JournalDays < 1) s.JournalDays = 30;
    if (s.JournalMegabytes < 1) s.JournalMegabytes = 200;
}

void LoadExceptionRules(Settings& s) {
    auto key = RegistryKey::Open("ReName", true);
    if (!key) return;
    auto count = key->ReadInteger("StringCount");
    for (int i = 0; count && i < *count; ++i) {
        auto rule = key->ReadString("String" + std::to_string(i));
        if (!rule) break;
        s.ReName.push_back(SplitCommaText(*rule));
    }
}

void LoadFilter(Settings& s) {
    if (auto key = RegistryKey::Open("Filter", true)) {
        auto count = key->ReadInteger("FilterCount");
        auto sel = count ? key->ReadInteger("FilterSel") : std::nullopt;
        if (sel) s.FilterSel = *sel != 0;
        for (int i = 0; sel && i < *count; ++i) {
            const std::string n = std::to_string(i);
            auto str = key->ReadString("Str" + n);
            auto index = str ? key->ReadInteger("Index" + n) : std::nullopt;
            auto checked = index ? key->ReadInteger("Checked" + n) : std::nullopt;
            if (!checked) break;
            s.Filter.push_back({*checked != 0, *index, *str});
        }
    }
    if (s.Filter.empty()) s.Filter.push_back({false, 0, ""});
}

bool SaveMainKey(const Settings& s) {
    auto key = RegistryKey::Open("", true);
    if (!key) return false;
    bool ok = true;
    auto integer = [&](const std::string& name, int v) { ok = ok && key->WriteInteger(name, v); };
    auto text = [&](const std::string& name, const std::string& v) { ok = ok && key->WriteString(name, v); };
    auto filePath = [&](const std::string& name, const std::string& v) { ok = ok && key->WritePath(name, v); };
    integer("StatusBarVis", s.StatusBarVis);
    integer("GridLineVis", s.GridLineVis);
    integer("ToolBarVis", s.ToolBarVis);
    integer("WndWidth", s.WndWidth);
    integer("WndHeight", s.WndHeight);
    for (int c = 0; c < kColumnCount; ++c) integer("Column" + std::to_string(c), s.columnWidths[c]);
    integer("f1Rmp", s.editWindow.f1Rmp);
    integer("f1RmpO", s.editWindow.f1RmpO);
    integer("f1Width", s.editWindow.f1Width);
    integer("f1Height", s.editWindow.f1Height);
    integer("f1OnTop", s.editWindow.f1OnTop);
    for (int bit = 0; bit < kOptionCount; ++bit) integer(OptionName(bit), s.bits[bit]);
    integer("CsvUtf8", s.CsvUtf8);
    integer("CsvHeader", s.CsvHeader);
    integer("EdtClmIdx", s.EdtClmIdx);
    integer("RenStrIdx", s.RenStrIdx);
    text("RenString", JoinCommaText(s.RenString));
    filePath("PlyPlayer", s.PlyPlayer);
    text("CnvEngineer", s.CnvEngineer);
    filePath("RenLrcFld", s.RenLrcFld);
    for (int f = 0; f < 3; ++f) text("fFont" + std::to_string(f + 1) + "Name", s.fonts[f].name);
    for (int f = 0; f < 3; ++f) integer("fFont" + std::to_string(f + 1) + "Size", s.fonts[f].size);
    for (int f = 0; f < 3; ++f) integer("fFont" + std::to_string(f + 1) + "Color", static_cast<int>(s.fonts[f].color));
    integer("Id3v2Edit", s.Id3v2Edit);
    integer("Id3v2Version", s.Id3v2Version);
    integer("JournalDays", s.JournalDays);
    integer("JournalMegabytes", s.JournalMegabytes);
    return ok && key->Flush();
}

bool SaveExceptionRules(const Settings& s) {
    if (!RegistryKey::Delete("ReName")) return false;
    auto key = RegistryKey::Open("ReName", true);
    if (!key) return false;
    bool ok = key->WriteInteger("StringCount", static_cast<int>(s.ReName.size()));
    for (size_t i = 0; ok && i < s.ReName.size(); ++i)
        ok = key->WriteString("String" + std::to_string(i), JoinCommaText(s.ReName[i]));
    return ok && key->Flush();
}

bool SaveFilter(const Settings& s) {
    if (!RegistryKey::Delete("Filter")) return false;
    auto key = RegistryKey::Open("Filter", true);
    if (!key) return false;
    bool ok = key->WriteInteger("FilterCount", static_cast<int>(s.Filter.size())) &&
              key->WriteInteger("FilterSel", s.FilterSel);
    for (size_t i = 0; ok && i < s.Filter.size(); ++i) {
        const std::string n = std::to_string(i);
        ok = key->WriteString("Str" + n, s.Filter[i].Str) && key->WriteInteger("Index" + n, s.Filter[i].Index) &&
             key->WriteInteger("Checked" + n, s.Filter[i].Checked);
    }
    return ok && key->Flush();
}

// Reads the ini file and changes it; only the lines the change touches differ, and the file
// is written (through a complete replacement) only when something changed.
bool UpdateIni(const char* iniName, const std::function<void(IniFile&)>& change) {
    const std::string path = IniFilePath(iniName);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::optional<IniFile> ini = IniFile::LoadForUpdate(path);
    if (!ini) return false;  // a file that could not be read is left as it is
    const std::string before = ini->Render();
    change(*ini);
    return (ini->Render() == before && fs::Exists(path)) || ini->Save(path);
}

std::vector<std::string> SectionsOf(const char* iniName) {
    return IniFile::Load(IniFilePath(iniName)).SectionNames();
}

}  // namespace

void LoadSettings(Settings& settings) {
    LoadMainKey(settings);
    if (settings.RenString.empty()) {
        settings.RenString.push_back(kDefaultRenamePattern);
        settings.RenStrIdx = 0;
    }
    LoadExceptionRules(settings);
    LoadFilter(settings);
    LoadCsvColumnOrder(settings);
}

void LoadEditWindowSettings(EditWindowSettings& state) {
    auto key = RegistryKey::Open("", false);
    if (!key) return;
    ReadBlock(*key)
        .Number("f1Rmp", state.f1Rmp)
        .Number("f1RmpO", state.f1RmpO)
        .Number("f1Width", state.f1Width)
        .Number("f1Height", state.f1Height)
        .Number("f1OnTop", state.f1OnTop);
}

void SaveSettings(const Settings& settings, Prompter& prompter) {
    if (!SaveMainKey(settings)) prompter.Plain(kRegistrySaveFailed);
    if (!SaveExceptionRules(settings)) prompter.Plain(kRegistrySaveFailed);
    if (!SaveFilter(settings)) prompter.Plain(kRegistrySaveFailed);
    SaveCsvColumnOrder(settings);
}

std::vector<int> ParseCsvColumnOrder(const std::string& data0) {
    std::vector<int> columns;
    for (size_t i = 0; i + 2 <= data0.size(); i += 2) {
        const char a = data0[i], b = data0[i + 1];
        columns.push_back((a >= '0' && a <= '9' && b >= '0' && b <= '9') ? (a - '0') * 10 + (b - '0') : 0);
    }
    return columns;
}

std::string FormatCsvColumnOrder(const std::vector<int>& columns) {
    std::string out;
    for (int c : columns) {
        char two[8];
        std::snprintf(two, sizeof two, "%02d", c);
        out += two;
    }
    return out;
}

void LoadCsvColumnOrder(Settings& settings) {
    IniFile ini = IniFile::Load(IniFilePath(kOutputIni));
    if (ini.HasSection(kCsvSection)) settings.csvColumns = ParseCsvColumnOrder(ini.Value(kCsvSection, "Data_0", ""));
}

void SaveCsvColumnOrder(const Settings& settings) {
    // The section is replaced where it stands.
    UpdateIni(kOutputIni, [&](IniFile& ini) {
        ini.ReplaceSection(kCsvSection,
                           {{"Count", "1"}, {"Data_0", "\"" + FormatCsvColumnOrder(settings.csvColumns) + "\""}});
    });
}

IniEntries ReadIniSection(const char* iniName, const std::string& section) {
    return IniFile::Load(IniFilePath(iniName)).Entries(section);
}

bool StoreIniSection(const char* iniName, const std::string& section, const IniEntries& entries) {
    return UpdateIni(iniName, [&](IniFile& ini) {
        ini.EraseSection(section);
        if (!entries.empty()) ini.AppendSection(section, entries);
    });
}

bool EraseIniSection(const char* iniName, const std::string& section) {
    return UpdateIni(iniName, [&](IniFile& ini) { ini.EraseSection(section); });
}

std::vector<std::string> OutputSetNames() {
    std::vector<std::string> names;
    for (auto& name : SectionsOf(kOutputIni))
        if (name != "wvr" && name != kCsvSection) names.push_back(name);
    return names;
}

std::vector<std::string> InputFormatNames() { return SectionsOf(kInputIni); }

// --- the select dialog's subkey

SelectSettings LoadSelectSettings() {
    SelectSettings s;
    auto key = RegistryKey::Open("Select", true);
    if (!key) return s;
    ReadBlock r(*key);
    r.Text("LastFile", s.LastFile).Number("SelIndex", s.SelIndex).Number("TimeIndex", s.TimeIndex);
    r.Number("TimeValue", s.TimeValue).Number("SizeIndex", s.SizeIndex).Number("SizeValue", s.SizeValue);
    r.Flag("LeaveFile", s.LeaveFile).Flag("SelExtM3u", s.SelExtM3u);
    return s;
}

bool SaveSelectSettings(const SelectSettings& s, Prompter& prompter) {
    auto key = RegistryKey::Open("Select", true);
    bool ok = key.has_value();
    auto integer = [&](const std::string& name, int v) { ok = ok && key->WriteInteger(name, v); };
    ok = ok && key->WriteString("LastFile", s.LastFile);
    integer("SelIndex", s.SelIndex);
    integer("TimeIndex", s.TimeIndex);
    integer("TimeValue", s.TimeValue);
    integer("SizeIndex", s.SizeIndex);
    integer("SizeValue", s.SizeValue);
    integer("LeaveFile", s.LeaveFile ? 1 : 0);
    integer("SelExtM3u", s.SelExtM3u ? 1 : 0);
    ok = ok && key->Flush();
    if (!ok) prompter.Plain(kRegistrySaveFailed);
    return ok;
}

}  // namespace wvr
