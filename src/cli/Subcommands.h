// The subcommands of wvr-cli, each in a file of its own.
#pragma once

#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args);
int RenameFilesCommand(const std::vector<std::string>& args);
int WriteFilesCommand(const std::vector<std::string>& args);
int ConvertFilesCommand(const std::vector<std::string>& args);
int FillFilesCommand(const std::vector<std::string>& args);
int FindRowsCommand(const std::vector<std::string>& args);
int SelectFilesCommand(const std::vector<std::string>& args);

// The table main() dispatches by; a new subcommand adds one line here.
inline constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", ListCommand},
    {"rename", "rename [--yes] [--pattern P] [--write] PATH...", RenameFilesCommand},
    {"write", "write [--yes] PATH...", WriteFilesCommand},
    {"convert", "convert --to mp3|wav|rmp3 [--delete-source] PATH...", ConvertFilesCommand},
    {"fill", "fill --field K --text T [--front|--back] [--write] PATH...", FillFilesCommand},
    {"find", "find [--match-case] TEXT PATH...", FindRowsCommand},
    {"select", "select (--minutes N | --kb N) [--seed S] [-o OUT.m3u] PATH...", SelectFilesCommand},
};

}  // namespace wvr::cli
