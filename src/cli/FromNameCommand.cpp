// wvr-cli from-name [--yes] [--pattern P] [--dir-pattern P] [--write] PATH...: every listed
// row's fields read out of its file name (and its folder's name) by the stored patterns or
// the ones given, printed; with --write the rows are then written into their files. At the
// first name that does not match the run stops and nothing is written.
#include "app/commands/TagsFromName.h"
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"

namespace wvr::cli {

int FromNameCommand(const ParsedArguments& parsed) {
    std::optional<std::string> pattern, folderPattern;
    if (!Cp932Value(parsed, "--pattern", pattern) || !Cp932Value(parsed, "--dir-pattern", folderPattern))
        return kExitBadArguments;

    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    FromNameRun run = RunFromSettings(LoadFromNameSettings());
    if (pattern) run.filePattern = *pattern;
    if (folderPattern) {
        run.folderPattern = *folderPattern;
        run.useFolder = true;
    }
    session.settings.Set(Option::GetChkOff, true);
    const bool ranWell = TagsFromNameCommand(session, run, prompter);
    return Worse(status, PrintOrWrite(session, prompter, ranWell, HasFlag(parsed, "--write")));
}

}  // namespace wvr::cli
