// Saving the list as a CSV file and reading such files back: as rows of files with their
// tag texts, as texts laid onto the rows already listed (no path column), or as a CD player's
// track list.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Column codes: 0 the path, 1..20 the indexed texts 0..19, above 20 the path on save and
// nothing on load. Without a configured order: path, Kind, Fields[0]..Fields[16].
std::vector<int> CsvColumnsInUse(const Settings& settings);

// One line without its line end: the values of `columns`, quoted by the mode (every value in
// double quotes, or in spreadsheet mode only those that would not read back bare).
std::string CsvLine(const TrackInfo& row, const std::vector<int>& columns, const std::string& pathValue,
                    bool spreadsheet);

// Writes every row to `csvPath` (a row path), after trimming the rows' texts. False after
// telling why when the file cannot be written; nothing is trimmed when it cannot be created.
bool SaveCsv(Session& session, const std::string& csvPath, Prompter& prompter, BusyIndicator* busy);

// Lines that named no readable music file, by CSV file and line number from 1.
using SkippedCsvLines = std::vector<std::pair<std::string, int>>;

// Reads the files in order. False when one could not be read: what the files before it
// added or changed stays. With EdtAddClr the list is cleared once the first file was read,
// and only when its lines add rows (a path column, not the CD player's list).
bool LoadCsv(Session& session, const std::vector<std::string>& csvPaths, Prompter& prompter, BusyIndicator* busy,
             SkippedCsvLines* skipped = nullptr);

}  // namespace wvr
