// wvr-cli export [--yes] [--set NAME] OUT PATH...: the template output of the rows that "list"
// gives for PATH..., through the Default set or a set stored in "wvr.ini".
#include "app/commands/TemplateOutput.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int ExportCommand(const ParsedArguments& parsed) {
    std::optional<std::string> setName;
    if (!StoredNameOption(parsed, "--set", TemplateSetNames(), setName)) return kExitBadArguments;
    if (parsed.paths.size() < 2) return BadArguments("OUT と PATH が必要です");
    const std::optional<std::string> outPath = RowPathArgument(parsed.paths[0]);
    if (!outPath) return kExitBadArguments;

    const TemplateSet set = LoadTemplateSet(setName.value_or(kDefaultSetName));
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    TerminalProgress progress;
    Session session;
    const std::vector<std::string> paths(parsed.paths.begin() + 1, parsed.paths.end());
    const int status = LoadAndAddBesideOutput(session, paths, parsed.run, outPath, prompter);
    if (status == kExitBadArguments) return status;
    return Worse(status, WriteTemplateOutput(session, set, *outPath, prompter, &progress) ? kExitOk : kExitSomeNotDone);
}

}  // namespace wvr::cli
