// Handing files to an outside player: the play-one and play-many commands, the playlist the
// latter writes, and the start of the player program (or of the program the desktop opens
// the file with).
#pragma once

#include <string>
#include <vector>

#include "app/commands/Playlists.h"
#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// What starting a program gave: whether it runs, its process id when known, and otherwise
// the system's reason (UTF-8).
struct LaunchOutcome {
    bool started = false;
    long long pid = 0;
    std::string reason;
};

// How a player is started. The windows start real processes; tests record the requests.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Opens a file (native path) with the program the desktop associates with it.
    virtual LaunchOutcome OpenWithDefault(const std::string& nativeFile, bool minimized) = 0;
    // Starts `program` (native path) in `workingFolder` with the given arguments.
    virtual LaunchOutcome StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                                       const std::string& workingFolder, bool minimized) = 0;
};

// Launch flags: bit 0 start minimised (PlyRunMin), bit 1 use the player program (PlayerSel).
enum LaunchFlag : int { kLaunchMinimized = 1, kLaunchUsePlayer = 2 };
int LaunchFlagsFrom(const Settings& settings);

// Starts the player for a file or playlist (native path): the program at `playerPath` (native)
// with the path as its one argument, in the program's own folder, or without kLaunchUsePlayer
// the desktop's opener for the file.
LaunchOutcome LaunchPlayer(const std::string& nativeTarget, const std::string& playerPath, int flags,
                           ProcessStarter& starter);

// The paths the play-many command plays, in row order: the checked rows (every row with
// PlyChkOff), or every row when none is checked.
std::vector<std::string> PathsToPlay(const Session& session);

// The playlist file: "wvr.m3u" in the user's own runtime folder (XDG_RUNTIME_DIR, else a
// folder of the user's own under the temporary-files folder), never in a folder shared with
// other users.
std::string PlaylistPath();

enum class PlayResult { NothingToDo, Failed, Launched };

// "単独再生": plays the focused row's file (`focusedRow` -1: nothing to do).
PlayResult PlayOne(const Session& session, int focusedRow, ProcessStarter& starter, Prompter& prompter,
                   LaunchOutcome* outcome = nullptr);

// "複数再生": writes the playlist into `playlistPath`, readable by the user alone, and plays
// it. A playlist that cannot be written is reported and no player is started.
PlayResult PlayMany(const Session& session, const std::string& playlistPath, ProcessStarter& starter,
                    Prompter& prompter, LaunchOutcome* outcome = nullptr);

}  // namespace wvr
