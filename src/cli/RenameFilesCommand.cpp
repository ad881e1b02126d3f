// wvr-cli rename [--yes] [--pattern P] [--write] PATH...: new names for every listed file from
// its tags, printed; with --write the files are written and renamed on disk.
#include "app/commands/Rename.h"
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"

namespace wvr::cli {

int RenameFilesCommand(const ParsedArguments& parsed) {
    std::optional<std::string> pattern;
    if (const std::string* utf8 = ValueOf(parsed, "--pattern")) {
        pattern = SjisArgument(*utf8, "パターン");
        if (!pattern) return kExitBadArguments;
    }

    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    // The given pattern stands in for the one in use; exception rules apply as set.
    if (pattern) {
        session.settings.RenString = {*pattern};
        session.settings.RenStrIdx = 0;
    }
    session.settings.Set(Option::RenChkOff, true);
    RenameCommand(session, prompter, Questions::Skip);

    if (HasFlag(parsed, "--write")) return Worse(status, WriteEveryRowAndPrint(session, prompter));
    PrintRows(session.rows, stdout);
    return status;
}

}  // namespace wvr::cli
