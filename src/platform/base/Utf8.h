// The one UTF-8 decoder of the program: file names and typed texts are read by it alone, so a
// byte sequence is a character everywhere or nowhere.
#pragma once

#include <cstddef>
#include <string_view>

namespace wvr::utf8 {

inline constexpr char32_t kInvalid = 0xFFFFFFFF;

// The character at `i`, moving `i` past it. A malformed sequence gives kInvalid and moves one
// byte: a stray continuation byte, a lead that no character has (C0, C1, F5 to FF), a sequence
// cut short, an overlong form, a surrogate or a code above U+10FFFF.
inline char32_t Next(std::string_view s, size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t n = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
    if (n == 0 || n > s.size() - i) {
        ++i;
        return kInvalid;
    }
    char32_t c = n == 1 ? b : n == 2 ? b & 0x1F : n == 3 ? b & 0x0F : b & 0x07;
    for (size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        c = c << 6 | (t & 0x3F);
    }
    // An overlong form is no character: "\xE0\x80\xAF" must not become "/".
    const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : n == 4 ? 0x10000 : 0;
    if (c < least || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) {
        ++i;
        return kInvalid;
    }
    i += n;
    return c;
}

// How many bytes the character at `i` takes (one for a malformed sequence).
inline size_t CharLength(std::string_view s, size_t i) {
    size_t next = i;
    Next(s, next);
    return next - i;
}

}  // namespace wvr::utf8
