// What the output and input dialogs share: template boxes that hold lines of CP932 text, the
// list of stored names, and the macro insertion at the caret.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QComboBox;
class QPlainTextEdit;

namespace wvr {

// The box's lines (an empty box has none) and the reverse.
std::vector<std::string> LinesOf(const QPlainTextEdit* box);
void ShowLines(QPlainTextEdit* box, const std::vector<std::string>& lines);

// Fills the name list and selects `selected` (its position; the first when out of range).
// Returns the position selected.
int FillNames(QComboBox* list, const std::vector<std::string>& names, int selected);
// The position of `name` in `names` as the ini files compare names (letter case ignored), or -1.
int PositionOf(const std::vector<std::string>& names, const std::string& name);

// Puts "%" + code at the caret of `box` and gives it the focus.
void InsertMacro(QPlainTextEdit* box, char code);

// The filter of the run's file dialog: the set's name, " (*.", the extension, ")|*.", the
// extension and "|すべてのファイル(*.*)|*.*".
QString SetFileFilter(const std::string& name, const std::string& extension);

}  // namespace wvr
