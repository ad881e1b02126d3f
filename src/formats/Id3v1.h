// The 128-byte ID3v1 block at the very end of a file: parse, build from a row, write.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/Genres.h"
#include "formats/TrackInfo.h"

namespace wvr {

class Prompter;

inline constexpr size_t kId3v1Size = 128;
using Id3v1Tag = std::array<uint8_t, kId3v1Size>;

// Texts as stored: each up to its first zero byte, trailing blanks kept; genre as its name.
struct Id3v1Texts {
    std::string title, artist, album, year, comment, genre;
};

// Offsets and widths of the block.
namespace id3v1 {
inline constexpr size_t kTitle = 3, kArtist = 33, kAlbum = 63, kYear = 93, kComment = 97, kGenre = 127;
inline constexpr size_t kTextWidth = 30, kYearWidth = 4;
}  // namespace id3v1

// Nothing when the block does not begin with "TAG".
std::optional<Id3v1Texts> ParseId3v1(const uint8_t* block, const GenreTable& genres);

// The block for Fields[0..5] of a row.
Id3v1Tag BuildId3v1Tag(const TrackInfo& row, const GenreTable& genres);

// Overwrites the file's last 128 bytes when they begin with "TAG", else appends the block.
// Keeps the last-write time. `cp932Path` is the row's path.
bool WriteId3v1Tag(const std::string& cp932Path, const Id3v1Tag& tag, Prompter& prompter);

}  // namespace wvr
