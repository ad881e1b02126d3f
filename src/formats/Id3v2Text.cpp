#include "formats/Id3v2Text.h"

#include "formats/SjisText.h"
#include "platform/base/Cp932.h"

namespace wvr::id3v2 {
namespace {

constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr char16_t kReversedByteOrderMark = 0xFFFE;

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

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

char16_t Swapped(char16_t u) { return static_cast<char16_t>(u << 8 | u >> 8); }

// Cuts at kMaxFieldBytes, stepping over double-byte characters whole.
std::string Limited(std::string text) {
    text.resize(sjis::WholeCharsWithin(text, kMaxFieldBytes).size());
    return text;
}

}  // namespace

std::string EightBitFieldText(std::string_view bytes) {
    return Limited(std::string(bytes.substr(0, bytes.find('\0'))));
}

std::string Utf16FieldText(std::u16string_view units) {
    bool swap = false;
    auto unit = [&](size_t i) -> char32_t { return swap ? Swapped(units[i]) : units[i]; };
    for (; !units.empty(); units.remove_prefix(1)) {
        if (unit(0) == kReversedByteOrderMark) swap = !swap;
        else if (unit(0) != kByteOrderMark) break;
    }
    std::string utf8;
    // Every character takes at least one byte in CP932, so no more are needed for the cut.
    size_t characters = 0;
    for (size_t i = 0; i < units.size() && characters < kMaxFieldBytes; ++i, ++characters) {
        const char32_t u = unit(i);
        if (u == 0) break;
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(unit(i + 1))) {
            AppendUtf8(utf8, 0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            utf8 += '?';
        } else {
            AppendUtf8(utf8, u);
        }
    }
    return Limited(cp932::FromUtf8(utf8));
}

}  // namespace wvr::id3v2
