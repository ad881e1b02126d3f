// wvr-cli text-input [--yes] [--format NAME] TEXTFILE [--write] PATH...: the listed rows after
// the text file was laid onto them by the Default format or a format stored in "wvr_In.ini",
// printed; with --write the rows are then written into their files.
#include "app/commands/TextInput.h"
#include "cli/Subcommands.h"
#include "cli/WriteFiles.h"

namespace wvr::cli {

int TextInputFileCommand(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    std::optional<std::string> formatName;
    if (!ParseArguments(args, {"--yes", "--write"}, {"--format"}, parsed) ||
        !StoredNameOption(parsed, "--format", InputFormatChoices(), formatName))
        return kExitBadArguments;
    // Flags may also stand between the text file and the paths.
    ParsedArguments rest;
    if (!ParseArguments({parsed.paths.begin() + 1, parsed.paths.end()}, {"--yes", "--write"}, {}, rest))
        return kExitBadArguments;
    for (std::string& flag : rest.flags) parsed.flags.push_back(std::move(flag));
    const std::optional<std::string> textPath = RowPathArgument(parsed.paths[0]);
    if (!textPath) return kExitBadArguments;

    const InputFormat format = LoadInputFormat(formatName.value_or(DefaultInputFormat().name));
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    LoadAndAdd(session, rest.paths, prompter);
    const bool ranWell = TextInputCommand(session, format.lines, *textPath, prompter);
    return PrintOrWrite(session, prompter, ranWell, HasFlag(parsed, "--write"));
}

}  // namespace wvr::cli
