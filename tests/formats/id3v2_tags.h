// Builders of ID3v2.2 / 2.3 tags byte by byte, for the ID3v2 tests.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <zlib.h>

#include "formats/Id3v2.h"
#include "support/TestSupport.h"

namespace wvr::test::id3 {

using Fields = std::array<std::string, kFieldCount>;

inline std::string BigEndian(uint32_t value, int width) {
    std::string out;
    for (int i = width - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

inline std::string Syncsafe(uint32_t value) {
    std::string out;
    for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>(value >> shift & 0x7F);
    return out;
}

// A tag header declaring `declaredSize`, followed by `body` as it is.
inline std::string TagWithSize(uint8_t major, uint32_t declaredSize, std::string_view body, uint8_t flags = 0) {
    std::string tag = "ID3";
    tag += static_cast<char>(major);
    tag += '\0';
    tag += static_cast<char>(flags);
    return tag + Syncsafe(declaredSize) + std::string(body);
}

inline std::string Tag(uint8_t major, std::string_view body, uint8_t flags = 0) {
    return TagWithSize(major, static_cast<uint32_t>(body.size()), body, flags);
}

inline std::string Tag23(std::string_view frames, uint8_t flags = 0) { return Tag(3, frames, flags); }

// A 2.3 frame whose size field says `declaredSize`.
inline std::string Frame23WithSize(std::string_view id, uint32_t declaredSize, std::string_view content,
                                   uint8_t format = 0) {
    return std::string(id) + BigEndian(declaredSize, 4) + '\0' + static_cast<char>(format) + std::string(content);
}

inline std::string Frame23(std::string_view id, std::string_view content, uint8_t format = 0) {
    return Frame23WithSize(id, static_cast<uint32_t>(content.size()), content, format);
}

inline std::string Frame22(std::string_view id, std::string_view content) {
    return std::string(id) + BigEndian(static_cast<uint32_t>(content.size()), 3) + std::string(content);
}

// Text frame contents: encoding byte, then the text.
inline std::string Latin1(std::string_view bytes) { return '\0' + std::string(bytes); }

inline std::string Utf16LeBytes(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

// Encoding 1 with a little-endian byte order mark, as most taggers write it.
inline std::string Utf16(std::u16string_view text) { return "\x01\xFF\xFE" + Utf16LeBytes(text); }

// COMM contents: encoding, language, empty description, text.
inline std::string Comment(std::string_view latin1) { return std::string("\0eng\0", 5) + std::string(latin1); }

inline std::string Deflate(std::string_view data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
              static_cast<uLong>(data.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

// The data of a compressed 2.3 frame: inflated size, then the zlib stream.
inline std::string Compressed(std::string_view content) {
    return BigEndian(static_cast<uint32_t>(content.size()), 4) + Deflate(content);
}

inline constexpr uint8_t kCompressedFrame = 0x80;
inline constexpr uint8_t kEncryptedFrame = 0x40;
inline constexpr uint8_t kGroupedFrame = 0x20;
inline constexpr uint8_t kUnsynchronisedTag = 0x80;
inline constexpr uint8_t kExtendedHeaderTag = 0x40;

// A zero byte after every 0xFF that is followed by a byte of 0xE0 or more, by a zero, or by nothing.
inline std::string Unsynchronise(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (bytes[i] == '\xFF' && (i + 1 == bytes.size() || static_cast<uint8_t>(bytes[i + 1]) >= 0xE0 ||
                                   bytes[i + 1] == '\0'))
            out += '\0';
    }
    return out;
}

// Fields 6..16 carry a mark so that a test sees that they were left alone.
inline constexpr const char* kUntouched = "untouched";

inline Fields MarkedFields() {
    Fields fields;
    for (int i = kGenre + 1; i < kFieldCount; ++i) fields[i] = kUntouched;
    return fields;
}

// Reads a tag from bytes; every box shown is recorded in `prompter`.
inline Fields Read(std::string_view tag, ScriptedPrompter& prompter) {
    Fields fields = MarkedFields();
    ReadId3v2Tag(tag, fields, prompter);
    return fields;
}

}  // namespace wvr::test::id3
