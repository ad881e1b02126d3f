// The main window's file commands: new list, open files, open folder, refresh, printing
// through the plug-in, version box.
#include <QFileDialog>
#include <QMenu>

#include "app/commands/AddFiles.h"
#include "app/commands/DragDrop.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MenuTable.h"
#include "app/ui/PrintPlugin.h"
#include "dialogs/AboutBox.h"

namespace wvr {

void MainWindow::NewClick() {
    session_.rows.Clear();
    UpdateStatusBar();
}

void MainWindow::OpenItemClick() {
    const QStringList names = QFileDialog::getOpenFileNames(
        this, QString(), QString(),
        QStringLiteral("MPEG Layer3 File (*.mp3 *.rmp);;PlayList File(*.m3u) (*.m3u);;すべてのファイル (*.*) (*)"));
    if (!names.isEmpty()) AddChosenFiles(names);
}

void MainWindow::AddChosenFiles(const QStringList& nativeNames) {
    WorkList work;
    SkippedNames skipped;
    // The names are taken from the last to the first, as the open dialog hands them over.
    for (auto it = nativeNames.rbegin(); it != nativeNames.rend(); ++it) {
        const std::string name = RowPathFromNative(it->toStdString());
        if (name.empty()) skipped.push_back(it->toStdString());
        else if (IsPlaylistName(name)) ReadPlaylist(name, work, &skipped);
        else work.push_back(name);
    }
    AddWorkList(work, AddOptionsFromSettings(session_.settings));
    if (!skipped.empty()) prompter_->Warning(SkippedNamesMessage(skipped));
}

void MainWindow::F1Click() {
    const QString folder = QFileDialog::getExistingDirectory(this, QString(), QString(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty()) AddChosenFolder(folder);
}

void MainWindow::AddChosenFolder(const QString& nativeFolder) {
    const std::string folder = RowPathFromNative(nativeFolder.toStdString());
    if (folder.empty()) return;
    WorkList work;
    SkippedNames skipped;
    ScanPath(folder, work, &skipped);
    AddWorkList(work, AddOptionsFromSettings(session_.settings));
    if (!skipped.empty()) prompter_->Warning(SkippedNamesMessage(skipped));
}

void MainWindow::Refresh1Click() {
    WorkList work;
    work.reserve(session_.rows.size());
    for (const TrackInfo& row : session_.rows) work.push_back(row.Path);
    // Every row is rebuilt from its file: rows whose file can no longer be read go, even all.
    session_.rows.Clear();
    AddOptions options;
    options.extendedGenres = session_.settings.Get(Option::OptGenreOn);
    options.tagReader = ReaderOfSettings(session_.settings);
    AddWorkList(work, options);
    ReloadEditWindow();
}

void MainWindow::LoadPrintPlugin(const QString& programFolder) {
    if (action("Print1") || !printPlugin_->Load(programFolder)) return;
    // A separator and the item, right after "ﾌｧｲﾙ形式の変換(&C)...".
    QMenu* fileMenu = findChild<QMenu*>("File1");
    const QList<QAction*> items = fileMenu->actions();
    QAction* next = items.value(items.indexOf(action("C1")) + 1);
    QAction* separator = new QAction(this);
    separator->setSeparator(true);
    separator->setStatusTip(" ");
    fileMenu->insertAction(next, separator);
    const MenuItem<MainWindow> item{"Print1", "印刷(&P)...", "", "レーベル印刷などを行います", &MainWindow::PrintClick};
    QAction* print = MakeMenuAction(this, item, item.name, false);
    fileMenu->insertAction(next, print);
    actions_.insert(item.name, print);
}

void MainWindow::PrintClick() {
    printPlugin_->Run(*this, *prompter_);
}

void MainWindow::AboutClick() {
    TAboutBox box(this);
    box.exec();
}

}  // namespace wvr
