// The write step shared by the subcommands that change rows.
#include "cli/WriteStep.h"

#include <cstdio>

#include "app/commands/WriteTags.h"

namespace wvr::cli {

int WriteEveryRowAndPrint(Session& session, Prompter& prompter) {
    // Every row is checked and written rows lose their mark, so the marks left over are
    // exactly the rows that failed.
    session.settings.Set(Option::WitChkOff, false);
    session.settings.Set(Option::WitUnChk, false);
    for (int i = 0; i < session.rows.size(); ++i) session.rows.Mutable(i).Checked = true;
    TerminalProgress progress;
    WriteCommand(session, prompter, &progress, Questions::Skip);
    PrintRows(session.rows, stdout);
    // Some writers fail without a word (a full disk in the middle of a rebuild): each row
    // left undone is named, so that the status 1 says which files to look at.
    for (const TrackInfo& row : session.rows) {
        if (row.Checked) std::fprintf(stderr, "%s: 書き込めなかったファイルです: %s\n", kAppTitle, EscapeText(row.Path).c_str());
    }
    return session.rows.AnyChecked() ? kExitSomeNotDone : kExitOk;
}

int PrintOrWrite(Session& session, Prompter& prompter, bool ranWell, bool write) {
    if (ranWell && write) return WriteEveryRowAndPrint(session, prompter);
    PrintRows(session.rows, stdout);
    return ranWell ? kExitOk : kExitSomeNotDone;
}

}  // namespace wvr::cli
