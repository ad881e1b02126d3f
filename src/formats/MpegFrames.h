// MPEG audio frames found by searching: where the audio of a file behind an ID3v2 tag begins,
// and what a Xing, Info or VBRI header in its first frame says of the whole stream.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace wvr {

struct MpegFrame {
    bool mpeg1 = false;
    int layer = 3;           // 1, 2 or 3
    int bitRateKbit = 0;     // 0: free format
    int sampleRate = 0;      // Hz
    bool mono = false;
    uint32_t length = 0;     // bytes, header included; 0 for free format
    uint32_t samples = 0;    // per frame
};

// The frame whose header the four bytes at `p` are; nothing for a reserved version, layer,
// bit-rate or sampling code.
std::optional<MpegFrame> ParseMpegFrame(const uint8_t* p);

// Where the first frame header in `bytes` lies: a valid header, followed by another where its
// length says when `bytes` reaches that far.
std::optional<size_t> FindFirstFrame(std::string_view bytes);

// The frame count (and byte count, 0 when not given) of a Xing / Info or VBRI header in the
// frame that `frame` (the frame's bytes from its header on) holds.
struct StreamCount {
    uint32_t frames = 0;
    uint32_t bytes = 0;
    bool variable = false;  // "Xing" or VBRI; "Info" marks a constant bit rate
};
std::optional<StreamCount> ReadStreamCount(std::string_view frame, const MpegFrame& header);

}  // namespace wvr
