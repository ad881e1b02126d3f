// An MPEG file behind an ID3v2 tag: the tag's place and bytes, where the audio begins, and the
// texts read from it, by the ID3v2 reader or by the six-text reading of the plain listing.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "formats/MpegFrames.h"
#include "formats/MpegHeader.h"
#include "formats/id3v2/Tag.h"
#include "platform/base/FileOps.h"

namespace wvr::id3v2 {

// Bytes read from a file.
struct ReadBytes {
    std::unique_ptr<char[]> data;
    size_t size = 0;
    std::string_view View() const { return {data.get(), size}; }
};

// Up to `n` bytes of the file at `offset`, into room that is not cleared first: every listed
// file passes here.
std::string_view ReadInto(fs::File& file, uint64_t offset, size_t n, ReadBytes& into);

struct TaggedMpeg {
    TagHeader header;        // the footer confirmed where the flag announces one
    uint64_t tagEnd = 0;     // where the tag ends in the file (never past its end)
    ReadBytes tag;           // the tag's bytes whole, unless it is large (then read where needed)
    bool tagWhole = false;
    std::optional<uint64_t> audioStart;  // the first MPEG frame after the tag
    HeaderBytes first;                   // its first three bytes (B0 0 for the VBR marker)
    std::optional<StreamCount> count;    // a Xing / Info / VBRI header in that frame
};

// Tags up to this size are read whole with the bytes after them: one read costs less than
// several small ones.
inline constexpr uint64_t kWholeTagReadBytes = 65536;
// The audio's first frame is looked for this far after the tag, then further.
inline constexpr size_t kAudioLookBytes = 1536;

// The tag and audio of `file`, whose first bytes `head` are (all of them when it holds fewer
// than the file); nothing when no ID3v2 header opens it. A small tag and the audio after it
// are taken from `head` when it reaches that far.
std::optional<TaggedMpeg> LocateTaggedMpeg(fs::File& file, ReadBytes head);

// The fields of the located tag (a large one read frame by frame, skipping frames that hold
// no field, so that cover pictures are not read).
TagFields ReadTaggedFields(fs::File& file, const TaggedMpeg& located, const GenreTable& genres);

}  // namespace wvr::id3v2
