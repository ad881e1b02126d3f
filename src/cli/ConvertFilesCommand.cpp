// wvr-cli convert --to mp3|wav|rmp3 [--delete-source] [--yes] PATH...: converts every listed
// file that the conversion dialog would, printing the path of each new file. Nothing is asked:
// an existing target is kept (replaced with --yes), and the run goes on past a drive that is
// short of room.
#include "app/commands/Convert.h"
#include "cli/Subcommands.h"

namespace wvr::cli {
namespace {

class ConvertPrompter : public StderrPrompter {
public:
    explicit ConvertPrompter(bool answerYes) : StderrPrompter(answerYes) {}
    PromptAnswer Ask(const Prompt& prompt) override {
        // Overwrite? As --yes says. Short of room: go on with the next file.
        const PromptAnswer answer = StderrPrompter::Ask(prompt);
        return prompt.buttons == PromptButtons::OkCancel ? PromptAnswer::Ok : answer;
    }
};

std::optional<ConvertTarget> TargetNamed(const std::string& name) {
    if (name == "mp3") return ConvertTarget::Mp3;
    if (name == "wav") return ConvertTarget::Wave;
    if (name == "rmp3") return ConvertTarget::Rmp3;
    return std::nullopt;
}

}  // namespace

int ConvertFilesCommand(const ParsedArguments& parsed) {
    const std::string* to = ValueOf(parsed, "--to");
    const auto target = to ? TargetNamed(*to) : std::nullopt;
    if (!target) return BadArguments("--to には mp3, wav, rmp3 のどれかを指定してください");

    ConvertPrompter prompter(HasFlag(parsed, "--yes"));
    Session session;
    const int status = LoadAndAdd(session, parsed.paths, parsed.run, prompter);
    session.settings.Set(Option::CnvEndDel, HasFlag(parsed, "--delete-source"));
    session.settings.Set(Option::CnvErrOff, false);
    for (int i = 0; i < session.rows.size(); ++i) session.rows.Mutable(i).Checked = true;

    const auto collected = ConvertibleRows(session);
    TerminalProgress progress;
    const ConvertReport report = ConvertCommand(session, collected, *target, prompter, &progress);
    for (const std::string& path : report.written) std::printf("%s\n", EscapeText(path).c_str());

    // Rows left are files not converted, except those already in the target form. Each is
    // named, so that the status 1 says which files to look at.
    bool allDone = true;
    for (const TrackInfo& row : session.rows) {
        const int kind = row.KindCode();
        if (kind == static_cast<int>(*target) + 1) continue;
        allDone = false;
        const char* why = kind < 1 || kind > 3 ? "変換できない形式のファイルです" : "変換しなかったファイルです";
        std::fprintf(stderr, "%s: %s: %s\n", kAppTitle, why, EscapeText(row.Path).c_str());
    }
    std::fflush(stdout);
    return Worse(status, allDone ? kExitOk : kExitSomeNotDone);
}

}  // namespace wvr::cli
