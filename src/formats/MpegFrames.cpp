#include "formats/MpegFrames.h"

#include "formats/MpegHeader.h"

namespace wvr {
namespace {

uint32_t BigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

}  // namespace

std::optional<MpegFrame> ParseMpegFrame(const uint8_t* p) {
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return std::nullopt;
    const int version = p[1] >> 3 & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layerBits = p[1] >> 1 & 3;
    const int bitRateIndex = p[2] >> 4;
    const int rateIndex = p[2] >> 2 & 3;
    if (version == 1 || layerBits == 0 || bitRateIndex == 15 || rateIndex == 3) return std::nullopt;
    static constexpr int kRates[3] = {44100, 48000, 32000};
    MpegFrame frame;
    frame.mpeg1 = version == 3;
    frame.layer = 4 - layerBits;
    frame.sampleRate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    frame.mono = (p[3] >> 6) == 3;
    // Version 2 and 2.5 streams share their bit-rate tables, which bit 3 of B1 chooses.
    frame.bitRateKbit = bitRateIndex == 0 ? 0 : BitRateKbit(p[1], p[2]);
    const int padding = p[2] >> 1 & 1;
    frame.samples = frame.layer == 1 ? 384 : frame.layer == 2 || frame.mpeg1 ? 1152 : 576;
    if (frame.bitRateKbit > 0) {
        const uint32_t bits = static_cast<uint32_t>(frame.bitRateKbit) * 1000;
        frame.length = frame.layer == 1 ? (12 * bits / frame.sampleRate + padding) * 4
                                        : frame.samples / 8 * bits / frame.sampleRate + padding;
    }
    return frame;
}

std::optional<size_t> FindFirstFrame(std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    for (size_t i = 0; i + 4 <= bytes.size(); ++i) {
        if (p[i] != 0xFF) continue;
        const auto frame = ParseMpegFrame(p + i);
        if (!frame) continue;
        // A second frame, where the first one's length says it begins, confirms the first.
        const size_t next = i + frame->length;
        if (frame->length > 0 && next + 4 <= bytes.size()) {
            const auto second = ParseMpegFrame(p + next);
            if (!second || second->mpeg1 != frame->mpeg1 || second->layer != frame->layer ||
                second->sampleRate != frame->sampleRate)
                continue;
        }
        return i;
    }
    return std::nullopt;
}

std::optional<StreamCount> ReadStreamCount(std::string_view frame, const MpegFrame& header) {
    const auto* p = reinterpret_cast<const uint8_t*>(frame.data());
    // The Xing header follows the side information, whose size depends on version and channels.
    const size_t side = header.mpeg1 ? (header.mono ? 17 : 32) : (header.mono ? 9 : 17);
    const size_t xing = 4 + side;
    if (frame.size() >= xing + 8 && (frame.substr(xing, 4) == "Xing" || frame.substr(xing, 4) == "Info")) {
        const uint32_t flags = BigEndian32(p + xing + 4);
        if (!(flags & 1) || frame.size() < xing + 12) return std::nullopt;
        StreamCount count;
        count.variable = frame.substr(xing, 4) == "Xing";
        count.frames = BigEndian32(p + xing + 8);
        if ((flags & 2) && frame.size() >= xing + 16) count.bytes = BigEndian32(p + xing + 12);
        return count.frames ? std::optional(count) : std::nullopt;
    }
    constexpr size_t vbri = 4 + 32;
    if (frame.size() >= vbri + 18 && frame.substr(vbri, 4) == "VBRI") {
        StreamCount count;
        count.variable = true;
        count.bytes = BigEndian32(p + vbri + 10);
        count.frames = BigEndian32(p + vbri + 14);
        return count.frames ? std::optional(count) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace wvr
