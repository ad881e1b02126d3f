// ID3v2.2 / 2.3 / 2.4 tags read and written frame by frame. The tag's frames are walked here and
// their texts read by Id3v2FrameText; TagLib renders the frames written. A write keeps every
// frame it does not mean to change byte for byte.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/Genres.h"
#include "formats/TrackInfo.h"

namespace wvr::id3v2 {

inline constexpr size_t kTagHeaderBytes = 10;
// A field takes at most this many bytes of a frame's text; a longer text counts as lossy.
inline constexpr size_t kMaxEditFieldBytes = 65536;

// The ten bytes at the start of a file: "ID3", major version 2 to 4, synchsafe size.
struct TagLayout {
    int major = 0;
    uint8_t flags = 0;
    uint64_t size = 0;  // the whole tag: header, frames, padding and footer
    bool HasFooter() const { return major == 4 && (flags & 0x10); }
};
std::optional<TagLayout> ParseLayout(std::string_view head);

inline size_t FrameHeaderSize(int major) { return major == 2 ? 6 : 10; }

// The whole size of the frame whose header `header` begins with (header included), or nothing
// where no frame begins (padding, garbage, an empty frame).
std::optional<uint64_t> FrameSizeAt(std::string_view header, int major);

struct FrameSpan {
    uint64_t offset = 0;  // in the tag
    uint64_t size = 0;    // with its header
};

// A tag as the program reads it: the 17 texts (CP932, untrimmed), which of them lost characters
// on the way to CP932 (or were cut), and which frame each came from.
struct TagTexts {
    TagLayout layout;
    std::array<std::string, kFieldCount> fields;
    std::bitset<kFieldCount> lossy;
    std::bitset<kFieldCount> shiftJisInLatin1;  // read from a frame marked Latin-1 that held Shift-JIS
    std::array<int, kFieldCount> frameOf;  // index into `frames`, -1 when no frame holds the field
    std::vector<FrameSpan> frames;
    uint64_t framesEnd = 0;   // where the frames end in the tag (the padding begins)
    bool walkComplete = false;  // every frame lies wholly inside the tag
};

// Reads the tag held by `tag` (its whole bytes; fewer when the file ends early).
TagTexts ReadTagTexts(std::string_view tag, const GenreTable& genres);

// The ID3v2 frame id (2.3 / 2.4 form) or the TXXX description that holds a field.
struct FieldFrame {
    const char* id;
    const char* description;  // TXXX only
};
FieldFrame FrameOfField(int field, int major);

// Whether a text is read as it was stored (trimmed), so that a row text equal to it means
// "not changed".
bool SameAsRead(const std::string& rowText, const std::string& readText);

// The tag after a change of `fields` (the row's CP932 texts; only those set in `changed` are
// written, empty ones remove their frame). 2.3 and 2.4 tags keep every other frame's bytes;
// a 2.2 tag is rendered anew as 2.3. The result has the old tag's size when it fits (padding
// absorbs the difference), else its frames and `paddingWhenGrown` bytes of padding.
// Nothing when the tag cannot be rewritten safely (tag-wide unsynchronisation, an extended
// header, a frame that runs past the tag).
std::optional<std::string> RenderChangedTag(std::string_view oldTag, const TagTexts& read,
                                            const std::array<std::string, kFieldCount>& fields,
                                            std::bitset<kFieldCount> changed, size_t paddingWhenGrown = 2048);

// A new tag of `major` version (3 or 4) holding the non-empty texts of `fields`.
std::string RenderNewTag(int major, const std::array<std::string, kFieldCount>& fields, size_t padding = 2048);

// Where the audio of a file starting with a tag begins: the first MPEG frame sync at or after
// `from`, searched within `limit` bytes.
std::optional<uint64_t> FindFrameSync(std::string_view bytes, uint64_t from);

}  // namespace wvr::id3v2
