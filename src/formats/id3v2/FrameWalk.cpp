#include "formats/id3v2/FrameWalk.h"

#include <optional>

namespace wvr::id3v2 {
namespace {

bool IsFrameIdByte(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsFrameId(std::string_view bytes, size_t width) {
    if (bytes.size() < width) return false;
    for (size_t i = 0; i < width; ++i)
        if (!IsFrameIdByte(static_cast<uint8_t>(bytes[i]))) return false;
    return true;
}

// Whether a frame, padding or the end of the body lies at `pos`: the test of a frame size read.
bool LandsWell(TagWindow& tag, uint64_t pos, uint64_t bodyEnd, int major) {
    if (pos == bodyEnd) return true;
    if (pos > bodyEnd) return false;
    const std::string_view next = tag.At(pos, 4);
    return next.empty() || next[0] == 0 || IsFrameId(next, major == 2 ? 3 : 4);
}

}  // namespace

std::optional<uint64_t> FramesStart(TagWindow& tag, const TagHeader& header, uint64_t bodyEnd) {
    const uint64_t start = kHeaderBytes;
    if (!header.ExtendedHeaderFlag()) return start;
    const std::string_view size = tag.At(start, 4);
    // Writers set the flag and then write none: a frame begins right here.
    if (size.size() < 4 || IsFrameId(size, 4)) return start;
    const auto* p = reinterpret_cast<const uint8_t*>(size.data());
    // 2.3 counts the bytes after its size field; 2.4 counts itself, synchsafe.
    const uint64_t skip = header.major == 3 ? 4 + uint64_t{ReadBigEndian(p, 4)} : ReadSynchsafe(p);
    if (skip < 4 || start + skip > bodyEnd) return std::nullopt;
    return start + skip;
}

FrameWalk WalkFrames(TagWindow& tag, const TagHeader& header, uint64_t start, uint64_t bodyEnd) {
    const int major = header.major;
    const size_t headerBytes = FrameHeaderBytes(major);
    const size_t idBytes = major == 2 ? 3 : 4;
    FrameWalk walk;
    walk.framesStart = start;
    uint64_t pos = start;
    while (pos + headerBytes <= bodyEnd) {
        const std::string_view h = tag.At(pos, headerBytes);
        if (h.size() < headerBytes || h[0] == 0 || !IsFrameId(h, idBytes)) break;
        const auto* p = reinterpret_cast<const uint8_t*>(h.data());
        uint64_t dataSize = major == 2 ? ReadBigEndian(p + 3, 3) : ReadBigEndian(p + 4, 4);
        if (major == 4 && !((p[4] | p[5] | p[6] | p[7]) & 0x80)) {
            const uint64_t synchsafe = ReadSynchsafe(p + 4);
            // Both readings are tried where they differ; synchsafe wins unless only the plain one fits.
            const bool plainFits = LandsWell(tag, pos + headerBytes + dataSize, bodyEnd, major);
            if (synchsafe == dataSize || LandsWell(tag, pos + headerBytes + synchsafe, bodyEnd, major) || !plainFits)
                dataSize = synchsafe;
        }
        const uint64_t size = headerBytes + dataSize;
        if (pos + size > bodyEnd) {
            walk.framesEnd = pos;
            return walk;  // the frame runs past the body: what follows cannot be trusted
        }
        if (dataSize > 0) {
            FrameSpan span;
            span.offset = pos;
            span.size = static_cast<uint32_t>(size);
            span.id = PackedId(h.substr(0, idBytes));
            if (major > 2) span.flags = static_cast<uint16_t>(p[8] << 8 | p[9]);
            walk.frames.push_back(span);
        }
        pos += size;
    }
    walk.framesEnd = pos;
    walk.framesWhole = true;
    return walk;
}

}  // namespace wvr::id3v2
