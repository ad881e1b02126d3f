#include "app/ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "app/ui/Text.h"
#include "platform/base/FileOps.h"
#include "platform/core/Registry.h"

namespace wvr {
namespace {

// The settings-store subkey of the choosers' folders, one value per kind.
constexpr const char* kChooserFolderKey = "Folders";

QStringList Ask(QFileDialog& dialog) {
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

// A save dialog that may turn down an existing file without write permission: it says so and
// stays open, so that another name can be chosen (whoever runs the program, even one whom the
// file system would let write it anyway).
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget* parent, const QString& startFolder, bool refuseReadOnly)
        : QFileDialog(parent, QString(), startFolder), refuseReadOnly_(refuseReadOnly) {}

    void accept() override {
        const QStringList names = selectedFiles();
        if (refuseReadOnly_ && !names.isEmpty() && IsReadOnlyFile(names.first())) {
            QMessageBox::warning(this, windowTitle(),
                                 names.first() + QStringLiteral("\nこのファイルは読み取り専用です。\n別のファイル名を指定してください。"));
            return;
        }
        QFileDialog::accept();
    }

private:
    // By the same rule as the writers, which would refuse the file.
    static bool IsReadOnlyFile(const QString& name) { return fs::IsReadOnlyFile(name.toStdString()); }
    bool refuseReadOnly_;
};

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
                        const QString& startFolder, bool refuseReadOnly) {
    SaveDialog dialog(parent, startFolder, refuseReadOnly);
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    const QStringList names = Ask(dialog);
    return names.isEmpty() ? QString() : names.first();
}

QStringList AskOpenFileNames(QWidget* parent, const QString& filter, bool several, const QString& defaultSuffix,
                             const QString& startFolder) {
    QFileDialog dialog(parent, QString(), startFolder);
    dialog.setObjectName("OpenDialog");
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDefaultSuffix(defaultSuffix);
    return Ask(dialog);
}

QString ChooserFolder(const char* kind) {
    const auto key = RegistryKey::Open(kChooserFolderKey, false);
    const auto folder = key ? key->ReadPath(kind) : std::nullopt;
    // Named, or the chooser would start where any chooser was used last.
    return folder ? FromNativePath(*folder) : QDir::currentPath();
}

void RememberChooserFolder(const char* kind, const QString& chosenFile) {
    // Where it cannot be kept, the chooser starts in the working folder: nothing to tell.
    if (auto key = RegistryKey::Open(kChooserFolderKey, true))
        if (key->WritePath(kind, ToNativePath(QFileInfo(chosenFile).absolutePath()))) key->Flush();
}

}  // namespace wvr
