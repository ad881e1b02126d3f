// Music files made byte by byte: the audio of a real corpus MP3 with an ID3v1 block of the
// test's choosing, so that every tag byte (blanks, control bytes, genre numbers) is known.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

#include "support/TestSupport.h"

namespace wvr::test {

// The ID3v1 texts as stored: CP932 bytes, cut to their widths and padded with zero bytes.
struct Id3v1Texts {
    std::string title, artist, album, year, comment;
    uint8_t genre = 250;
};

inline std::string Id3v1Block(const Id3v1Texts& t) {
    std::string block(128, '\0');
    auto put = [&](size_t offset, size_t width, const std::string& text) {
        block.replace(offset, std::min(width, text.size()), text.substr(0, width));
    };
    put(0, 3, "TAG");
    put(3, 30, t.title);
    put(33, 30, t.artist);
    put(63, 30, t.album);
    put(93, 4, t.year);
    put(97, 30, t.comment);
    block[127] = static_cast<char>(t.genre);
    return block;
}

// MPEG-2 Layer III, 16 kbit/s, 16 kHz: 4176 bytes of real lame output without its tag.
inline std::string CorpusAudio() {
    std::string bytes = ReadFile(CorpusPath("mpeg/mpeg2_16k_16khz_v1latin.mp3"));
    bytes.resize(bytes.size() - 128);
    return bytes;
}

// Writes an MP3 file with that audio and tag; returns its path.
inline std::string WriteTaggedMp3(const std::string& path, const Id3v1Texts& tag) {
    WriteFile(path, CorpusAudio() + Id3v1Block(tag));
    return path;
}

}  // namespace wvr::test
