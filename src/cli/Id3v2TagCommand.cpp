// wvr-cli id3v2 [--v24] [--yes] PATH...: the command "ID3v2 タグを作成" over every listed file.
#include <cstdio>

#include "app/commands/Id3v2Create.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int Id3v2TagCommand(const ParsedArguments& parsed) {
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    // Every tag is read by the ID3v2 reader, 2.4 included, whatever the setting.
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter, TagReader::Id3v2);
    // Every row is taken; those written lose their mark, so the marks left are the failures.
    session.settings.Set(Option::WitUnChk, false);
    for (int i = 0; i < session.rows.size(); ++i) session.rows.Mutable(i).Checked = true;
    CreateId3v2Command(session, HasFlag(parsed, "--v24") ? 4 : 0, prompter, nullptr, Questions::Skip);
    PrintRows(session.rows, stdout);
    bool allDone = true;
    for (const TrackInfo& row : session.rows) {
        if (!row.Checked || !TakesId3v2Tag(row)) continue;
        allDone = false;
        std::fprintf(stderr, "%s: 書き込めなかったファイルです: %s\n", kAppTitle, EscapeText(row.Path).c_str());
    }
    return Worse(status, allDone ? kExitOk : kExitSomeNotDone);
}

}  // namespace wvr::cli
