// wvr-cli rename [--yes] [--pattern P] [--write] PATH...: new names for every listed file from
// its tags, printed; with --write the files are written and renamed on disk.
#include "app/commands/Rename.h"
#include "cli/Subcommands.h"
#include "cli/WriteFiles.h"

namespace wvr::cli {

int RenameFilesCommand(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    if (!ParseArguments(args, {"--yes", "--write"}, {"--pattern"}, parsed)) return kExitBadArguments;
    std::optional<std::string> pattern;
    if (const std::string* utf8 = ValueOf(parsed, "--pattern")) {
        pattern = SjisArgument(*utf8, "パターン");
        if (!pattern) return kExitBadArguments;
    }

    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    LoadAndAdd(session, parsed.paths, prompter);
    // The given pattern stands in for the one in use; exception rules apply as set.
    if (pattern) {
        session.settings.RenString = {*pattern};
        session.settings.RenStrIdx = 0;
    }
    session.settings.Set(Option::RenChkOff, true);
    RenameCommand(session, prompter, Questions::Skip);

    if (HasFlag(parsed, "--write")) return WriteEveryRowAndPrint(session, prompter);
    PrintRows(session.rows, stdout);
    return kExitOk;
}

}  // namespace wvr::cli
