// wvr-cli write [--yes] PATH...: writes the tags of every listed file back as they were read.
// Running it is the user's go-ahead, so the count question is not asked.
#include "cli/WriteFiles.h"

#include <cstdio>

#include "app/commands/WriteTags.h"
#include "cli/Subcommands.h"

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

int WriteFilesCommand(const ParsedArguments& parsed) {
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, prompter);
    return Worse(status, WriteEveryRowAndPrint(session, prompter));
}

}  // namespace wvr::cli
