// wvr-cli: the headless front end over the program's own routines and settings.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>

#include "cli/Subcommands.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const auto& sub : wvr::cli::kSubcommands) std::fprintf(stderr, "  wvr-cli %s\n", sub.usage);
    return wvr::cli::kExitBadArguments;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("wvr");
    if (argc < 2) return Usage();
    for (const auto& sub : wvr::cli::kSubcommands) {
        if (std::strcmp(argv[1], sub.name) != 0) continue;
        int status = sub.run(std::vector<std::string>(argv + 2, argv + argc));
        if (status == wvr::cli::kExitBadArguments) Usage();
        return status;
    }
    return Usage();
}
