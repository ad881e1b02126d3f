#include "cli/CliSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "app/commands/AddFiles.h"
#include "app/commands/SettingsIo.h"
#include "app/commands/WriteJournal.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/IniFile.h"

namespace wvr::cli {

PromptAnswer StderrPrompter::Ask(const Prompt& prompt) {
    TerminalProgress::ClearStderrLine();
    std::fprintf(stderr, "%s: %s\n", prompt.title.c_str(), prompt.text.c_str());
    switch (prompt.buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return answerYes_ ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::OkCancel: return answerYes_ ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    return PromptAnswer::No;
}

RunOptions TakeRunOptions(std::vector<std::string>& args) {
    RunOptions run;
    for (auto it = args.begin(); it != args.end() && *it != "--";) {
        if (*it == "--id3v2") {
            run.id3v2 = true;
            it = args.erase(it);
        } else if (*it == "--no-undo") {
            run.noUndo = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    }
    return run;
}

void LoadRunSettings(Settings& settings, const RunOptions& run) {
    LoadSettings(settings);
    if (run.id3v2) settings.Id3v2Edit = true;
}

int LoadAndAdd(Session& session, const std::vector<std::string>& paths, const RunOptions& run, Prompter& prompter,
               std::optional<TagReader> reader) {
    LoadRunSettings(session.settings, run);
    SkippedNames skipped;
    WorkList work;
    int status = kExitOk;
    // One path at a time, as the program's command line is read (a playlist read before makes
    // its folder the current one), so that a path that gives nothing can be told.
    for (const std::string& path : paths) {
        const size_t skippedBefore = skipped.size();
        WorkList more = CollectArguments({path}, &skipped);
        if (more.empty() && skipped.size() == skippedBefore && !fs::Exists(path)) {
            std::fprintf(stderr, "%s: 見つからないパスです: %s\n", kAppTitle, path.c_str());
            status = kExitSomeNotDone;
        }
        work.insert(work.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    AddOptions options = CommandLineAddOptions(session.settings);
    if (reader) options.tagReader = *reader;
    {
        TerminalProgress progress;
        BusySection busy(&progress);
        AddFiles(session, work, options, prompter, &progress);
    }
    for (const std::string& name : skipped)
        std::fprintf(stderr, "%s: %s\n", kAppTitle, ("CP932で表せない名前のため読み込みません: " + name).c_str());
    return status;
}

namespace {

// Why stdout failed first: later attempts may fail without a reason, or not at all.
int g_stdoutError = 0;

void NoteOutputError(std::FILE* out) {
    if (out == stdout && g_stdoutError == 0) g_stdoutError = errno;
}

}  // namespace

std::string EscapeText(const std::string& cp932) {
    std::string out;
    cp932::AppendEscapedUtf8(cp932, out);
    return out;
}

void PrintRows(const RowList& rows, std::FILE* out) {
    // Each line is written into room made once for its longest possible form.
    std::string line;
    for (const TrackInfo& row : rows) {
        size_t most = row.FileName.size();
        for (int i = 0; i < kIndexedTextCount; ++i) most += row.Text(i).size();
        most = most * cp932::kMostUtf8PerByte + kIndexedTextCount + 1;
        if (line.size() < most) line.resize(most);
        char* p = cp932::WriteEscapedUtf8(row.FileName, line.data());
        for (int i = 0; i < kIndexedTextCount; ++i) {
            *p++ = '\t';
            p = cp932::WriteEscapedUtf8(row.Text(i), p);
        }
        *p++ = '\n';
        if (std::fwrite(line.data(), 1, p - line.data(), out) != static_cast<size_t>(p - line.data())) {
            NoteOutputError(out);
            return;
        }
    }
    if (std::fflush(out) != 0) NoteOutputError(out);
}

int WithOutputChecked(int status) {
    if (std::fflush(stdout) != 0) NoteOutputError(stdout);
    if (!std::ferror(stdout)) return status;
    const int error = g_stdoutError;
    // A reader that went away wants nothing more, and is told nothing.
    if (error != EPIPE)
        std::fprintf(stderr, "%s: 出力を書き込めませんでした: %s\n", kAppTitle,
                     error ? std::strerror(error) : "write error");
    return Worse(status, kExitSomeNotDone);
}

void ExitLeavingRows(int status) {
    status = WithOutputChecked(status);
    journal::EndRunBeforeExit();
    std::fflush(stderr);
    std::exit(status);
}

namespace {

struct OptionSpec {
    std::string name;
    bool takesValue;
};

// The options of the help's "Options:" paragraph: "  --set NAME  text" takes a value,
// "  --yes  text" does not.
std::vector<OptionSpec> OptionsOf(const SubcommandEntry& sub) {
    std::vector<OptionSpec> options;
    const std::string help = sub.help;
    const size_t start = help.find("\nOptions:\n");
    if (start == std::string::npos) return options;
    const size_t end = help.find("\n\n", start + 1);
    std::istringstream lines(help.substr(start + 10, end == std::string::npos ? std::string::npos : end - start - 10));
    for (std::string line; std::getline(lines, line);) {
        const size_t at = line.find_first_not_of(' ');
        if (at == std::string::npos || line[at] != '-') continue;
        const size_t nameEnd = line.find(' ', at);
        const std::string name = line.substr(at, nameEnd - at);
        const bool takesValue = nameEnd != std::string::npos && nameEnd + 1 < line.size() && line[nameEnd + 1] != ' ';
        options.push_back({name, takesValue});
    }
    return options;
}

}  // namespace

namespace {

// Whether "--help" or "-h" stands where an option may, before "--": never as an option's value.
// Whatever else is wrong with the arguments, the help is what was asked for.
bool AsksForHelp(const std::vector<OptionSpec>& options, const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] == "--help" || args[i] == "-h") return true;
        const auto option =
            std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return o.name == args[i]; });
        if (option != options.end() && option->takesValue) ++i;
    }
    return false;
}

}  // namespace

bool ParseArguments(const SubcommandEntry& sub, const std::vector<std::string>& args, ParsedArguments& parsed) {
    const std::vector<OptionSpec> options = OptionsOf(sub);
    parsed.help = AsksForHelp(options, args);
    if (parsed.help) return true;
    bool onlyPositional = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!onlyPositional && arg == "--") {
            onlyPositional = true;
            continue;
        }
        // "-" alone is a name like any other.
        if (onlyPositional || arg.size() < 2 || arg[0] != '-') {
            parsed.paths.push_back(arg);
            continue;
        }
        const auto option =
            std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return o.name == arg; });
        if (option == options.end()) {
            BadArguments("知らないオプションです: " + arg);
            return false;
        }
        if (!option->takesValue) {
            parsed.flags.push_back(arg);
        } else if (i + 1 < args.size()) {
            parsed.values.emplace_back(arg, args[++i]);
        } else {
            BadArguments(arg + " に値がありません");
            return false;
        }
    }
    // A usage that ends in "[...]" takes its positional arguments or none.
    const bool optional = std::string_view(sub.usage).ends_with("]");
    if (parsed.paths.empty() && !optional) BadArguments("PATH がありません");
    return optional || !parsed.paths.empty();
}

int BadArguments(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kAppTitle, text.c_str());
    return kExitBadArguments;
}

bool HasFlag(const ParsedArguments& parsed, const std::string& flag) {
    return std::find(parsed.flags.begin(), parsed.flags.end(), flag) != parsed.flags.end();
}

const std::string* ValueOf(const ParsedArguments& parsed, const std::string& option) {
    const std::string* value = nullptr;
    for (const auto& [name, text] : parsed.values)
        if (name == option) value = &text;
    return value;
}

bool Cp932Value(const ParsedArguments& parsed, const std::string& option, std::optional<std::string>& out) {
    const std::string* utf8 = ValueOf(parsed, option);
    if (!utf8) return true;
    out = SjisArgument(*utf8, "値");
    return out.has_value();
}

bool StoredNameOption(const ParsedArguments& parsed, const std::string& option, const std::vector<std::string>& names,
                      std::optional<std::string>& chosen) {
    std::optional<std::string> name;
    if (!Cp932Value(parsed, option, name)) return false;
    if (!name) return true;
    for (const std::string& stored : names) {
        if (EqualsIgnoringAsciiCase(stored, *name)) {
            chosen = stored;
            return true;
        }
    }
    std::fprintf(stderr, "%s: その名前の設定はありません: %s\n", kAppTitle, cp932::ToUtf8(*name).c_str());
    return false;
}

std::optional<std::string> RowPathArgument(const std::string& native) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(native, ec).lexically_normal().string();
    std::optional<std::string> rowPath = fs::FromNative(ec ? native : absolute);
    if (!rowPath) std::fprintf(stderr, "%s: CP932で表せない名前です: %s\n", kAppTitle, native.c_str());
    return rowPath;
}

namespace {

// Whether the file `outRowPath` is none of `inputs` (native); says so when it is one.
bool OutputIsNoneOf(const std::string& outRowPath, const std::vector<std::optional<std::string>>& inputs) {
    const auto out = fs::ToNative(outRowPath);
    if (!out || !fs::Exists(*out)) return true;
    for (const auto& input : inputs) {
        if (input && fs::SameFile(*out, *input)) {
            std::fprintf(stderr, "%s: 出力先が読み込むファイルです: %s\n", kAppTitle, EscapeText(outRowPath).c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int LoadAndAddBesideOutput(Session& session, const std::vector<std::string>& paths, const RunOptions& run,
                           const std::optional<std::string>& outRowPath, Prompter& prompter) {
    if (outRowPath && !OutputIsNoneOf(*outRowPath, std::vector<std::optional<std::string>>(paths.begin(), paths.end())))
        return kExitBadArguments;
    const int status = LoadAndAdd(session, paths, run, prompter);
    if (!outRowPath) return status;
    std::vector<std::optional<std::string>> rowFiles;
    for (const TrackInfo& row : session.rows) rowFiles.push_back(fs::ToNative(row.Path));
    return OutputIsNoneOf(*outRowPath, rowFiles) ? status : kExitBadArguments;
}

std::optional<long long> NumberOf(const ParsedArguments& parsed, const std::string& option, long long low,
                                  long long high) {
    const std::string* text = ValueOf(parsed, option);
    if (!text) return std::nullopt;
    const bool number =
        !text->empty() && text->size() <= 18 && text->find_first_not_of("0123456789") == std::string::npos;
    const long long value = number ? std::stoll(*text) : -1;
    if (value < low || value > high) {
        BadArguments(option + " には " + std::to_string(low) + " から " + std::to_string(high) +
                       " までの数を指定してください: " + *text);
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> SjisArgument(const std::string& utf8, const char* what) {
    auto cp932 = cp932::FromUtf8Exact(utf8);
    if (!cp932) std::fprintf(stderr, "%s: CP932で表せない%sです: %s\n", kAppTitle, what, utf8.c_str());
    return cp932;
}

}  // namespace wvr::cli
