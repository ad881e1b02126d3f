#include "app/commands/PlayFiles.h"

#include <QStandardPaths>
#include <sys/stat.h>
#include <cstring>

#include "app/commands/TextFiles.h"
#include "formats/PathText.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kPlaylistName = "wvr.m3u";

PlayResult Report(const LaunchOutcome& outcome, const std::string& what, Prompter& prompter,
                  LaunchOutcome* out) {
    if (out) *out = outcome;
    if (outcome.started) return PlayResult::Launched;
    prompter.Error(what + "\n" + outcome.reason);
    return PlayResult::Failed;
}

// The start of the player for `nativeTarget`, with the failure message naming the program.
PlayResult Play(const Session& session, const std::string& nativeTarget, ProcessStarter& starter,
                Prompter& prompter, LaunchOutcome* out) {
    const int flags = LaunchFlagsFrom(session.settings);
    const LaunchOutcome outcome = LaunchPlayer(nativeTarget, session.settings.PlyPlayer, flags, starter);
    const std::string what = (flags & kLaunchUsePlayer)
                                 ? "プレーヤーを起動できませんでした。\n" + session.settings.PlyPlayer
                                 : "関連付けられたプログラムで開けませんでした。\n" + nativeTarget;
    return Report(outcome, what, prompter, out);
}

}  // namespace

int LaunchFlagsFrom(const Settings& settings) {
    return (settings.Get(Option::PlyRunMin) ? kLaunchMinimized : 0) |
           (settings.Get(Option::PlayerSel) ? kLaunchUsePlayer : 0);
}

LaunchOutcome LaunchPlayer(const std::string& nativeTarget, const std::string& playerPath, int flags,
                           ProcessStarter& starter) {
    const bool minimized = flags & kLaunchMinimized;
    if (!(flags & kLaunchUsePlayer)) return starter.OpenWithDefault(nativeTarget, minimized);
    if (playerPath.empty()) return {false, 0, "プレーヤーが指定されていません。"};
    // The program runs in its own folder; the path reaches it as one argument, spaces and all.
    // (No byte of a multi-byte UTF-8 character is a separator, so the last one ends the folder.)
    const std::string folder = playerPath.substr(0, playerPath.find_last_of(path::kSeparator) + 1);
    return starter.StartProgram(playerPath, {nativeTarget}, folder, minimized);
}

std::vector<std::string> PathsToPlay(const Session& session) {
    const bool allRows = session.settings.Get(Option::PlyChkOff);
    std::vector<std::string> paths;
    for (const TrackInfo& row : session.rows)
        if (allRows || row.Checked) paths.push_back(row.Path);
    if (paths.empty())
        for (const TrackInfo& row : session.rows) paths.push_back(row.Path);
    return paths;
}

std::string PlaylistPath() {
    // Qt makes the folder, mode 0700, where the runtime folder is not set.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return folder.toStdString() + "/" + kPlaylistName;
}

PlayResult PlayOne(const Session& session, int focusedRow, ProcessStarter& starter, Prompter& prompter,
                   LaunchOutcome* outcome) {
    if (focusedRow < 0 || focusedRow >= session.rows.size()) return PlayResult::NothingToDo;
    const std::string& path = session.rows[focusedRow].Path;
    const auto native = fs::ToNative(path);
    if (!native) {
        prompter.Error("ファイルが存在しません。\n" + cp932::ToUtf8(path));
        return PlayResult::Failed;
    }
    return Play(session, *native, starter, prompter, outcome);
}

PlayResult PlayMany(const Session& session, const std::string& playlistPath, ProcessStarter& starter,
                    Prompter& prompter, LaunchOutcome* outcome) {
    if (session.rows.empty()) return PlayResult::NothingToDo;
    int error = 0;
    if (!fs::WriteWholeFileOver(playlistPath, PlaylistBytes(PathsToPlay(session)), &error)) {
        prompter.Error(std::string(kCannotCreateFile) + "\n" + playlistPath + "\n" + std::strerror(error));
        return PlayResult::Failed;
    }
    // The list tells what the user listens to: theirs alone (its folder already is).
    ::chmod(playlistPath.c_str(), 0600);
    return Play(session, playlistPath, starter, prompter, outcome);
}

}  // namespace wvr
