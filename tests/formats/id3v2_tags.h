// ID3v2 tags built byte by byte, and the readers of the ID3v2 tests over them.
#pragma once

#include <string>
#include <zlib.h>

#include "formats/id3v2/SixTexts.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "support/TestSupport.h"

namespace wvr::test::id3 {

using Fields = std::array<std::string, kFieldCount>;
using namespace std::string_literals;

inline constexpr uint8_t kCompressedFrame = 0x80, kEncryptedFrame = 0x40, kGroupedFrame = 0x20;
inline constexpr uint8_t kUnsynchronisedTag = 0x80, kExtendedHeaderTag = 0x40;

inline std::string BigEndian(uint32_t value, int width) {
    std::string out;
    for (int i = width - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

// A header declaring `size` (default: the body's), then the body.
inline std::string Tag(uint8_t major, const std::string& body, uint8_t flags = 0, int64_t size = -1) {
    const auto n = static_cast<uint32_t>(size < 0 ? body.size() : size);
    const std::string syncsafe = {char(n >> 21 & 0x7F), char(n >> 14 & 0x7F), char(n >> 7 & 0x7F), char(n & 0x7F)};
    return "ID3"s + char(major) + '\0' + char(flags) + syncsafe + body;
}
inline std::string Tag23(const std::string& frames, uint8_t flags = 0) { return Tag(3, frames, flags); }

// A 2.3 frame; `size` overrides the size field.
inline std::string Frame23(const std::string& id, const std::string& content, uint8_t format = 0, int64_t size = -1) {
    return id + BigEndian(static_cast<uint32_t>(size < 0 ? content.size() : size), 4) + '\0' + char(format) + content;
}
inline std::string Frame24(const std::string& id, const std::string& content, uint8_t format = 0) {
    const auto n = static_cast<uint32_t>(content.size());
    return id + char(n >> 21 & 0x7F) + char(n >> 14 & 0x7F) + char(n >> 7 & 0x7F) + char(n & 0x7F) + '\0' +
           char(format) + content;
}
inline std::string Frame22(const std::string& id, const std::string& content) {
    return id + BigEndian(static_cast<uint32_t>(content.size()), 3) + content;
}

// Text contents: Latin-1; UTF-16 with a little-endian mark; a comment with no description.
inline std::string Latin1(const std::string& bytes) { return '\0' + bytes; }
inline std::string Utf16(const std::u16string& text) {
    std::string out = "\x01\xFF\xFE";
    for (char16_t u : text) out += {char(u & 0xFF), char(u >> 8)};
    return out;
}
inline std::string Comment(const std::string& latin1) { return "\0eng\0"s + latin1; }

inline std::string Deflate(const std::string& data) {
    uLongf size = compressBound(data.size());
    std::string out(size, '\0');
    compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()), data.size());
    out.resize(size);
    return out;
}
// The data of a compressed 2.3 frame: inflated size, then the zlib stream.
inline std::string Compressed(const std::string& content) { return BigEndian(content.size(), 4) + Deflate(content); }

// A zero after every 0xFF that is followed by 0xE0 or more, by a zero, or by nothing.
inline std::string Unsynchronise(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (bytes[i] == '\xFF' && (i + 1 == bytes.size() || uint8_t(bytes[i + 1]) >= 0xE0 || bytes[i + 1] == '\0'))
            out += '\0';
    }
    return out;
}

// Fields 6..16 carry a mark, to show that the reader leaves them alone.
inline constexpr const char* kUntouched = "untouched";
inline Fields MarkedFields() {
    Fields fields;
    for (int i = kGenre + 1; i < kFieldCount; ++i) fields[i] = kUntouched;
    return fields;
}

// The six texts of the plain listing from the first bytes of a file, into fields 0..5.
inline Fields Read(const std::string& fileStart, ScriptedPrompter&) {
    Fields fields = MarkedFields();
    const auto texts = id3v2::ReadSixTexts(std::string_view(fileStart));
    for (size_t i = 0; i < texts.size(); ++i) fields[id3v2::kSixTextFields[i]] = texts[i];
    return fields;
}

// The fields the ID3v2 reader gives.
inline id3v2::TagFields ReadTag(const std::string& tag) { return id3v2::ReadTagFields(tag, GenreTable{}); }

}  // namespace wvr::test::id3
