#include "cli/CliSupport.h"

#include <algorithm>
#include <filesystem>

#include "app/commands/AddFiles.h"
#include "app/commands/SettingsIo.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/IniFile.h"

namespace wvr::cli {

PromptAnswer StderrPrompter::Ask(const Prompt& prompt) {
    std::fprintf(stderr, "%s: %s\n", prompt.title.c_str(), prompt.text.c_str());
    switch (prompt.buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return answerYes_ ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::OkCancel: return answerYes_ ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    return PromptAnswer::No;
}

namespace {
bool id3v2ForRun = false;
}  // namespace

void TakeRunOptions(std::vector<std::string>& args) {
    for (auto it = args.begin(); it != args.end() && *it != "--";) {
        if (*it == "--id3v2") {
            id3v2ForRun = true;
            it = args.erase(it);
        } else {
            ++it;
        }
    }
}

void LoadRunSettings(Settings& settings) {
    LoadSettings(settings);
    if (id3v2ForRun) settings.Id3v2Edit = true;
}

void LoadAndAdd(Session& session, const std::vector<std::string>& paths, Prompter& prompter) {
    LoadRunSettings(session.settings);
    SkippedNames skipped;
    WorkList work = CollectArguments(paths, &skipped);
    AddFiles(session, work, CommandLineAddOptions(session.settings), prompter);
    for (const std::string& name : skipped)
        std::fprintf(stderr, "%s: %s\n", kAppTitle, ("CP932で表せない名前のため読み込みません: " + name).c_str());
}

std::string EscapeText(const std::string& cp932) {
    std::string out;
    cp932::AppendEscapedUtf8(cp932, out);
    return out;
}

void PrintRows(const RowList& rows, std::FILE* out) {
    std::string line;
    for (const TrackInfo& row : rows) {
        line.clear();
        cp932::AppendEscapedUtf8(row.FileName, line);
        for (int i = 0; i < kIndexedTextCount; ++i) {
            line += '\t';
            cp932::AppendEscapedUtf8(row.Text(i), line);
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), out);
    }
    std::fflush(out);
}

bool ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& knownFlags,
                    const std::vector<std::string>& knownValues, ParsedArguments& parsed) {
    auto known = [](const std::vector<std::string>& list, const std::string& a) {
        return std::find(list.begin(), list.end(), a) != list.end();
    };
    size_t i = 0;
    auto isOption = [&](const std::string& a) {
        return a.rfind("--", 0) == 0 || known(knownFlags, a) || known(knownValues, a);
    };
    for (; i < args.size() && isOption(args[i]); ++i) {
        if (args[i] == "--") {
            ++i;
            break;
        }
        if (known(knownFlags, args[i])) {
            parsed.flags.push_back(args[i]);
        } else if (known(knownValues, args[i]) && i + 1 < args.size()) {
            parsed.values.emplace_back(args[i], args[i + 1]);
            ++i;
        } else {
            BadArguments(known(knownValues, args[i]) ? args[i] + " に値がありません" : "知らないオプションです: " + args[i]);
            return false;
        }
    }
    parsed.paths.assign(args.begin() + static_cast<long>(i), args.end());
    if (parsed.paths.empty()) BadArguments("PATH がありません");
    return !parsed.paths.empty();
}

int BadArguments(const std::string& text) {
    std::fprintf(stderr, "%s: %s\n", kAppTitle, text.c_str());
    return kExitBadArguments;
}

bool HasFlag(const ParsedArguments& parsed, const std::string& flag) {
    return std::find(parsed.flags.begin(), parsed.flags.end(), flag) != parsed.flags.end();
}

void TakeTrailingFlags(ParsedArguments& parsed, const std::vector<std::string>& knownFlags) {
    while (!parsed.paths.empty() &&
           std::find(knownFlags.begin(), knownFlags.end(), parsed.paths.back()) != knownFlags.end()) {
        parsed.flags.push_back(parsed.paths.back());
        parsed.paths.pop_back();
    }
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

bool LoadAndAddBesideOutput(Session& session, const std::vector<std::string>& paths,
                            const std::optional<std::string>& outRowPath, Prompter& prompter) {
    if (outRowPath && !OutputIsNoneOf(*outRowPath, std::vector<std::optional<std::string>>(paths.begin(), paths.end())))
        return false;
    LoadAndAdd(session, paths, prompter);
    if (!outRowPath) return true;
    std::vector<std::optional<std::string>> rowFiles;
    for (const TrackInfo& row : session.rows) rowFiles.push_back(fs::ToNative(row.Path));
    return OutputIsNoneOf(*outRowPath, rowFiles);
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
