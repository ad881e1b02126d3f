#include "formats/Id3v2Sanitizer.h"

#include <algorithm>
#include <array>
#include <zlib.h>

namespace wvr::id3v2 {
namespace {

// In 2.2 the extended-header bit marks a compressed tag, for which no scheme was ever defined.
constexpr uint8_t kCompressedTag22 = 0x40;

// Format flags of a 2.3 frame (second flag byte).
constexpr uint8_t kCompressedFrame = 0x80;
constexpr uint8_t kEncryptedFrame = 0x40;
constexpr uint8_t kGroupedFrame = 0x20;

constexpr size_t kPaddingSize = 10;

struct FrameLayout {
    size_t idWidth;
    size_t sizeWidth;
    size_t headerSize;
    std::array<std::string_view, 6> readIds;  // title, lead artist, album, comment, year, content type
    std::string_view commentId;
};

constexpr FrameLayout kLayout22{3, 3, 6, {"TT2", "TP1", "TAL", "COM", "TYE", "TCO"}, "COM"};
constexpr FrameLayout kLayout23{4, 4, 10, {"TIT2", "TPE1", "TALB", "COMM", "TYER", "TCON"}, "COMM"};

uint32_t BigEndian(std::string_view bytes, size_t width) {
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i) value = value << 8 | static_cast<uint8_t>(bytes[i]);
    return value;
}

void AppendBigEndian(std::string& out, uint32_t value, size_t width) {
    for (size_t i = width; i-- > 0;) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

bool IsFrameId(std::string_view id) {
    return std::all_of(id.begin(), id.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Every 0xFF 0x00 pair stands for 0xFF.
std::string Resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (bytes[i] == '\xFF' && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

// The declared inflated size is not trusted: output is bounded by kMaxTagBytes instead, and
// a stream that does not end properly gives nothing.
std::optional<std::string> Inflate(std::string_view data) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    std::array<char, 16384> chunk;
    int result;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk.data(), chunk.size() - stream.avail_out);
        if (out.size() > kMaxTagBytes) result = Z_MEM_ERROR;
    } while (result == Z_OK);
    inflateEnd(&stream);
    if (result != Z_STREAM_END) return std::nullopt;
    return out;
}

// The content of a 2.3 frame without the bytes its format flags add, inflated when compressed;
// nothing for encrypted frames and for compressed ones that do not inflate.
std::optional<std::string> PlainContent(std::string_view content, uint8_t format) {
    if (format & kEncryptedFrame) return std::nullopt;
    // The extra bytes of the remaining flags follow the header in flag order: inflated size, group id.
    const size_t extra = (format & kCompressedFrame ? 4 : 0) + (format & kGroupedFrame ? 1 : 0);
    if (content.size() < extra) return std::nullopt;
    content.remove_prefix(extra);
    if (format & kCompressedFrame) return Inflate(content);
    return std::string(content);
}

// The longest part of `text` made of whole units.
std::string_view WholeUnits(std::string_view text, size_t unit) { return text.substr(0, text.size() / unit * unit); }

// Position of the first terminator (a zero unit), or npos.
size_t TerminatorAt(std::string_view text, size_t unit) {
    for (size_t i = 0; i + unit <= text.size(); i += unit)
        if (text[i] == 0 && text[i + unit - 1] == 0) return i;
    return std::string_view::npos;
}

// id3lib loses every frame after a text it cannot finish (an odd number of UTF-16 bytes, a
// comment that ends inside its language or description) and has no text for encodings that
// 2.2 and 2.3 do not define. So the contents of the frames read are rebuilt whole: encoding 0
// or 1, whole UTF-16 units, a comment's description closed by its terminator. Nothing when
// the frame cannot hold a text.
std::optional<std::string> WholeText(std::string_view content, bool isComment) {
    if (content.empty() || (content[0] != 0 && content[0] != 1)) return std::nullopt;
    const size_t unit = content[0] == 1 ? 2 : 1;
    std::string out(content.substr(0, 1));
    content.remove_prefix(1);
    if (isComment) {
        constexpr size_t kLanguageSize = 3;
        if (content.size() < kLanguageSize) return std::nullopt;
        out.append(content.substr(0, kLanguageSize));
        content.remove_prefix(kLanguageSize);
        const size_t end = TerminatorAt(content, unit);
        if (end == std::string_view::npos) {
            out.append(WholeUnits(content, unit));
            out.append(unit, '\0');
            content = {};
        } else {
            out.append(content.substr(0, end + unit));
            content.remove_prefix(end + unit);
        }
    }
    out.append(WholeUnits(content, unit));
    return out;
}

// The frames after the tag header (and any extended header) that the program reads, each
// rebuilt with a plain header.
std::string ReadFrames(std::string_view body, const TagHeader& header) {
    const FrameLayout& layout = header.major == 2 ? kLayout22 : kLayout23;
    if (header.major == 3 && (header.flags & kExtendedHeader)) {
        if (body.size() < 4) return {};
        const uint32_t extendedSize = BigEndian(body, 4);
        if (extendedSize > body.size() - 4) return {};
        body.remove_prefix(4 + extendedSize);
    }
    std::string frames;
    while (body.size() >= layout.headerSize) {
        const std::string_view id = body.substr(0, layout.idWidth);
        if (!IsFrameId(id)) break;  // padding, or bytes that are no frame: the frames end here
        const uint32_t size = BigEndian(body.substr(layout.idWidth), layout.sizeWidth);
        const uint8_t format = header.major == 3 ? static_cast<uint8_t>(body[9]) : 0;
        body.remove_prefix(layout.headerSize);
        if (size > body.size()) break;  // runs past the tag
        const std::string_view content = body.substr(0, size);
        body.remove_prefix(size);

        if (std::find(layout.readIds.begin(), layout.readIds.end(), id) == layout.readIds.end()) continue;
        std::optional<std::string> plain = PlainContent(content, format);
        if (plain) plain = WholeText(*plain, id == layout.commentId);
        if (!plain) continue;
        if (frames.size() + layout.headerSize + plain->size() > kMaxTagBytes) break;
        frames.append(id);
        AppendBigEndian(frames, static_cast<uint32_t>(plain->size()), layout.sizeWidth);
        if (header.major == 3) frames.append(2, '\0');
        frames.append(*plain);
    }
    return frames;
}

std::string Syncsafe(uint32_t value) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>(value >> shift & 0x7F);
    return out;
}

}  // namespace

std::optional<TagHeader> ParseTagHeader(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || bytes.substr(0, 3) != "ID3") return std::nullopt;
    TagHeader header;
    header.major = static_cast<uint8_t>(bytes[3]);
    header.flags = static_cast<uint8_t>(bytes[5]);
    if (header.major != 2 && header.major != 3) return std::nullopt;
    for (size_t i = 6; i < kHeaderSize; ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (b & 0x80) return std::nullopt;
        header.size = header.size << 7 | b;
    }
    return header;
}

std::optional<std::string> SanitizeTag(std::string_view tag) {
    const std::optional<TagHeader> header = ParseTagHeader(tag);
    if (!header) return std::nullopt;
    std::string frames;
    if (!(header->major == 2 && (header->flags & kCompressedTag22))) {
        const std::string_view body = tag.substr(kHeaderSize, std::min<size_t>(header->size, kMaxTagBytes));
        frames = header->flags & kUnsynchronised ? ReadFrames(Resynchronise(body), *header)
                                                 : ReadFrames(body, *header);
    }
    // id3lib skips a last 2.2 frame that ends less than ten bytes before the end of the tag.
    frames.append(kPaddingSize, '\0');
    std::string clean = "ID3";
    clean += static_cast<char>(header->major);
    clean.append(2, '\0');  // revision, flags
    clean += Syncsafe(static_cast<uint32_t>(frames.size()));
    return clean + frames;
}

}  // namespace wvr::id3v2
