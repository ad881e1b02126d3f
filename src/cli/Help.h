// The help of wvr-cli: "wvr-cli --help", "wvr-cli SUBCOMMAND --help" and the manual page, all
// made from the texts of the subcommand table.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

// The subcommand of that name, or nullptr.
const SubcommandEntry* FindSubcommand(const std::string& name);

void PrintOverview(std::FILE* out);
void PrintHelp(const SubcommandEntry& sub, std::FILE* out);
// The usage lines, for a call without a known subcommand.
void PrintUsage(std::FILE* out);
// One subcommand's usage line and where its help is, for a call with bad arguments.
void PrintShortUsage(const SubcommandEntry& sub, std::FILE* out);

// The manual page wvr-cli(1) in roff.
std::string ManPage();

}  // namespace wvr::cli
