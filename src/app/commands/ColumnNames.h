// The names of the list columns, as the list's header and the options dialog show them and as
// a CSV file's header line carries them (UTF-8 literals).
#pragma once

#include <string>

namespace wvr {

// List column 0..kColumnCount-1: "ファイル名", "曲名", ... "コミッション".
const char* ColumnName(int column);

// A CSV column code by the options dialog's name: a list column, "無視する" for 15, and for a
// code the dialog does not offer "コード N", so that it can still be seen.
std::string CsvColumnName(int code);

}  // namespace wvr
