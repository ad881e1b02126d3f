// The main list's drag and drop: files dropped onto the list are added (after a choice when
// the right button dragged them), a single text file can become the focused row's lyrics,
// and rows are dragged out as files.
#include <QMenu>

#include "app/commands/AddFiles.h"
#include "app/commands/DragDrop.h"
#include "app/ui/FileDnD.h"
#include "app/ui/MainWindow.h"
#include "app/ui/TrackListView.h"

namespace wvr {
namespace {

// PopupMenu2's results.
enum DropChoice : int { kDropCancel = 0, kDropNewList = 1, kDropAdd = 2 };

}  // namespace

void MainWindow::BuildDropMenu() {
    dropMenu_ = new QMenu(this);
    dropMenu_->setObjectName("PopupMenu2");
    const std::tuple<const char*, const char*, int> items[] = {
        {"DropAdd", "このまま追加する(&A)", kDropAdd},
        {"DropNew", "新規に追加する(&N)", kDropNewList},
        {"-", "", 0},
        {"DropCancel", "ｷｬﾝｾﾙ", kDropCancel},
    };
    for (const auto& [name, caption, choice] : items) {
        if (QString(name) == "-") {
            dropMenu_->addSeparator();
            continue;
        }
        QAction* a = dropMenu_->addAction(QString::fromUtf8(caption));
        a->setObjectName(name);
        a->setData(choice);
    }
    dnd_ = new TFileDnD(listView_, [this](const std::vector<std::string>& names, const SkippedNames& skipped,
                                          int keyState, const QPoint& point) {
        return OnListDrop(names, skipped, keyState, point);
    });
    connect(listView_, &TrackListView::DragGestured, this, &MainWindow::ListView1MouseDown);
}

int MainWindow::ChooseDropAction(const QPoint& point, bool newList) {
    dropMenu_->setDefaultAction(dropMenu_->findChild<QAction*>(newList ? "DropNew" : "DropAdd"));
    const QAction* chosen = dropMenu_->exec(point);
    return chosen ? chosen->data().toInt() : kDropCancel;
}

bool MainWindow::OnListDrop(const std::vector<std::string>& names, const SkippedNames& skippedNames, int keyState,
                            const QPoint& point) {
    const Settings& s = session_.settings;
    AddOptions options = AddOptionsFromSettings(s);
    options.clearFirst = DropStartsNewList(s, keyState);
    if (keyState & kKeyRight) {
        const int choice = ChooseDropAction(point, options.clearFirst);
        if (choice == kDropCancel) return false;
        options.clearFirst = choice == kDropNewList;
    }
    const int focused = FocusedRow();
    if (IsLyricsDrop(names, s, focused)) AttachLyricsFile(names.front(), session_.rows[focused], *prompter_);
    SkippedNames skipped = skippedNames;
    {
        BusySection busy(this);
        WorkList work = CollectDroppedNames(names, &skipped);
        AddWorkList(work, options);
    }
    ReloadEditWindow();
    // Told once the drop is over, so that the source of the drag is not kept waiting.
    if (!skipped.empty())
        QMetaObject::invokeMethod(this, [this, text = SkippedNamesMessage(skipped)] { prompter_->Warning(text); },
                                  Qt::QueuedConnection);
    if (s.Get(Option::DropActive)) {
        raise();
        activateWindow();
    }
    return true;
}

void MainWindow::ListView1MouseDown(bool leftButton) {
    const std::vector<int> dragged = RowsToDrag(session_.rows, SelectedRow());
    if (dragged.empty()) return;
    std::vector<std::string> paths;
    for (int row : dragged) paths.push_back(session_.rows[row].Path);
    // The list takes no files while its own rows are dragged.
    const bool accepting = listView_->acceptDrops();
    listView_->setAcceptDrops(false);
    const DragResult result =
        dnd_->StartFileDrag(paths, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, leftButton);
    listView_->setAcceptDrops(accepting);
    // Moved files are no longer where the rows say.
    if (result.dropped && (result.effect & Qt::MoveAction)) RemoveDraggedRows(dragged);
}

void MainWindow::RemoveDraggedRows(const std::vector<int>& rows) {
    session_.rows.Remove(rows);
    UpdateStatusBar();
    ReloadEditWindow();
}

}  // namespace wvr
