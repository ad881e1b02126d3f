// Rebuilds a leading ID3v2.2 / 2.3 tag into the plain form that id3lib 3.8.3 parses without
// harm. id3lib crashes inside its reader of compressed frames and follows sizes it should not
// trust, so the tag is walked here, bounded by the bytes really present, and only the text
// frames the program reads are handed on: resynchronised, without extended header, with
// compressed frames inflated (or dropped when they do not inflate) and encrypted ones dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wvr::id3v2 {

inline constexpr size_t kHeaderSize = 10;
// A tag, or an inflated frame, is read up to this many bytes; text frames come long before.
inline constexpr size_t kMaxTagBytes = size_t{16} << 20;

struct TagHeader {
    uint8_t major = 0;  // 2 or 3
    uint8_t flags = 0;
    uint32_t size = 0;  // bytes after the header, as declared
};

// Tag header flags.
inline constexpr uint8_t kUnsynchronised = 0x80;
inline constexpr uint8_t kExtendedHeader = 0x40;  // 2.3; in 2.2 the same bit means a compressed tag

// The header at the start of `bytes`: "ID3", major version 2 or 3 and a size whose four bytes
// each keep their top bit clear. Nothing otherwise.
std::optional<TagHeader> ParseTagHeader(std::string_view bytes);

// `tag` holds the tag from its header on, possibly cut short. Returns a tag of the same major
// version, flags clear, holding the title, lead artist, album, comment, year and content type
// frames in their original order, each whole and within bounds, then ten bytes of padding;
// nothing when `tag` has no usable header.
std::optional<std::string> SanitizeTag(std::string_view tag);

}  // namespace wvr::id3v2
