// The subcommands of wvr-cli, each in a file of its own named after its routine.
//
// A new subcommand is one entry of the table in SubcommandTable.cpp: its name, its usage line,
// a one-line summary, its help text and its routine. main() answers "wvr-cli NAME --help" from
// that text (stdout, exit 0), lists the summary under "wvr-cli --help", and the manual page is
// made from the same texts at build time, so nothing else needs writing. The help text says what the subcommand
// does, then an "Options:" paragraph (one "  --option  text" line each, "--help" included)
// and an "Exit status:" paragraph (one "  N  text" line each, from kExitOk, kExitSomeNotDone
// and kExitBadArguments). The routine prints rows with PrintRows, speaks through
// StderrPrompter and asks no questions.
#pragma once

#include <span>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const ParsedArguments& args);
int RenameFilesCommand(const ParsedArguments& args);
int WriteFilesCommand(const ParsedArguments& args);
int CsvSaveCommand(const ParsedArguments& args);
int CsvLoadCommand(const ParsedArguments& args);
int ExportCommand(const ParsedArguments& args);
int FromNameCommand(const ParsedArguments& args);
int TextInputFileCommand(const ParsedArguments& args);
int ConvertFilesCommand(const ParsedArguments& args);
int FillFilesCommand(const ParsedArguments& args);
int FindRowsCommand(const ParsedArguments& args);
int Id3v2TagCommand(const ParsedArguments& args);
int SelectFilesCommand(const ParsedArguments& args);
int UndoRunsCommand(const ParsedArguments& args);

// Every subcommand, in the order "wvr-cli --help" lists them.
std::span<const SubcommandEntry> Subcommands();

}  // namespace wvr::cli
