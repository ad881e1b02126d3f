// The frames of an ID3v2 tag, walked once by one rule for every reader and the writer: where
// each frame lies, its id and flags. Frames are byte spans; their contents are decoded apart
// (FrameData), so that a frame the program does not change is written back as it was read.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/id3v2/TagHeader.h"

namespace wvr::id3v2 {

inline size_t FrameHeaderBytes(int major) { return major == 2 ? 6 : 10; }

struct FrameSpan {
    uint64_t offset = 0;    // of the frame header, in the tag's bytes (the tag header at 0)
    uint32_t size = 0;      // the whole frame, header included
    uint32_t id = 0;        // the three or four id bytes, packed big-endian
    uint16_t flags = 0;     // 2.3 and 2.4: status byte, then format byte
};

// The packed form of a frame id, as FrameSpan::id holds it.
constexpr uint32_t PackedId(std::string_view id) {
    uint32_t packed = 0;
    for (const char c : id) packed = packed << 8 | static_cast<uint8_t>(c);
    return packed;
}

// The tag's bytes as far as the walk needs them. A whole tag in memory serves as is; a large
// tag on disk is read where the walk looks, so that a cover picture is stepped over unread.
class TagWindow {
public:
    virtual ~TagWindow() = default;
    // Up to `n` bytes at `offset`; fewer where the tag or the file ends.
    virtual std::string_view At(uint64_t offset, size_t n) = 0;
};

class TagBytesWindow : public TagWindow {
public:
    explicit TagBytesWindow(std::string_view tag) : tag_(tag) {}
    std::string_view At(uint64_t offset, size_t n) override {
        return offset >= tag_.size() ? std::string_view() : tag_.substr(offset, n);
    }

private:
    std::string_view tag_;
};

struct FrameWalk {
    std::vector<FrameSpan> frames;
    uint64_t framesStart = 0;  // after the header and any extended header
    uint64_t framesEnd = 0;    // where padding (or what no frame begins with) starts
    bool framesWhole = false;  // the walk ended at padding or at the body's end, not inside a frame
};

// Where the frames begin: after the header and, when the flag is set and one is really there,
// the extended header. Nothing when the extended header runs past `bodyEnd`.
std::optional<uint64_t> FramesStart(TagWindow& tag, const TagHeader& header, uint64_t bodyEnd);

// Walks the frames from `start` to `bodyEnd`. A frame of size zero holds nothing and is
// stepped over; a 2.4 size written as a plain number (as some writers do) is read as one
// when only that reading lands on a frame or the end.
FrameWalk WalkFrames(TagWindow& tag, const TagHeader& header, uint64_t start, uint64_t bodyEnd);

}  // namespace wvr::id3v2
