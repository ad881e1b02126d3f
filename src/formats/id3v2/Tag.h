// An ID3v2 tag as the ID3v2 reader reads it: where its frames lie and the 17 texts a row takes
// from them, with what is known of each (TagRender writes a change back, SixTexts reads the
// plain listing's six texts from the same walk).
#pragma once

#include <array>
#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/Genres.h"
#include "formats/TrackInfo.h"
#include "formats/id3v2/FrameWalk.h"
#include "formats/id3v2/Latin1Guess.h"

namespace wvr::id3v2 {

// A field takes at most this many bytes of a frame's text; a longer text counts as lossy.
inline constexpr size_t kMaxEditFieldBytes = 65536;

// The tag's structure: its header, where the body ends and where its frames lie.
struct WalkedTag {
    TagHeader header;
    uint64_t bodyEnd = 0;           // in the tag's bytes; the footer (if any) follows
    std::optional<uint64_t> framesStart;  // nothing when the extended header runs past the body
    FrameWalk walk;
};

// Walks the tag whose bytes `tag` gives (whole-tag unsynchronisation already undone, see
// PlainTagBytes); `available` is how many of its bytes there are (the file may end early).
WalkedTag WalkTag(TagWindow& tag, const TagHeader& header, uint64_t available);

// The tag's bytes as its frames are read: a 2.2 or 2.3 tag unsynchronised as a whole is
// resynchronised (header kept, footer dropped); any other tag is `tag` itself.
bool NeedsResynchronising(const TagHeader& header);
std::string PlainTagBytes(std::string_view tag, const TagHeader& header);

// The 17 texts of a tag (CP932, untrimmed) and what is known of each.
struct TagFields {
    std::array<std::string, kFieldCount> fields;
    std::bitset<kFieldCount> lossy;             // characters CP932 lacks, or cut at kMaxEditFieldBytes
    std::bitset<kFieldCount> shiftJisInLatin1;  // read as Shift-JIS from a frame marked Latin-1
    std::bitset<kFieldCount> latin1;            // read from a frame marked Latin-1 (either way)
    std::array<int, kFieldCount> frameOf{};     // index into the walk's frames, -1 for none
    Latin1Reading latin1Reading = Latin1Reading::Western;
    uint32_t track = 0;  // TRCK's number, where one leads it (kept for a new tag)
};

// Reads the fields from the frames the walk found; the frame bytes come from `tag`.
TagFields ReadTagFields(TagWindow& tag, const WalkedTag& walked, const GenreTable& genres);

// The same for a whole tag in memory (undoing whole-tag unsynchronisation itself).
TagFields ReadTagFields(std::string_view tag, const GenreTable& genres);

// Whether the bytes between the frames and the end of the body are padding (zero bytes), so
// that a rewrite loses nothing by dropping them; and every frame lies whole in the body.
bool RewritableWalk(std::string_view plainTag, const WalkedTag& walked);

}  // namespace wvr::id3v2
