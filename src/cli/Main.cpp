// wvr-cli: the headless front end over the program's own routines and settings.
#include <QCoreApplication>
#include <cstdio>
#include <optional>
#include <string>

#include "app/commands/JournalUndo.h"
#include "app/commands/WriteJournal.h"
#include "cli/Help.h"

namespace {

// A run killed half-way may have left a file half-written: said at every start until it is
// taken back (the command line asks no questions).
void TellInterruptedRuns() {
    for (const wvr::journal::Entry& run : wvr::journal::InterruptedRuns())
        std::fprintf(stderr, "%s: 中断された書き込みがあります: %s (%s, %zu ファイル)。wvr-cli undo %s で元に戻せます\n",
                     wvr::kAppTitle, run.id.c_str(), run.command.c_str(), run.FileCount(), run.id.c_str());
}

// Whether the subcommand as given changes files: its run refuses to start without a journal.
bool Writes(const wvr::cli::SubcommandEntry& sub, const wvr::cli::ParsedArguments& parsed) {
    const std::string name = sub.name;
    return name == "write" || name == "id3v2" || HasFlag(parsed, "--write") || HasFlag(parsed, "--delete-source");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace wvr::cli;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("wvr");
    std::vector<std::string> all(argv + 1, argv + argc);
    const RunOptions run = TakeRunOptions(all);
    const std::string first = all.empty() ? std::string() : all[0];
    if (first == "--help" || first == "-h") {
        PrintOverview(stdout);
        return WithOutputChecked(kExitOk);
    }
    // The manual page is made from the help texts when the program is built.
    if (first == "--man") {
        std::fputs(ManPage().c_str(), stdout);
        return WithOutputChecked(kExitOk);
    }
    if (const SubcommandEntry* sub = FindSubcommand(first)) {
        const std::vector<std::string> args(all.begin() + 1, all.end());
        ParsedArguments parsed;
        parsed.run = run;
        const bool parsedWell = ParseArguments(*sub, args, parsed);
        if (parsedWell && parsed.help) {
            PrintHelp(*sub, stdout);
            return WithOutputChecked(kExitOk);
        }
        if (!parsedWell) {
            PrintShortUsage(*sub, stderr);
            return kExitBadArguments;
        }
        const bool undo = std::string(sub->name) == "undo";
        if (!undo) TellInterruptedRuns();
        // The whole subcommand is one run of the write journal (the undo makes its own).
        if (parsed.run.noUndo) wvr::journal::SetGoOnWithoutUndo(true);
        std::optional<wvr::journal::JournalRun> journalRun;
        if (!undo) journalRun.emplace(sub->name);
        if (journalRun && Writes(*sub, parsed) && !journalRun->Begin()) return kExitSomeNotDone;
        const int status = sub->run(parsed);
        journalRun.reset();
        // What was wrong has been said; the usage line shows the right form.
        if (status == kExitBadArguments) PrintShortUsage(*sub, stderr);
        return WithOutputChecked(status);
    }
    if (!first.empty()) std::fprintf(stderr, "%s: 知らないサブコマンドです: %s\n", wvr::kAppTitle, first.c_str());
    PrintUsage(stderr);
    return kExitBadArguments;
}
