// The subcommands of wvr-cli, each in a file of its own.
#pragma once

#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args);

// The table main() dispatches by; a new subcommand adds one line here.
inline constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", ListCommand},
};

}  // namespace wvr::cli
