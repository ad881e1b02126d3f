// What every subcommand of wvr-cli shares: its message boxes on stderr, reading the settings
// and the paths as the program's command line does, and the row printout.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/Session.h"
#include "cli/TerminalProgress.h"
#include "platform/base/Prompter.h"

namespace wvr::cli {

// Every subcommand exits with one of these.
inline constexpr int kExitOk = 0;             // everything asked for was done
inline constexpr int kExitSomeNotDone = 1;    // some row or file was not done (said on stderr)
inline constexpr int kExitBadArguments = 2;   // unknown option, missing PATH, bad value

// Boxes go to stderr as "title: text"; questions are answered by `answerYes`.
class StderrPrompter : public Prompter {
public:
    explicit StderrPrompter(bool answerYes) : answerYes_(answerYes) {}
    PromptAnswer Ask(const Prompt& prompt) override;

private:
    bool answerYes_;
};

// The options of a whole run, given before the subcommand's own arguments end ("--").
struct RunOptions {
    bool id3v2 = false;   // "--id3v2": the setting Id3v2Edit on for the run
    bool noUndo = false;  // "--no-undo": a run whose write journal cannot be kept goes on without it
};
// Takes the run options out of `args`.
RunOptions TakeRunOptions(std::vector<std::string>& args);
// The stored settings with the options of this run applied.
void LoadRunSettings(Settings& settings, const RunOptions& run);

// Loads the settings from the store, then adds the paths as the program does at start. A path
// that names nothing (no file, folder or playlist there; a pattern that matches nothing) is
// named on stderr: the status is then kExitSomeNotDone, else kExitOk.
// `reader`, when given, reads files with an ID3v2 tag whatever the settings say.
int LoadAndAdd(Session& session, const std::vector<std::string>& paths, const RunOptions& run, Prompter& prompter,
               std::optional<TagReader> reader = std::nullopt);

// The status of a run that ended with two outcomes: the worse one.
inline int Worse(int a, int b) { return a > b ? a : b; }

// One line per row: the 23 texts, tab-separated, as UTF-8 with "\", tab, CR, LF and
// undecodable bytes escaped.
void PrintRows(const RowList& rows, std::FILE* out);
// The status of a run once what it printed is out: a failed write to stdout makes it
// kExitSomeNotDone, said on stderr unless the reader closed the pipe.
int WithOutputChecked(int status);
// Ends the run with `status` (checked as above) once what was printed is out, leaving the rows held on the
// caller's stack to the system: it takes a process's memory back at once, where freeing a
// long list string by string takes a good part of the time listing it took.
[[noreturn]] void ExitLeavingRows(int status);
std::string EscapeText(const std::string& cp932);

// The arguments of a subcommand, parsed: options may stand anywhere before a "--"; every
// other argument, and every one after "--", is positional (a TEXT, an OUT, a PATH...), in order.
struct ParsedArguments {
    std::vector<std::string> flags;  // e.g. "--yes"
    std::vector<std::pair<std::string, std::string>> values;  // e.g. {"--pattern", "%2%e"}
    std::vector<std::string> paths;
    bool help = false;  // "--help" or "-h" stood where an option may: nothing else was parsed
    RunOptions run;
};

// A subcommand: its parsed arguments; returns the exit status.
using Subcommand = int (*)(const ParsedArguments& args);

// One line of the subcommand table (SubcommandTable.cpp). main() gives every subcommand its
// "--help" from these texts, and the manual page is made from them at build time.
struct SubcommandEntry {
    const char* name;     // "list"
    const char* usage;    // after "wvr-cli ": "list [--yes] PATH..."
    const char* summary;  // one line for "wvr-cli --help"
    // What it does, in paragraphs parted by blank lines; an "Options:" and an "Exit status:"
    // paragraph list one item a line, as "  --yes  text" and "  0  text". The options listed
    // are the ones the subcommand takes: "  --set NAME  text" one with a value.
    const char* help;
    Subcommand run;
};

// Says on stderr what is wrong with the arguments; returns kExitBadArguments.
int BadArguments(const std::string& text);

// Parses `args` by the options that `sub`'s help lists; false, after saying why, on an unknown
// option, an option without its value, or no positional argument. An option's value is taken
// as it stands, also when it starts with "-".
bool ParseArguments(const SubcommandEntry& sub, const std::vector<std::string>& args, ParsedArguments& parsed);
bool HasFlag(const ParsedArguments& parsed, const std::string& flag);
// The option's value (UTF-8) as CP932 in `out`, when given; false after a message when CP932
// cannot hold it.
bool Cp932Value(const ParsedArguments& parsed, const std::string& option, std::optional<std::string>& out);
// The option naming a stored set or format (`names`, compared ignoring letter case as the
// ini files compare them) in `chosen`, when given; false after a message when the name is
// not stored or CP932 cannot hold it.
bool StoredNameOption(const ParsedArguments& parsed, const std::string& option, const std::vector<std::string>& names,
                      std::optional<std::string>& chosen);
// A path argument as an absolute row path; nothing after a message when CP932 cannot hold it.
std::optional<std::string> RowPathArgument(const std::string& native);
// LoadAndAdd for a subcommand that writes the file `outRowPath` (when given): kExitBadArguments,
// after a message, when that file is also read (the same file, also through a link), as one of
// the path arguments (a playlist, a file; checked before they are read) or as the file of a
// row. Writing it would put text in its place.
int LoadAndAddBesideOutput(Session& session, const std::vector<std::string>& paths, const RunOptions& run,
                           const std::optional<std::string>& outRowPath, Prompter& prompter);
// The last value given for an option, if any.
const std::string* ValueOf(const ParsedArguments& parsed, const std::string& option);
// A decimal option value from `low` to `high`; nothing when absent, or after a message when it
// is not such a number.
std::optional<long long> NumberOf(const ParsedArguments& parsed, const std::string& option, long long low,
                                  long long high);
// UTF-8 argument -> CP932; nothing (after a message on stderr) when CP932 cannot hold it.
std::optional<std::string> SjisArgument(const std::string& utf8, const char* what);

}  // namespace wvr::cli
