// wvr-cli text-input [--yes] [--format NAME] [--write] TEXTFILE PATH...: the listed rows after
// the text file was laid onto them by the Default format or a format stored in "wvr_In.ini",
// printed; with --write the rows are then written into their files.
#include "app/commands/TextInput.h"
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"

namespace wvr::cli {

int TextInputFileCommand(const ParsedArguments& parsed) {
    std::optional<std::string> formatName;
    if (!StoredNameOption(parsed, "--format", InputFormatChoices(), formatName)) return kExitBadArguments;
    if (parsed.paths.size() < 2) return BadArguments("TEXTFILE と PATH が必要です");
    const std::optional<std::string> textPath = RowPathArgument(parsed.paths[0]);
    if (!textPath) return kExitBadArguments;

    const InputFormat format = LoadInputFormat(formatName.value_or(DefaultInputFormat().name));
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, {parsed.paths.begin() + 1, parsed.paths.end()}, parsed.run, prompter);
    const bool ranWell = TextInputCommand(session, format.lines, *textPath, prompter);
    return Worse(status, PrintOrWrite(session, prompter, ranWell, HasFlag(parsed, "--write")));
}

}  // namespace wvr::cli
