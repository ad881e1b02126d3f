// The main window's commands that move tag texts in and out of the list in bulk: CSV save and
// load, template output, tags from file names and text input.
#include <QMenu>

#include "app/commands/Csv.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/FileDialogs.h"
#include "app/ui/MainWindow.h"
#include "dialogs/Unit5.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit8.h"

namespace wvr {
namespace {

const QString kCsvFilter = QStringLiteral("CSVファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*");

}  // namespace

void MainWindow::SaveItemClick() {
    if (session_.rows.empty()) return;
    const QString name = AskSaveFileName(this, kCsvFilter, "csv", ChooserFolder(kCsvFiles));
    if (name.isEmpty()) return;
    RememberChooserFolder(kCsvFiles, name);
    SaveCsvTo(name);
}

void MainWindow::SaveCsvTo(const QString& nativeName) {
    const std::string csvPath = RowPathFromNative(nativeName.toStdString());
    if (csvPath.empty()) {
        prompter_->Error("ファイルを作成できませんでした。\n" + nativeName.toStdString());
        return;
    }
    SaveCsv(session_, csvPath, *prompter_, this);
}

void MainWindow::CSVL1Click() {
    const QStringList names = AskOpenFileNames(this, kCsvFilter, true, "csv", ChooserFolder(kCsvFiles));
    if (names.isEmpty()) return;
    RememberChooserFolder(kCsvFiles, names.first());
    LoadCsvFiles(names);
}

void MainWindow::LoadCsvFiles(const QStringList& nativeNames) {
    std::vector<std::string> csvPaths;
    for (const QString& name : nativeNames) {
        std::string csvPath = RowPathFromNative(name.toStdString());
        if (csvPath.empty()) {
            prompter_->Error("ファイルを読み込めませんでした。\n" + name.toStdString());
            return;
        }
        csvPaths.push_back(std::move(csvPath));
    }
    LoadCsv(session_, csvPaths, *prompter_, this);
    if (session_.rows.empty() && editWindow_) editWindow_->CloseWindow();
    ApplyAllColumnWidths();
    ReloadEditWindow();
}

void MainWindow::G2Click() {
    if (!session_.rows.AnyChecked() && !session_.settings.Get(Option::GetChkOff)) return;
    TForm5 dialog(*this);
    dialog.exec();
    ReloadEditWindow();
}

void MainWindow::OutputItemClick(int number) {
    if (session_.rows.empty()) return;
    TForm6 dialog(*this, number);
    dialog.exec();
}

void MainWindow::InputItemClick(int number) {
    if (session_.rows.empty()) return;
    TForm8 dialog(*this, number);
    dialog.exec();
    ReloadEditWindow();
}

}  // namespace wvr
