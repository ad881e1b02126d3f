// Choosing files at random until a play time or a medium size is filled, the texts of the
// result, the playlist of the result and the dialog's remembered values.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "app/commands/RowList.h"

namespace wvr {

class Prompter;

enum class SelectMode : int { Time = 0, Size = 1 };

// The budget lists; entry 0 of each is the custom value.
inline constexpr std::array<const char*, 8> kTimeEntries = {"任意", "46分", "54分", "60分",
                                                            "74分", "80分", "90分", "120分"};
inline constexpr std::array<const char*, 4> kSizeEntries = {"任意", "16MB", "32MB", "64MB"};
inline constexpr int kMaxCustomValue = 2097152;  // minutes or kilobytes

// The budget of an entry: seconds in time mode, bytes in size mode; entry 0 is the custom
// value in minutes or kilobytes. An index out of range gives 0.
long long SelectBudget(SelectMode mode, int index, long long customValue);

// A file that may be chosen: its seconds or bytes, and its row in the main list.
struct Candidate {
    long long value = 0;
    int row = 0;
};

// Time mode: every row with its Seconds. Size mode: every row whose Path names an existing
// file, with the file's size; the others are left out.
std::vector<Candidate> BuildCandidates(const RowList& rows, SelectMode mode);

struct Selection {
    std::vector<Candidate> chosen;  // in the order they were taken
    long long total = 0;
};

// The random greedy fill: each candidate, drawn uniformly from those left, is taken when it
// still fits into what is left of the budget, and is never tried again.
Selection RandomFill(std::vector<Candidate> candidates, long long budget, std::mt19937& random);

// A generator seeded from the clock, as each opening of the dialog gets.
std::mt19937 ClockSeededGenerator();

// Bytes as megabytes with at most one decimal, rounded: 3670016 -> "3.5", 16777216 -> "16".
std::string Megabytes(long long bytes);
// The value column of a result row: a play time, or megabytes followed by "MB".
std::string SelectValueText(SelectMode mode, long long value);
// The total label: "total / budget" as play times, or "totalMB / budgetMB".
std::string SelectTotalText(SelectMode mode, long long total, long long budget);

// Writes the rows' files as a playlist (PlaylistBytes, or ExtendedPlaylistBytes when
// `extended`) to the file at `cp932Path`, replacing it only when the whole list is written.
// False after an error box.
bool WritePlaylist(const std::string& cp932Path, const std::vector<TrackInfo>& rows, bool extended,
                   Prompter& prompter);

// Leaves only the rows listed, in their order, all unchecked.
void KeepOnlyRows(RowList& rows, const std::vector<int>& kept);

// The dialog's remembered values, kept in the settings subkey "Select".
struct SelectSettings {
    std::string LastFile;  // CP932
    int SelIndex = 0;
    int TimeIndex = 3;
    int TimeValue = 0;
    int SizeIndex = 2;
    int SizeValue = 0;
    bool LeaveFile = false;
    bool SelExtM3u = false;  // the playlist is written as an extended M3U
};

// Reads in the stored order; the first value missing or unreadable ends the reading, and the
// values not read keep their defaults.
SelectSettings LoadSelectSettings();
// Writes them all; false after the box "レジストリへの保存に失敗しました。".
bool SaveSelectSettings(const SelectSettings& settings, Prompter& prompter);

}  // namespace wvr
