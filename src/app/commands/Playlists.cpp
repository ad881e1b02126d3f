#include "app/commands/Playlists.h"

#include <algorithm>

#include "formats/PathText.h"
#include "formats/SjisText.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"

namespace wvr {
namespace {

std::string Line(const std::string& cp932Path) { return fs::ToNative(cp932Path).value_or(cp932Path) + "\r\n"; }

// A tag text on one line: a line break in it would end the #EXTINF line early. A text cut
// mid-character loses its dangling lead byte, as every joiner of texts drops it.
std::string OneLine(std::string_view cp932Text) {
    std::string text = cp932::ToUtf8(sjis::WithoutLoneLeadByte(cp932Text));
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

// What a player shows for the file: "artist - title", the title alone without an artist, and
// the file's name in place of a missing title, as players show a file without tags.
std::string DisplayTitle(const TrackInfo& row) {
    auto given = [](const std::string& text) { return !sjis::Trim(text).empty(); };
    const std::string title = given(row.Fields[kTitle]) ? OneLine(row.Fields[kTitle]) : OneLine(path::FileName(row.Path));
    return given(row.Fields[kArtist]) ? OneLine(row.Fields[kArtist]) + " - " + title : title;
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
        bytes += "#EXTINF:" + std::to_string(row.SecondsValue()) + "," + DisplayTitle(row) + "\r\n";
        bytes += Line(row.Path);
    }
    return bytes;
}

}  // namespace wvr
