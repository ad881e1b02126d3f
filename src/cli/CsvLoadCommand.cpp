// wvr-cli csv-load [--yes] [--write] CSV...: the rows the CSV files give, printed as "list"
// prints them; with --write they are then written into their files. Nothing is written when
// a CSV file or one of its lines could not be read.
#include "app/commands/Csv.h"
#include "app/commands/SettingsIo.h"
#include "cli/Subcommands.h"
#include "cli/WriteStep.h"
#include "platform/base/Cp932.h"

namespace wvr::cli {

int CsvLoadCommand(const ParsedArguments& parsed) {
    std::vector<std::string> csvPaths;
    for (const std::string& native : parsed.paths) {
        auto rowPath = RowPathArgument(native);
        if (!rowPath) return kExitBadArguments;
        csvPaths.push_back(*rowPath);
    }

    StderrPrompter prompter(HasFlag(parsed, "--yes"));
    TerminalProgress progress;
    Session session;
    LoadRunSettings(session.settings);
    SkippedCsvLines skipped;
    const bool allRead = LoadCsv(session, csvPaths, prompter, &progress, &skipped);
    for (const auto& [csvPath, line] : skipped)
        std::fprintf(stderr, "%s: 読み込めなかった行です: %s (%d行目)\n", kAppTitle, cp932::ToUtf8(csvPath).c_str(), line);
    return PrintOrWrite(session, prompter, allRead && skipped.empty(), HasFlag(parsed, "--write"));
}

}  // namespace wvr::cli
