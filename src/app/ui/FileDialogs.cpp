#include "app/ui/FileDialogs.h"

#include <QFileDialog>

namespace wvr {
namespace {

QStringList Ask(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        if (patterns == "*.*") patterns = "*";
        // A description that already shows its patterns is not given them twice.
        const QString& description = parts[i];
        filters << (description.endsWith("(" + patterns + ")") ? description
                                                               : description + " (" + patterns + ")");
    }
    return filters;
}

QString AskSaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                        const QString& startFolder) {
    QFileDialog dialog(parent, QString(), startFolder);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    const QStringList names = Ask(dialog);
    return names.isEmpty() ? QString() : names.first();
}

QStringList AskOpenFileNames(QWidget* parent, const QString& filter, bool several, const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    return Ask(dialog);
}

}  // namespace wvr
