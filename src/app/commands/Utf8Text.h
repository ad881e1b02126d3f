// Text files that other programs keep in UTF-8 (a spreadsheet's CSV, an editor's track list),
// turned into the CP932 bytes the program works in, and CP932 lines written out as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace wvr {

class Prompter;

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool StartsWithUtf8ByteOrderMark(std::string_view bytes);

// Valid UTF-8 that holds a byte above 7F: CP932 text almost never is, since its lead bytes
// would have to be followed by exactly the right number of bytes 80..BF every time.
bool LooksLikeUtf8(std::string_view bytes);

struct Utf8Reading {
    std::string cp932;  // without the byte-order mark
    size_t lacking = 0; // characters CP932 has no code for, each written as "?"
};

// UTF-8 text (with or without its byte-order mark) as CP932.
Utf8Reading Utf8AsCp932(std::string_view bytes);

// The text of a UTF-8 file (a row path) as CP932; when some characters became "?", says so
// once for the file.
std::string Utf8FileAsCp932(const std::string& rowPath, std::string_view bytes, Prompter& prompter);

}  // namespace wvr
