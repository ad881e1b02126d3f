// wvr-cli csv-load [--yes] [--write] CSV...: the rows the CSV files give, printed as "list"
// prints them; with --write they are then written into their files. Nothing is written when
// a CSV file or one of its lines could not be read, or a line has more values than columns.
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
    LoadRunSettings(session.settings, parsed.run);
    CsvLoadReport report;
    const bool allRead = LoadCsv(session, csvPaths, prompter, &progress, &report);
    auto name = [](const char* what, const CsvLineNumbers& lines) {
        for (const auto& [csvPath, line] : lines)
            std::fprintf(stderr, "%s: %s: %s (%d行目)\n", kAppTitle, what, cp932::ToUtf8(csvPath).c_str(), line);
    };
    name("読み込めなかった行です", report.skipped);
    // Their texts may stand in the wrong columns: such a load is never written.
    name("列の数より多い値のある行です", report.overlong);
    const bool ranWell = allRead && report.skipped.empty() && report.overlong.empty();
    return PrintOrWrite(session, prompter, ranWell, HasFlag(parsed, "--write"));
}

}  // namespace wvr::cli
