// Field macros: "%1", "%2", "%e" and the rest turned into text from a row, with the
// character translations that make the result fit for a file name.
#pragma once

#include <string>
#include <string_view>

#include "formats/TrackInfo.h"

namespace wvr {

struct MacroOptions {
    bool UnderscoreSpaces = false;  // " " becomes "_"
    bool SafeChars = false;         // the characters of the safe-character table become full-width
    bool RmpAsMp3 = false;          // "%e" gives ".mp3" for RMP3 rows
    bool HalfWidth = false;         // full-width letters, digits and symbols become ASCII first
};

// Codes are replaced one after another, each over the result of the one before, so texts that
// hold codes themselves are expanded again: a tag such as "%2%2%2..." in each field would make
// the text grow by a factor with every code. Expansion stops before the text passes this size,
// and the codes not yet replaced stay as they are.
inline constexpr size_t kMaxExpandedBytes = size_t{16} << 20;

// Expands the name-building codes of `pattern` for `row`; `number` is the caller's running
// number for "%n" (at least two digits). Never fails; the result may be empty.
std::string ExpandFieldMacros(std::string_view pattern, long long number, const TrackInfo& row,
                              MacroOptions options);

// Full-width letters, digits and the common full-width symbols to ASCII, in one walk over
// the bytes. The result is never longer than the input and ends at its first zero byte.
std::string FullToHalfWidth(std::string_view text);

// Replaces the characters that cannot stand in a file name ("/", "\", "?", ":", ";", ",", "*",
// the double quote, "<", ">", "|") by their full-width forms, character by character.
std::string ApplySafeCharTable(std::string_view text);

// "mm:ss" below an hour, else "hh:mm:ss" with as many hour digits as needed.
std::string FormatPlayTime(long long seconds);

// The extension that fits a file kind: ".mp3", ".wav", ".rmp", ".vqf", or empty.
std::string KindExtension(int kind, bool rmpAsMp3);

}  // namespace wvr
