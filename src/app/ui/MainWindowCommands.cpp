// The main window's commands on the checked rows: write the tags, rename from the tags and
// restore the names. The routines ask their own questions through the prompter.
#include "app/commands/Rename.h"
#include "app/commands/WriteTags.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"

namespace wvr {

void MainWindow::W1Click() {
    WriteCommand(session_, *prompter_, this);
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
