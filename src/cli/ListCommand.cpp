// wvr-cli list [--yes] PATH...: the rows the program would show for these paths.
#include "cli/Subcommands.h"

namespace wvr::cli {

int ListCommand(const ParsedArguments& parsed) {
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    PrintRows(session.rows, stdout);
    ExitLeavingRows(status);
}

}  // namespace wvr::cli
