#include "cli/CliSupport.h"

#include <algorithm>
#include <array>

#include "app/commands/AddFiles.h"
#include "app/commands/SettingsIo.h"
#include "platform/base/Cp932.h"

namespace wvr::cli {
namespace {

// The escape of each byte of the output; nullptr where the byte stands for itself.
constexpr std::array<const char*, 256> kEscapes = [] {
    std::array<const char*, 256> escapes{};
    escapes['\\'] = "\\\\";
    escapes['\t'] = "\\t";
    escapes['\r'] = "\\r";
    escapes['\n'] = "\\n";
    return escapes;
}();

// Appends UTF-8 (or ASCII) text with its escapes, copying the runs between them whole.
void AppendEscapedUtf8(std::string_view text, std::string& out) {
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (const char* escape = kEscapes[static_cast<unsigned char>(text[i])]) {
            out.append(text, run, i - run);
            out += escape;
            run = i + 1;
        }
    }
    out.append(text, run);
}

bool IsAscii(std::string_view text) {
    for (unsigned char b : text)
        if (b >= 0x80) return false;
    return true;
}

bool IsSingleByteCharacter(unsigned char b) { return b < 0x80 || (b >= 0xA1 && b <= 0xDF); }

// Character by character, for texts that hold bytes CP932 cannot decode.
void AppendEscapedSlowly(const std::string& cp932, std::string& out) {
    for (size_t i = 0; i < cp932.size();) {
        unsigned char b = static_cast<unsigned char>(cp932[i]);
        if (b < 0x80) {
            AppendEscapedUtf8(std::string_view(cp932).substr(i++, 1), out);
            continue;
        }
        size_t width = IsSingleByteCharacter(b) ? 1 : 2;
        auto decoded = i + width <= cp932.size() ? cp932::ToUtf8Exact(cp932.substr(i, width)) : std::nullopt;
        if (decoded) {
            out += *decoded;
            i += width;
        } else {
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\x%02X", b);
            out += esc;
            ++i;
        }
    }
}

}  // namespace

PromptAnswer StderrPrompter::Ask(const Prompt& prompt) {
    std::fprintf(stderr, "%s: %s\n", prompt.title.c_str(), prompt.text.c_str());
    switch (prompt.buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::YesNo: return answerYes_ ? PromptAnswer::Yes : PromptAnswer::No;
    case PromptButtons::OkCancel: return answerYes_ ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    return PromptAnswer::No;
}

void LoadAndAdd(Session& session, const std::vector<std::string>& paths, Prompter& prompter) {
    LoadSettings(session.settings);
    SkippedNames skipped;
    WorkList work = CollectArguments(paths, &skipped);
    AddFiles(session, work, CommandLineAddOptions(session.settings), prompter);
    for (const std::string& name : skipped)
        std::fprintf(stderr, "%s: %s\n", kAppTitle, ("CP932で表せない名前のため読み込みません: " + name).c_str());
}

// Most texts are ASCII and need no conversion; in a decoded text every "\" is a real
// backslash, since second bytes of CP932 characters are inside the characters.
void AppendEscaped(const std::string& cp932, std::string& out) {
    if (IsAscii(cp932)) return AppendEscapedUtf8(cp932, out);
    if (auto utf8 = cp932::ToUtf8Exact(cp932)) return AppendEscapedUtf8(*utf8, out);
    AppendEscapedSlowly(cp932, out);
}

std::string EscapeText(const std::string& cp932) {
    std::string out;
    AppendEscaped(cp932, out);
    return out;
}

void PrintRows(const RowList& rows, std::FILE* out) {
    std::string line;
    for (const TrackInfo& row : rows) {
        line.clear();
        AppendEscaped(row.FileName, line);
        for (int i = 0; i < kIndexedTextCount; ++i) {
            line += '\t';
            AppendEscaped(row.Text(i), line);
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
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
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
            return false;
        }
    }
    parsed.paths.assign(args.begin() + static_cast<long>(i), args.end());
    return !parsed.paths.empty();
}

bool HasFlag(const ParsedArguments& parsed, const std::string& flag) {
    return std::find(parsed.flags.begin(), parsed.flags.end(), flag) != parsed.flags.end();
}

}  // namespace wvr::cli
