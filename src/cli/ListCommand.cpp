// wvr-cli list [--yes] PATH...: the rows the program would show for these paths.
#include "cli/Subcommands.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    if (!ParseArguments(args, {"--yes"}, {}, parsed)) return kExitBadArguments;
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    LoadAndAdd(session, parsed.paths, prompter);
    PrintRows(session.rows, stdout);
    return kExitOk;
}

}  // namespace wvr::cli
