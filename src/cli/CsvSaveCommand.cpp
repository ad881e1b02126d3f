// wvr-cli csv-save [--yes] [--utf8] [--header] OUT PATH...: the CSV file of the rows that "list"
// gives for PATH..., in the column order and quoting of the settings.
#include "app/commands/Csv.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int CsvSaveCommand(const ParsedArguments& parsed) {
    if (parsed.paths.size() < 2) return BadArguments("OUT と PATH が必要です");
    const std::optional<std::string> csvPath = RowPathArgument(parsed.paths[0]);
    if (!csvPath) return kExitBadArguments;
    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    TerminalProgress progress;
    Session session;
    const std::vector<std::string> paths(parsed.paths.begin() + 1, parsed.paths.end());
    const int status = LoadAndAddBesideOutput(session, paths, parsed.run, csvPath, prompter);
    if (status == kExitBadArguments) return status;
    // The options add to the settings; they never turn a stored one off.
    session.settings.CsvUtf8 = session.settings.CsvUtf8 || HasFlag(parsed, "--utf8");
    session.settings.CsvHeader = session.settings.CsvHeader || HasFlag(parsed, "--header");
    return Worse(status, SaveCsv(session, *csvPath, prompter, &progress) ? kExitOk : kExitSomeNotDone);
}

}  // namespace wvr::cli
