// wvr-cli write [--yes] PATH...: writes the tags of every listed file back as they were read.
// Running it is the user's go-ahead, so the count question is not asked.
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"

namespace wvr::cli {

int WriteFilesCommand(const ParsedArguments& parsed) {
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    return Worse(status, WriteEveryRowAndPrint(session, prompter));
}

}  // namespace wvr::cli
