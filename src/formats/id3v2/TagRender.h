// An ID3v2 tag rendered after a change, and new tags: only the frames of the fields written
// are rendered; every other frame is kept as the bytes it was read as.
#pragma once

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>

#include "formats/id3v2/Tag.h"

namespace wvr::id3v2 {

// A frame of a field, rendered for a tag of version `major` (frame header included).
std::string RenderFieldFrame(int field, std::string_view cp932, int major);

// The tag after a change of `fields` (the row's texts; those set in `changed` are written, an
// empty one removes its frame). `plainTag` is PlainTagBytes of the tag read. Every other frame
// keeps its bytes; the version stays; the result is rendered without unsynchronisation or
// extended header. It has the old size where the frames fit (padding absorbs the difference),
// else its frames and `paddingWhenGrown` bytes of padding. Nothing when the walk is not
// rewritable or the tag would pass the format's size.
std::optional<std::string> RenderChangedTag(std::string_view plainTag, const WalkedTag& walked,
                                            const TagFields& read,
                                            const std::array<std::string, kFieldCount>& fields,
                                            std::bitset<kFieldCount> changed, size_t paddingWhenGrown = 2048);

// A new tag of version `major` (3 or 4) holding the non-empty texts of `fields` and, when
// `track` is not 0, the track number.
std::string RenderNewTag(int major, const std::array<std::string, kFieldCount>& fields, int track = 0,
                         size_t padding = 2048);

}  // namespace wvr::id3v2
