#include "formats/Id3v2FieldBytes.h"

#include <algorithm>

#include "formats/Id3v2FrameText.h"
#include "formats/Id3v2Sanitizer.h"

namespace wvr::id3v2 {
namespace {

constexpr size_t kChunkBytes = 16384;

// A window of the file, moved where the bytes asked for lie.
class Window {
public:
    explicit Window(fs::File& file) : file_(file) {}

    // The `n` bytes at `at`; fewer where the file ends.
    std::string_view At(uint64_t at, size_t n) {
        if (at < start_ || at + n > start_ + bytes_.size()) {
            start_ = at;
            bytes_.resize(std::max(n, kChunkBytes));
            const int64_t got = file_.ReadAt(at, bytes_.data(), bytes_.size());
            bytes_.resize(got > 0 ? static_cast<size_t>(got) : 0);
        }
        return std::string_view(bytes_).substr(std::min<uint64_t>(at - start_, bytes_.size()), n);
    }

private:
    fs::File& file_;
    uint64_t start_ = 0;
    std::string bytes_;
};

std::string ReadWhole(fs::File& file, uint64_t size) {
    std::string tag(size, '\0');
    const int64_t got = file.ReadAt(0, tag.data(), tag.size());
    tag.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return tag;
}

}  // namespace

std::string ReadFieldBytes(fs::File& file, const TagLayout& layout, uint64_t tagEnd) {
    const uint64_t readable = std::min<uint64_t>(tagEnd, kMaxTagBytes);
    if (layout.flags & (kUnsynchronised | kExtendedHeader)) return ReadWhole(file, readable);
    // Where ReadTagTexts stops walking the whole tag.
    const uint64_t end = std::min(readable, layout.size - (layout.HasFooter() ? kTagHeaderBytes : 0));
    const size_t header = FrameHeaderSize(layout.major);
    Window window(file);
    std::string tag(window.At(0, kTagHeaderBytes));
    if (tag.size() < kTagHeaderBytes) return tag;
    for (uint64_t pos = kTagHeaderBytes; pos + header <= end;) {
        const std::string_view frameHeader = window.At(pos, header);
        const auto size = FrameSizeAt(frameHeader, layout.major);
        if (!size || pos + *size > end) break;
        if (MayHoldField(frameHeader, layout.major)) {
            const std::string_view frame = window.At(pos, *size);
            if (frame.size() < *size) break;
            tag += frame;
        }
        pos += *size;
    }
    const auto body = static_cast<uint32_t>(tag.size() - kTagHeaderBytes);
    for (int i = 0; i < 4; ++i) tag[6 + i] = static_cast<char>(body >> (21 - 7 * i) & 0x7F);
    return tag;
}

}  // namespace wvr::id3v2
