// Conversions between the Shift-JIS (CP932) bytes the program keeps and the Unicode
// forms the screen (UTF-16 via Qt) and the file system (UTF-8) see.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wvr::cp932 {

// How bytes that are not valid CP932 come out in UTF-8.
enum class InvalidBytes {
    Replace,  // U+FFFD
    Escape,   // the four characters \xNN, as the command-line output writes them
};

// CP932 -> UTF-8. Never fails: invalid bytes are handled as requested.
std::string ToUtf8(std::string_view cp932, InvalidBytes invalid = InvalidBytes::Replace);

// CP932 -> UTF-8, or nothing when any byte is not valid CP932 (file names must round-trip).
std::optional<std::string> ToUtf8Exact(std::string_view cp932);

// UTF-8 -> CP932; a character CP932 lacks becomes "?", as on a code-page program.
std::string FromUtf8(std::string_view utf8);

// UTF-8 -> CP932, or nothing when a character cannot be represented.
std::optional<std::string> FromUtf8Exact(std::string_view utf8);

// A CP932 text for a UTF-8 literal of the program's own (captions, fixed texts).
inline std::string Text(std::string_view utf8) { return FromUtf8(utf8); }

}  // namespace wvr::cp932
