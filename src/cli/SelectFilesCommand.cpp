// wvr-cli select (--minutes N | --kb N) [--seed S] [--extended] [-o OUT.m3u] PATH...: files
// drawn at random until N minutes of play time or N kilobytes are filled, printed in the order
// they were taken, and written as a playlist with -o. The same seed gives the same choice.
#include "app/commands/Select.h"
#include "cli/Subcommands.h"

namespace wvr::cli {

int SelectFilesCommand(const ParsedArguments& parsed) {
    if ((ValueOf(parsed, "--minutes") != nullptr) == (ValueOf(parsed, "--kb") != nullptr))
        return BadArguments("--minutes か --kb のどちらか一つを指定してください");
    const auto minutes = NumberOf(parsed, "--minutes", 0, kMaxCustomValue);
    const auto kilobytes = NumberOf(parsed, "--kb", 0, kMaxCustomValue);
    if (!minutes && !kilobytes) return kExitBadArguments;
    const auto seed = NumberOf(parsed, "--seed", 0, UINT32_MAX);
    if (ValueOf(parsed, "--seed") && !seed) return kExitBadArguments;
    // Made absolute before the paths are read: a playlist among them changes the current folder.
    std::optional<std::string> playlist;
    if (const std::string* out = ValueOf(parsed, "-o")) {
        playlist = RowPathArgument(*out);
        if (!playlist) return kExitBadArguments;
    }

    StderrPrompter prompter(false);
    Session session;
    const int status = LoadAndAddBesideOutput(session, parsed.paths, parsed.run, playlist, prompter);
    if (status == kExitBadArguments) return status;
    const SelectMode mode = minutes ? SelectMode::Time : SelectMode::Size;
    const long long budget = SelectBudget(mode, 0, minutes ? *minutes : *kilobytes);
    std::mt19937 random = seed ? std::mt19937(static_cast<std::mt19937::result_type>(*seed)) : ClockSeededGenerator();
    const Selection selection = RandomFill(BuildCandidates(session.rows, mode), budget, random);

    RowList chosen;
    std::vector<TrackInfo> picked;
    for (const Candidate& c : selection.chosen) {
        chosen.Append(session.rows[c.row]);
        picked.push_back(session.rows[c.row]);
    }
    PrintRows(chosen, stdout);
    // Extended as the select dialog writes it when its setting says so.
    const bool extended = HasFlag(parsed, "--extended") || LoadSelectSettings().SelExtM3u;
    if (playlist && !WritePlaylist(*playlist, picked, extended, prompter)) return kExitSomeNotDone;
    return status;
}

}  // namespace wvr::cli
