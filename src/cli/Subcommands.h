// The subcommands of wvr-cli, each in a file of its own.
#pragma once

#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args);
int RenameFilesCommand(const std::vector<std::string>& args);
int WriteFilesCommand(const std::vector<std::string>& args);
int CsvSaveCommand(const std::vector<std::string>& args);
int CsvLoadCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int FromNameCommand(const std::vector<std::string>& args);
int TextInputFileCommand(const std::vector<std::string>& args);

// The table main() dispatches by; a new subcommand adds one line here.
inline constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", ListCommand},
    {"rename", "rename [--yes] [--pattern P] [--write] PATH...", RenameFilesCommand},
    {"write", "write [--yes] PATH...", WriteFilesCommand},
    {"csv-save", "csv-save [--yes] OUT PATH...", CsvSaveCommand},
    {"csv-load", "csv-load [--yes] CSV... [--write]", CsvLoadCommand},
    {"export", "export [--yes] [--set NAME] OUT PATH...", ExportCommand},
    {"from-name", "from-name [--yes] [--pattern P] [--dir-pattern P] [--write] PATH...", FromNameCommand},
    {"text-input", "text-input [--yes] [--format NAME] TEXTFILE [--write] PATH...", TextInputFileCommand},
};

}  // namespace wvr::cli
