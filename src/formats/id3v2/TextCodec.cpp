#include "formats/id3v2/TextCodec.h"

#include <algorithm>

#include "platform/base/Utf8.h"

namespace wvr::id3v2 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::string& out, char16_t unit, bool bigEndian) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

void AppendUtf16AsUtf8(std::string_view bytes, bool bigEndian, std::string& out) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? p[2 * i] << 8 | p[2 * i + 1] : p[2 * i + 1] << 8 | p[2 * i];
    };
    out.reserve(out.size() + bytes.size() * 3 / 2);
    for (size_t i = 0; i < units; ++i) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;  // a lone surrogate
        }
        AppendUtf8(out, c);
    }
    // A last odd byte is no character.
}

void AppendCleanUtf8(std::string_view bytes, std::string& out) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    out.reserve(out.size() + bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t start = i;
        const char32_t c = utf8::Next(bytes, i);
        if (c == utf8::kInvalid) AppendUtf8(out, kReplacement);
        else out.append(bytes.substr(start, i - start));
    }
}

// Where the string that starts at `from` ends: its NUL character (two zero bytes at an even
// distance in UTF-16), or the end.
size_t StringEnd(std::string_view bytes, size_t from, size_t width) {
    if (width == 1) return std::min(bytes.find('\0', from), bytes.size());
    for (size_t i = from; i + width <= bytes.size(); i += width)
        if (bytes[i] == 0 && (width == 1 || bytes[i + 1] == 0)) return i;
    return bytes.size();
}

}  // namespace

StringReader::StringReader(std::string_view bytes, Encoding encoding)
    : bytes_(bytes), encoding_(encoding), bigEndian_(encoding == kUtf16BigEndian) {}

void StringReader::AppendNext(std::string& out) {
    const size_t width = encoding_ == kUtf16 || encoding_ == kUtf16BigEndian ? 2 : 1;
    const size_t end = StringEnd(bytes_, pos_, width);
    std::string_view piece = bytes_.substr(std::min(pos_, bytes_.size()), end - std::min(pos_, end));
    pos_ = end + width;
    switch (encoding_) {
    case kLatin1: out.append(piece); return;
    case kUtf8: AppendCleanUtf8(piece, out); return;
    default:
        // Byte order marks lead the string, once or more; the last one counts.
        while (encoding_ == kUtf16 && piece.size() >= 2) {
            if (piece.starts_with("\xFF\xFE")) bigEndian_ = false;
            else if (piece.starts_with("\xFE\xFF")) bigEndian_ = true;
            else break;
            piece.remove_prefix(2);
        }
        AppendUtf16AsUtf8(piece, bigEndian_, out);
    }
}

std::string StringReader::Next() {
    std::string out;
    if (!AtEnd()) AppendNext(out);
    return out;
}

std::vector<std::string> DecodeStrings(std::string_view bytes, Encoding encoding, size_t count) {
    StringReader reader(bytes, encoding);
    std::vector<std::string> strings;
    while (!reader.AtEnd() && strings.size() < count) strings.push_back(reader.Next());
    return strings;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) AppendUtf8(out, static_cast<uint8_t>(c));
    return out;
}

Encoding EncodingFor(std::string_view utf8, int major) {
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return !(c & 0x80); })) return kLatin1;
    return major == 4 ? kUtf8 : kUtf16;
}

std::string EncodeString(std::string_view utf8, Encoding encoding, bool terminated) {
    std::string out;
    if (encoding == kLatin1 || encoding == kUtf8) {
        out = utf8;  // Latin-1 is only chosen for ASCII
        if (terminated) out += '\0';
        return out;
    }
    const bool bigEndian = encoding == kUtf16BigEndian;
    if (encoding == kUtf16) AppendUtf16(out, 0xFEFF, bigEndian);
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = utf8::Next(utf8, i);
        if (c == utf8::kInvalid) c = kReplacement;
        if (c >= 0x10000) {
            AppendUtf16(out, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), bigEndian);
            AppendUtf16(out, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), bigEndian);
        } else {
            AppendUtf16(out, static_cast<char16_t>(c), bigEndian);
        }
    }
    if (terminated) out.append(2, '\0');
    return out;
}

}  // namespace wvr::id3v2
