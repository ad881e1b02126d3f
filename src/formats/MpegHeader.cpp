#include "formats/MpegHeader.h"

#include <cstdio>

#include "formats/TrackInfo.h"

namespace wvr {
namespace {

enum Layer { kLayer1, kLayer2, kLayer3 };

// Bit rates in kbit/s by index 1..14 (ISO/IEC 11172-3 and 13818-3).
constexpr int kMpeg1Layer1[14] = {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448};
constexpr int kMpeg1Layer2[14] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int kMpeg1Layer3[14] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kMpeg2Layer1[14] = {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256};
constexpr int kMpeg2Layer23[14] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

Layer LayerOf(uint8_t b1) {
    if (!(b1 & 0x04)) return kLayer3;  // the reserved code 00 counts as Layer III
    return (b1 & 0x02) ? kLayer1 : kLayer2;
}

const int* BitRateTable(bool mpeg1, Layer layer) {
    if (mpeg1) return layer == kLayer1 ? kMpeg1Layer1 : layer == kLayer2 ? kMpeg1Layer2 : kMpeg1Layer3;
    return layer == kLayer1 ? kMpeg2Layer1 : kMpeg2Layer23;
}

const char* SamplingRateText(bool mpeg1, uint8_t b2) {
    if (b2 & 0x08) return mpeg1 ? "   32" : "   16";
    if (b2 & 0x04) return mpeg1 ? "   48" : "   24";
    return mpeg1 ? " 44.1" : "22.05";
}

const char* KindLabel(int kind, Layer layer) {
    switch (kind) {
    case static_cast<int>(FileKind::Mpeg): return layer == kLayer3 ? "MP3 " : layer == kLayer2 ? "MP2 " : "MP1 ";
    case static_cast<int>(FileKind::RiffWave): return "WAV ";
    case static_cast<int>(FileKind::RiffRmp3): return "RMP ";
    default: return "??? ";
    }
}

}  // namespace

AudioInfo FormatAudioInfo(HeaderBytes header, long long audioSize, int kind) {
    const bool mpeg1 = header.b1 & 0x08;
    const Layer layer = LayerOf(header.b1);
    const int index = header.b2 >> 4;
    if (index < 1 || index > 14) return {};  // free format or invalid: no bit rate, no play time

    const int kbit = BitRateTable(mpeg1, layer)[index - 1];
    const long long bytesPerSecond = kbit * 1000 / 8;
    const long long seconds = audioSize / bytesPerSecond;

    char text[64];
    if (header.b0 != 0) {
        std::snprintf(text, sizeof text, "%3dkbit %sKHz %03lldsec ", kbit, SamplingRateText(mpeg1, header.b2),
                      seconds);
    } else {
        std::snprintf(text, sizeof text, "  VBR  %sKHz %03lldsec ", SamplingRateText(mpeg1, header.b2), seconds);
    }
    return {std::string(KindLabel(kind, layer)) + text, seconds};
}

}  // namespace wvr
