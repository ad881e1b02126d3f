// The strings of ID3v2 frames: the four encodings a frame's first byte names, read into
// UTF-8 (Latin-1 bytes are kept as they are: whether they are Latin-1 or Shift-JIS is decided
// for the whole tag), and the frames the program writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wvr::id3v2 {

enum Encoding : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf16BigEndian = 2, kUtf8 = 3 };

// The strings of a frame's data after its encoding byte, each ended by a NUL character or the
// end: UTF-16 and UTF-8 read as UTF-8 (a malformed unit as U+FFFD), Latin-1 kept raw. A UTF-16
// string takes the byte order its mark names, else the one the previous string took, else
// little-endian.
class StringReader {
public:
    StringReader(std::string_view bytes, Encoding encoding);
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // The next string appended to `out`.
    void AppendNext(std::string& out);
    // The next string, or an empty one at the end.
    std::string Next();
    // The bytes after the strings taken so far.
    std::string_view Rest() const { return AtEnd() ? std::string_view() : bytes_.substr(pos_); }

private:
    std::string_view bytes_;
    Encoding encoding_;
    size_t pos_ = 0;
    bool bigEndian_;
};

// The strings of `bytes` up to `count` of them.
std::vector<std::string> DecodeStrings(std::string_view bytes, Encoding encoding, size_t count = SIZE_MAX);

// ISO-8859-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// The encoding a new frame's text takes: plain ASCII as Latin-1, else UTF-16 with a byte order
// mark (2.2 and 2.3) or UTF-8 (2.4).
Encoding EncodingFor(std::string_view utf8, int major);

// A UTF-8 text in `encoding`, with its terminator when `terminated`.
std::string EncodeString(std::string_view utf8, Encoding encoding, bool terminated);

}  // namespace wvr::id3v2
