// wvr-cli: the headless front end over the program's own routines and settings.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "cli/Help.h"

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
        const int status = parsedWell ? sub->run(parsed) : kExitBadArguments;
        // What was wrong has been said; the usage line shows the right form.
        if (status == kExitBadArguments) PrintShortUsage(*sub, stderr);
        return WithOutputChecked(status);
    }
    if (!first.empty()) std::fprintf(stderr, "%s: 知らないサブコマンドです: %s\n", wvr::kAppTitle, first.c_str());
    PrintUsage(stderr);
    return kExitBadArguments;
}
