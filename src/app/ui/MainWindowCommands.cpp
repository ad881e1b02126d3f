// The main window's commands on the checked rows: write the tags, rename from the tags,
// restore the names, give MPEG files an ID3v2 tag. The routines ask their own questions
// through the prompter.
#include "app/commands/Id3v2Create.h"
#include "app/commands/Rename.h"
#include "app/commands/WriteJournal.h"
#include "app/commands/WriteTags.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"

namespace wvr {

void MainWindow::W1Click() {
    WriteCommand(session_, *prompter_, this);
    ReloadEditWindow();
}

void MainWindow::Id3v2TagClick() {
    journal::JournalRun run("ID3v2 タグを作成", &*prompter_);
    CreateId3v2Command(session_, 0, *prompter_, this);
    ReloadEditWindow();
}

void MainWindow::RenameClick() {
    RenameCommand(session_, *prompter_, Questions::Ask, this);
    ReloadEditWindow();
}

void MainWindow::filenameundoClick() {
    UndoRenameCommand(session_, *prompter_);
    ReloadEditWindow();
}

}  // namespace wvr
