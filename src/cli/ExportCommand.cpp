// wvr-cli export [--yes] [--set NAME] OUT PATH...: the template output of the rows that "list"
// gives for PATH..., through the Default set or a set stored in "wvr.ini".
#include "app/commands/TemplateOutput.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int ExportCommand(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    if (!ParseArguments(args, {"--yes"}, {"--set"}, parsed) || parsed.paths.size() < 2) return kExitBadArguments;
    std::optional<std::string> setName;
    if (!Cp932Value(parsed, "--set", setName)) return kExitBadArguments;
    const std::optional<std::string> outPath = RowPathArgument(parsed.paths[0]);
    if (!outPath) return kExitBadArguments;

    TemplateSet set = DefaultTemplateSet();
    if (setName) {
        const std::optional<std::string> stored = FindStoredName(TemplateSetNames(), *setName);
        if (!stored) return kExitBadArguments;
        set = LoadTemplateSet(*stored);
    }
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    LoadAndAdd(session, {parsed.paths.begin() + 1, parsed.paths.end()}, prompter);
    return WriteTemplateOutput(session, set, *outPath, prompter, nullptr) ? kExitOk : kExitSomeNotDone;
}

}  // namespace wvr::cli
