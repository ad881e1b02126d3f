// Conversions between the Shift-JIS (CP932) bytes the program keeps and the Unicode
// forms the screen (UTF-16 via Qt) and the file system (UTF-8) see.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wvr::cp932 {

// First byte of a double-byte CP932 character.
inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// Second byte of a double-byte CP932 character.
inline bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Bytes of the character that starts at text[i]. A lead byte pairs only with a valid trail
// byte: texts are often cut mid-character, and a lone lead byte must not swallow the quote,
// comma, "%" or line end written after it when such a text is joined to another one.
inline size_t CharWidth(std::string_view text, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   IsTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// How bytes that are not valid CP932 come out in UTF-8.
enum class InvalidBytes {
    Replace,  // U+FFFD
    Escape,   // the four characters \xNN, as the command-line output writes them
};

// CP932 -> UTF-8. Never fails: invalid bytes are handled as requested.
std::string ToUtf8(std::string_view cp932, InvalidBytes invalid = InvalidBytes::Replace);

// CP932 -> UTF-8, or nothing when any byte is not valid CP932 (file names must round-trip).
std::optional<std::string> ToUtf8Exact(std::string_view cp932);
// The same, appended to `out`; false (and `out` as it was) when a byte is not valid CP932.
bool AppendUtf8Exact(std::string_view cp932, std::string& out);

// CP932 -> UTF-8 in the escaped form of line-oriented output, appended to `out`: "\" as
// "\\", tab as "\t", CR as "\r", LF as "\n", and a byte CP932 cannot decode as "\xNN".
void AppendEscapedUtf8(std::string_view cp932, std::string& out);
// The same written at `out`, which has room for kMostUtf8PerByte bytes for each byte of
// `cp932`; returns the end.
inline constexpr size_t kMostUtf8PerByte = 4;
char* WriteEscapedUtf8(std::string_view cp932, char* out);

// UTF-8 -> CP932 for typed and stored texts: a character CP932 lacks takes its near form
// where the code page has one (WAVE DASH as its tilde), else becomes "?", counted in
// `lacking` when given.
std::string FromUtf8(std::string_view utf8, size_t* lacking = nullptr);

// UTF-8 -> CP932 that decodes back to the same text (file names), or nothing.
std::optional<std::string> FromUtf8Exact(std::string_view utf8);

// A CP932 text for a UTF-8 literal of the program's own (captions, fixed texts).
inline std::string Text(std::string_view utf8) { return FromUtf8(utf8); }

}  // namespace wvr::cp932
