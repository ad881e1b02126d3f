#include "formats/id3v2/TaggedMpeg.h"

#include <algorithm>

namespace wvr::id3v2 {
namespace {

constexpr size_t kFirstLook = kAudioLookBytes, kWideLook = 65536;

// Up to `n` bytes of the file at `offset`, in `into`.
std::string_view ReadInto(fs::File& file, uint64_t offset, size_t n, std::string& into) {
    into.resize(n);
    const int64_t got = file.ReadAt(offset, into.data(), n);
    into.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return into;
}

// A large tag on disk, read in windows where the walk and the field frames lie.
class FileTagWindow : public TagWindow {
public:
    FileTagWindow(fs::File& file, uint64_t end) : file_(file), end_(end) {}

    std::string_view At(uint64_t offset, size_t n) override {
        constexpr size_t kChunkBytes = 16384;
        if (offset >= end_) return {};
        n = static_cast<size_t>(std::min<uint64_t>(n, end_ - offset));
        if (offset < start_ || offset + n > start_ + bytes_.size()) {
            start_ = offset;
            ReadInto(file_, offset, static_cast<size_t>(std::min<uint64_t>(std::max(n, kChunkBytes), end_ - offset)),
                     bytes_);
        }
        return std::string_view(bytes_).substr(std::min<uint64_t>(offset - start_, bytes_.size()), n);
    }

private:
    fs::File& file_;
    uint64_t end_;
    uint64_t start_ = 0;
    std::string bytes_;
};

void FindAudio(fs::File& file, std::string_view after, TaggedMpeg& out) {
    std::string wide;
    auto at = FindFirstFrame(after);
    if (!at && after.size() == kFirstLook) {  // none near the tag's end, and the file goes on
        after = ReadInto(file, out.tagEnd, kWideLook, wide);
        at = FindFirstFrame(after);
    }
    if (!at) return;
    const auto* b = reinterpret_cast<const uint8_t*>(after.data() + *at);
    out.audioStart = out.tagEnd + *at;
    out.first = {b[0], b[1], b[2]};
    // The variable-bit-rate marker, at the same place in the frame as for plain files.
    if ((b[2] & 0x30) == 0x30 && *at + 24 < after.size() && after[*at + 24] == 'X') out.first.b0 = 0;
    if (const auto frame = ParseMpegFrame(b)) out.count = ReadStreamCount(after.substr(*at), *frame);
}

}  // namespace

std::string_view ReadInto(fs::File& file, uint64_t offset, size_t n, ReadBytes& into) {
    into.data.reset(new char[n]);
    const int64_t got = file.ReadAt(offset, into.data.get(), n);
    into.size = got > 0 ? static_cast<size_t>(got) : 0;
    return into.View();
}

std::optional<TaggedMpeg> LocateTaggedMpeg(fs::File& file, ReadBytes head) {
    auto header = ParseTagHeader(head.View());
    if (!header) return std::nullopt;
    TaggedMpeg out;
    if (header->FooterFlag()) {
        char footer[kHeaderBytes];
        header->footer = file.ReadExact(kHeaderBytes + header->bodySize, footer, sizeof footer) &&
                         HasFooterAt(*header, {footer, sizeof footer});
    }
    out.header = *header;
    out.tagEnd = std::min<uint64_t>(header->TagSize(), file.SizeAtOpen());
    std::string window;
    std::string_view after;
    const size_t wanted = static_cast<size_t>(out.tagEnd) + kFirstLook;
    if (out.tagEnd <= kWholeTagReadBytes && (head.size >= wanted || head.size == file.SizeAtOpen())) {
        out.tag = std::move(head);
        after = out.tag.View().substr(0, wanted);
        after.remove_prefix(std::min<size_t>(after.size(), out.tagEnd));
        out.tagWhole = true;
    } else if (out.tagEnd <= kWholeTagReadBytes) {
        after = ReadInto(file, 0, wanted, out.tag);
        after.remove_prefix(std::min<size_t>(after.size(), out.tagEnd));
        out.tagWhole = true;
    } else {
        after = ReadInto(file, out.tagEnd, kFirstLook, window);
    }
    FindAudio(file, after, out);
    if (out.tagWhole) out.tag.size = std::min<size_t>(out.tag.size, out.tagEnd);
    return out;
}

TagFields ReadTaggedFields(fs::File& file, const TaggedMpeg& located, const GenreTable& genres) {
    const TagHeader& header = located.header;
    const uint64_t readable = std::min<uint64_t>(located.tagEnd, kMaxTagBytes);
    std::string whole;
    std::string_view tag = located.tag.View();
    if (!located.tagWhole && NeedsResynchronising(header)) {
        ReadInto(file, 0, static_cast<size_t>(readable), whole);
        tag = whole;
    }
    if (located.tagWhole || !whole.empty()) {
        const std::string resynchronised = NeedsResynchronising(header) ? PlainTagBytes(tag, header) : std::string();
        const std::string_view plain = NeedsResynchronising(header) ? std::string_view(resynchronised) : tag;
        TagBytesWindow window(plain);
        return ReadTagFields(window, WalkTag(window, header, plain.size()), genres);
    }
    FileTagWindow window(file, readable);
    return ReadTagFields(window, WalkTag(window, header, readable), genres);
}

}  // namespace wvr::id3v2
