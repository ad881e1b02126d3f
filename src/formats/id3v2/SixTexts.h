// The six texts a file with an ID3v2 tag lists with when the ID3v2 setting is off: title,
// artist, album, comment, year and content type, read by the same walk as every field.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "formats/id3v2/Tag.h"
#include "platform/base/FileOps.h"

namespace wvr::id3v2 {

// The row fields the six texts fill, in their order.
inline constexpr Field kSixTextFields[6] = {kTitle, kArtist, kAlbum, kComment, kDate, kGenre};

// The six texts a tag gives without the ID3v2 setting (title, artist, album, comment, year,
// content type), as stored: the first readable frame of each, its first string, 8-bit text
// as it is, UTF-16 in CP932, at most kMaxSixTextBytes, no genre numbers read.
inline constexpr size_t kMaxSixTextBytes = 1024;
std::array<std::string, 6> ReadSixTexts(TagWindow& tag, const WalkedTag& walked);

// The same for a file whose tag may be any bytes after "ID3", and from a file's first bytes.
std::array<std::string, 6> ReadSixTexts(fs::File& file);
std::array<std::string, 6> ReadSixTexts(std::string_view fileStart);

}  // namespace wvr::id3v2
