// wvr-cli find [--match-case] TEXT PATH...: the rows whose file name or any tag field holds
// TEXT, in list order. Exit status 1 when no row holds it.
#include "app/commands/Find.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int FindRowsCommand(const ParsedArguments& parsed) {
    if (parsed.paths.size() < 2) return BadArguments("TEXT と PATH が必要です");
    const auto text = SjisArgument(parsed.paths.front(), "文字列");
    if (!text) return kExitBadArguments;
    if (text->empty()) return BadArguments("検索する文字列が空です");
    const bool matchCase = HasFlag(parsed, "--match-case");

    StderrPrompter prompter(false);
    Session session;
    const int status = LoadAndAdd(session, {parsed.paths.begin() + 1, parsed.paths.end()}, parsed.run, prompter);
    SearchState state;
    RowList found;
    for (int row = FindFromDialog(session.rows, state, *text, matchCase, true, -1, prompter); row >= 0;
         row = FindRow(session.rows, row + 1, *text, matchCase))
        found.Append(session.rows[row]);
    PrintRows(found, stdout);
    return Worse(status, found.empty() ? kExitSomeNotDone : kExitOk);
}

}  // namespace wvr::cli
