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

// Lines of CSV files, by CSV file and the line number it starts on, from 1.
using CsvLineNumbers = std::vector<std::pair<std::string, int>>;

// What a load found wrong with lines.
struct CsvLoadReport {
    CsvLineNumbers skipped;   // named no readable music file
    CsvLineNumbers overlong;  // more values than columns: texts in the wrong columns
};

// Reads the files in order: Shift-JIS files by the comma-text rules, files that begin with a
// UTF-8 byte-order mark by RFC 4180. A first line that names the columns is no row. False
// when one could not be read (what the files before it add or change still comes) or when
// the user would not load lines with more values than columns: the list is then as it was.
// With EdtAddClr the list is cleared just before the first row added, so that a load that
// adds nothing leaves it as it was.
bool LoadCsv(Session& session, const std::vector<std::string>& csvPaths, Prompter& prompter, BusyIndicator* busy,
             CsvLoadReport* report = nullptr);

}  // namespace wvr
