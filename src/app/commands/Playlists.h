// The playlists the program writes (play many, the select dialog, wvr-cli select): one line
// per file, each ended by CR LF, naming the file as the file system names it, so that any
// player finds it.
#pragma once

#include <string>
#include <vector>

#include "formats/TrackInfo.h"

namespace wvr {

// A path that has no name on the file system is written as the row holds it.
std::string PlaylistBytes(const std::vector<std::string>& cp932Paths);

// The extended form players show titles from: "#EXTM3U", then before each file
// "#EXTINF:seconds,artist - title" in UTF-8, like the names (without an artist the title
// alone; without a title the file's name), each on one line.
std::string ExtendedPlaylistBytes(const std::vector<TrackInfo>& rows);

}  // namespace wvr
