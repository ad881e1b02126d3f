// The main window's commands on the checked rows: write the tags, rename from the tags,
// restore the names, give MPEG files an ID3v2 tag. The routines ask their own questions
// through the prompter.
#include "app/commands/Id3v2Create.h"
#include "app/commands/JournalUndo.h"
#include "app/commands/Rename.h"
#include "app/commands/WriteJournal.h"
#include "app/commands/WriteTags.h"
#include "app/ui/EditWindowLink.h"
#include "app/ui/MainWindow.h"
#include "dialogs/UndoRuns.h"

namespace wvr {

void MainWindow::W1Click() {
    WriteCommand(session_, *prompter_, this);
    ReloadEditWindow();
}

void MainWindow::Id3v2TagClick() {
    journal::JournalRun run("ID3v2 タグを作成", prompter_);
    CreateId3v2Command(session_, 0, *prompter_, this);
    ReloadEditWindow();
}

void MainWindow::RenameClick() {
    RenameCommand(session_, *prompter_, Questions::Ask, this);
    ReloadEditWindow();
}

void MainWindow::UndoWriteClick() {
    UndoRunsDialog dialog(*prompter_, this);
    dialog.exec();
    if (dialog.undoneAny()) Refresh1Click();
}

void MainWindow::OfferRecovery() {
    for (const journal::Entry& run : journal::InterruptedRuns()) {
        const std::string text = "書き込みが途中で終わっています (" + run.command + "、" +
                                 std::to_string(run.FileCount()) +
                                 " ファイル)。\nその実行で変わったファイルを元に戻しますか？";
        if (!prompter_->YesNo(text)) continue;
        const auto report = journal::UndoRun(run, journal::UndoMode::Recovery);
        std::string left;
        for (const std::string& file : report.left) left += "\n" + file;
        if (!left.empty()) prompter_->Warning("元に戻さなかったもの:" + left);
    }
}

void MainWindow::filenameundoClick() {
    UndoRenameCommand(session_, *prompter_);
    ReloadEditWindow();
}

}  // namespace wvr
