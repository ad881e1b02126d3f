// The subcommands of wvr-cli, each in a file of its own.
#pragma once

#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args);
int RenameFilesCommand(const std::vector<std::string>& args);
int WriteFilesCommand(const std::vector<std::string>& args);

// The table main() dispatches by; a new subcommand adds one line here.
inline constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", ListCommand},
    {"rename", "rename [--yes] [--pattern P] [--write] PATH...", RenameFilesCommand},
    {"write", "write [--yes] PATH...", WriteFilesCommand},
};

}  // namespace wvr::cli
