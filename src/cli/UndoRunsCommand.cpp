// wvr-cli undo: the write journal's runs listed, shown and taken back.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/commands/JournalUndo.h"
#include "cli/Subcommands.h"

namespace wvr::cli {
namespace {

using journal::Entry;

std::string TimeText(int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
    return text;
}

std::string StateOf(const Entry& run) {
    if (!run.undoneBy.empty()) return "undone";
    if (!run.closed) return journal::WhyNotUndoable(run).empty() ? "interrupted" : "running";
    return run.Undoable() ? "undoable" : "not undoable";
}

// Tabs and line ends in a text would break the columns.
std::string Column(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

int NotInJournal(const std::string& id) {
    std::fprintf(stderr, "%s: 書き込みの記録にない実行です: %s\n", kAppTitle, id.c_str());
    return kExitSomeNotDone;
}

int Undo(const Entry& run) {
    if (const std::string why = journal::WhyNotUndoable(run); !why.empty()) {
        std::fprintf(stderr, "%s: %s: %s\n", kAppTitle, why.c_str(), run.id.c_str());
        return kExitSomeNotDone;
    }
    const auto report = journal::UndoRun(run, run.closed ? journal::UndoMode::Checked : journal::UndoMode::Recovery);
    for (const std::string& left : report.left) std::fprintf(stderr, "%s: 元に戻しませんでした: %s\n", kAppTitle, left.c_str());
    std::fprintf(stderr, "%s: %s を元に戻しました (%d ファイル)\n", kAppTitle, run.id.c_str(), report.restored);
    return report.left.empty() ? kExitOk : kExitSomeNotDone;
}

}  // namespace

int UndoRunsCommand(const ParsedArguments& parsed) {
    if (HasFlag(parsed, "--list")) {
        for (const Entry& run : journal::ReadRuns())
            std::printf("%s\t%s\t%s\t%zu\t%s\n", run.id.c_str(), TimeText(run.time).c_str(), Column(run.command).c_str(),
                        run.FileCount(), StateOf(run).c_str());
        return kExitOk;
    }
    if (const std::string* id = ValueOf(parsed, "--show")) {
        const auto run = journal::ReadRun(*id);
        if (!run) return NotInJournal(*id);
        for (const auto& line : journal::ShowRun(*run))
            std::printf("%s\t%s\t%s\t%s\n", Column(line.path).c_str(), Column(line.field).c_str(),
                        Column(line.before).c_str(), Column(line.after).c_str());
        return kExitOk;
    }
    if (parsed.paths.empty()) {
        // An undo is taken back only when named: "undo" again takes back the run before.
        for (const Entry& run : journal::ReadRuns())
            if (run.undoneBy.empty() && run.undoes.empty() && !run.changes.empty() && !run.withoutUndo) return Undo(run);
        std::fprintf(stderr, "%s: 元に戻せる実行がありません\n", kAppTitle);
        return kExitSomeNotDone;
    }
    int status = kExitOk;
    for (const std::string& id : parsed.paths)
        if (!journal::ReadRun(id)) status = NotInJournal(id);
    // Newest first, so that a file changed by two of them gets back what it had before both.
    for (const Entry& run : journal::ReadRuns())
        if (std::find(parsed.paths.begin(), parsed.paths.end(), run.id) != parsed.paths.end())
            status = Worse(status, Undo(run));
    return status;
}

}  // namespace wvr::cli
