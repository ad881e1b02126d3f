// Small parts the tool dialogs share: named buttons and check boxes, captions, boxes that hold
// lines of CP932 text, macro insertion at the caret, and the run's file filter.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace wvr {

// A button that Enter does not press unless it is the dialog's default.
QPushButton* NamedButton(QWidget* parent, const char* name, const char* caption);
QCheckBox* NamedCheckBox(QWidget* parent, const char* name, const char* caption);
// A caption whose key ("&F") takes the focus to `buddy`.
QLabel* Caption(QWidget* parent, const char* caption, QWidget* buddy);

// A box for template lines: no wrapping, Tab leaves it.
QPlainTextEdit* LinesBox(QWidget* parent, const char* name);
// The box's lines (an empty box has none) and the reverse.
std::vector<std::string> LinesOf(const QPlainTextEdit* box);
void ShowLines(QPlainTextEdit* box, const std::vector<std::string>& lines);
// Puts "%" + code at the caret of `box` and gives it the focus.
void InsertMacro(QPlainTextEdit* box, char code);

// The filter of a run's file dialog: the set's name, " (*.", the extension, ")|*.", the
// extension and "|すべてのファイル(*.*)|*.*".
QString SetFileFilter(const std::string& name, const std::string& extension);

}  // namespace wvr
