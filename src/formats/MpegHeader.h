// The property text and play time of MPEG audio rows, from the first three bytes of the
// first frame and the row's audio size. A first byte of 0 marks a variable-bit-rate file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/base/FileOps.h"

namespace wvr {

struct HeaderBytes {
    uint8_t b0 = 0, b1 = 0, b2 = 0;
};

struct AudioInfo {
    std::string infoText;  // empty when the header gives no bit rate
    long long seconds = 0;
};

// A header is accepted when B0 is 0xFF and B1 is above 0xF0.
inline bool IsMpegSync(uint8_t b0, uint8_t b1) { return b0 == 0xFF && b1 > 0xF0; }

// The three header bytes at `offset` of `file`; whether they are an accepted header.
bool ReadMpegHeaderAt(fs::File& file, uint64_t offset, HeaderBytes& header);

// The bit rate in kbit/s of a frame header (version and layer from B1, index from B2); 0 for
// the free-format and forbidden indexes 0 and 15.
int BitRateKbit(uint8_t b1, uint8_t b2);

AudioInfo FormatAudioInfo(HeaderBytes header, long long audioSize, int kind);

struct StreamCount;

// The same from the frame count of a Xing, Info or VBRI header: the true play time, and for a
// variable bit rate its average ("MP3 VBR 187kbit  44.1KHz 061sec ").
AudioInfo FormatCountedAudioInfo(HeaderBytes header, const StreamCount& count, long long audioSize, int kind);

}  // namespace wvr
