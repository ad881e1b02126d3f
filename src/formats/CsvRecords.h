// The records of a CSV file's text (CP932 bytes): one per line, its values split, by either of
// the two rules CSV files are written by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wvr {

struct CsvRecord {
    std::vector<std::string> values;
    int line = 0;        // the line of the file it starts on, from 1
    bool blank = false;  // it holds nothing but characters with a code of 32 or less
};

// The program's own rules for Shift-JIS files: each line split as a comma text, so an unquoted
// value ends at a blank. A line break inside a quoted value belongs to the value when the
// quote closes at the end of a value; a quote that does not leaves its line ending where it
// ends, so that it cannot swallow the lines after it.
std::vector<CsvRecord> CommaTextRecords(std::string_view text);

// RFC 4180, as spreadsheets and Python's csv module write: a value ends only at a comma or a
// line end (a space belongs to it), and a double quote opens a quoted value only as its first
// character; elsewhere it is a character of the value. Lines end at CR, LF or CR LF.
std::vector<CsvRecord> Rfc4180Records(std::string_view text);

}  // namespace wvr
