// The texts id3lib hands out for an ID3v2 frame, made into the CP932 bytes of a row field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wvr::id3v2 {

// A field takes at most this many bytes of a frame's text.
inline constexpr size_t kMaxFieldBytes = 1024;

// An 8-bit text up to its first zero byte (its first item), at most kMaxFieldBytes long and
// never ending in half a double-byte character. The bytes are kept as they are: ISO-8859-1
// frames of Japanese taggers hold Shift-JIS.
std::string EightBitFieldText(std::string_view bytes);

// UTF-16 code units up to the first U+0000, in CP932 and cut like EightBitFieldText. Leading
// byte order marks are dropped (a reversed one swaps the units after it); a character CP932
// lacks, or a lone surrogate, becomes "?".
std::string Utf16FieldText(std::u16string_view units);

}  // namespace wvr::id3v2
