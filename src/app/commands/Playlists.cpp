#include "app/commands/Playlists.h"

#include <algorithm>

#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"

namespace wvr {
namespace {

std::string Line(const std::string& cp932Path) { return fs::ToNative(cp932Path).value_or(cp932Path) + "\r\n"; }

// A tag text on one line: a line break in it would end the #EXTINF line early.
std::string OneLine(const std::string& cp932Text) {
    std::string text = cp932::ToUtf8(cp932Text);
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

}  // namespace

std::string PlaylistBytes(const std::vector<std::string>& cp932Paths) {
    std::string bytes;
    for (const std::string& p : cp932Paths) bytes += Line(p);
    return bytes;
}

std::string ExtendedPlaylistBytes(const std::vector<TrackInfo>& rows) {
    std::string bytes = "#EXTM3U\r\n";
    for (const TrackInfo& row : rows) {
        bytes += "#EXTINF:" + std::to_string(row.SecondsValue()) + "," + OneLine(row.Fields[kArtist]) + " - " +
                 OneLine(row.Fields[kTitle]) + "\r\n";
        bytes += Line(row.Path);
    }
    return bytes;
}

}  // namespace wvr
