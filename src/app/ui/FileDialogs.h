// The program's open and save dialogs. Filters are written as the program names them,
// "description|pattern|description|pattern"; a "*.*" pattern means every file here, with or
// without a dot in its name.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace wvr {

QStringList QtNameFilters(const QString& filter);

// The chosen file name, or empty when cancelled. An existing file is replaced only after
// the dialog's question; a name typed without extension gets `defaultSuffix`. With
// `refuseReadOnly` an existing file without write permission is not accepted.
QString AskSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                        const QString& startFolder = QString(), bool refuseReadOnly = false);
// One or several existing files, in the order the dialog returns them; empty when cancelled.
QStringList AskOpenFileNames(QWidget* parent, const QString& filter, bool several,
                             const QString& defaultSuffix = QString(), const QString& startFolder = QString());

// The choosers of one kind of file start in the folder where the last of them was used, also
// after a restart (kept in the settings store); none yet: the working folder.
inline constexpr const char* kCsvFiles = "Csv";
inline constexpr const char* kInputTextFiles = "TextInput";
QString ChooserFolder(const char* kind);
// Remembers the folder of a file chosen in a chooser of that kind.
void RememberChooserFolder(const char* kind, const QString& chosenFile);

}  // namespace wvr
