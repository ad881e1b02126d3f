// Byte-level helpers for Shift-JIS (CP932) texts: lead bytes, trimming, searching and
// replacing that never start a match on the second byte of a double-byte character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/base/Cp932.h"

namespace wvr::sjis {

// First byte of a double-byte CP932 character.
using cp932::IsLeadByte;
using cp932::IsTrailByte;
// Bytes of the character at text[i]: every walk over a text steps by this.
using cp932::CharWidth;

// The text without a lead byte left over at its end (a text cut mid-character), so that
// whatever is joined after it is read back as itself.
std::string_view WithoutLoneLeadByte(std::string_view text);

// The longest start of the text made of whole characters and at most `limit` bytes long.
std::string_view WholeCharsWithin(std::string_view text, size_t limit);

// Removes leading and trailing characters with a code of 32 or less.
std::string Trim(std::string_view text);
void TrimInPlace(std::string& text);

// Position of `needle` in `text` from `from`, matching only at character starts.
size_t Find(std::string_view text, std::string_view needle, size_t from = 0);

// Replaces every occurrence, left to right without overlap, character by character.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// The same, or nothing when the result would be longer than `maxBytes`.
std::optional<std::string> ReplaceAllWithin(std::string_view text, std::string_view from, std::string_view to,
                                            size_t maxBytes);

// Position of the last occurrence of byte `c` at a character start, or npos.
size_t FindLastChar(std::string_view text, char c);

}  // namespace wvr::sjis
