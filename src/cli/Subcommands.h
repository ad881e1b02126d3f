// The subcommands of wvr-cli, each in a file of its own.
//
// A new subcommand is one entry of kSubcommands: its name, its usage line, a one-line summary,
// its help text and its routine. main() answers "wvr-cli NAME --help" from that text (stdout,
// exit 0), lists the summary under "wvr-cli --help", and the manual page is made from the same
// texts at build time, so nothing else needs writing. The help text says what the subcommand
// does, then an "Options:" paragraph (one "  --option  text" line each, "--help" included)
// and an "Exit status:" paragraph (one "  N  text" line each, from kExitOk, kExitSomeNotDone
// and kExitBadArguments). The routine prints rows with PrintRows, speaks through
// StderrPrompter and asks no questions.
#pragma once

#include <string>
#include <vector>

#include "cli/CliSupport.h"

namespace wvr::cli {

int ListCommand(const std::vector<std::string>& args);
int RenameFilesCommand(const std::vector<std::string>& args);
int WriteFilesCommand(const std::vector<std::string>& args);

inline constexpr SubcommandEntry kSubcommands[] = {
    {"list", "list [--yes] PATH...", "print the rows the program shows for the paths",
     R"(Prints the rows the program would show for PATH..., read with the program's settings as
when the paths are given on its command line (the file-name filter applies when it is on).

One line per row, tab-separated: FileName, the 17 tag fields, AudioSize, Path, Kind, InfoText,
Seconds, converted from CP932 to UTF-8, with "\" written as "\\", tab as "\t", CR as "\r", LF
as "\n" and a byte CP932 cannot decode as "\xNN".

Options:
  --yes   answer Yes to the program's questions (removing a MacBinary header); without it, No
  --help  show this help

Exit status:
  0  the rows were printed
  2  bad arguments: an unknown option or no PATH)",
     ListCommand},
    {"rename", "rename [--yes] [--pattern P] [--write] PATH...",
     "new file names from the tags; with --write, write and rename",
     R"(Gives every row of PATH... a new file name from its tags, by the rename pattern in use and
the settings' exception rules and name options, and prints the rows with the new name in the
first column. Nothing changes on disk unless --write is given: then every row is written as
"write" does, its tags into its file, and the file is moved to its new name (with its lyrics
file when the settings say so).

Options:
  --pattern P  the macro pattern to use, for example "[%1] %2%e", instead of the selected one
  --write      write the tags and rename the files on disk
  --yes        answer Yes to the program's questions; without it, No
  --help       show this help

Exit status:
  0  the names were printed; with --write, every file was written and renamed
  1  with --write: some file could not be written or renamed (said on stderr)
  2  bad arguments: an unknown option, no PATH, a pattern CP932 cannot hold)",
     RenameFilesCommand},
    {"write", "write [--yes] PATH...", "write the tags of the files back as they were read",
     R"(Writes the tags of every row of PATH... back into its file as they were read, with the
program's settings: an ID3v1 block for MPEG files, the INFO list for RMP3 and WAVE files, the
header chunks for SoundVQ files; each file keeps its last-write time. Then prints the rows.
Running it is the go-ahead: the count question is not asked. A file the writer refuses (an
ID3v2 tag, a layout it cannot rewrite without changing other data) stays as it was.

Options:
  --yes   answer Yes to the program's questions; without it, No
  --help  show this help

Exit status:
  0  every row was written
  1  some row was not written (said on stderr)
  2  bad arguments: an unknown option or no PATH)",
     WriteFilesCommand},
};

}  // namespace wvr::cli
