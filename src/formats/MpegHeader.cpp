#include "formats/MpegHeader.h"

#include <string>

#include "formats/MpegFrames.h"
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

// A decimal as printf's "%<width>d" (pad ' ') or "%0<width>d" (pad '0') writes it; the texts
// are built for every file listed, so without the formatting machinery.
void AppendNumber(std::string& out, long long value, size_t width, char pad) {
    char digits[24];
    size_t n = 0;
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    const size_t length = n + (value < 0);
    const size_t fill = width > length ? width - length : 0;
    if (pad == ' ') out.append(fill, ' ');
    if (value < 0) out += '-';
    if (pad == '0') out.append(fill, '0');
    while (n) out += digits[--n];
}

}  // namespace

bool ReadMpegHeaderAt(fs::File& file, uint64_t offset, HeaderBytes& header) {
    uint8_t b[3];
    if (!file.ReadExact(offset, b, sizeof b)) return false;
    header = {b[0], b[1], b[2]};
    return IsMpegSync(b[0], b[1]);
}

int BitRateKbit(uint8_t b1, uint8_t b2) {
    const int index = b2 >> 4;
    if (index < 1 || index > 14) return 0;
    return BitRateTable(b1 & 0x08, LayerOf(b1))[index - 1];
}

AudioInfo FormatAudioInfo(HeaderBytes header, long long audioSize, int kind) {
    const bool mpeg1 = header.b1 & 0x08;
    const Layer layer = LayerOf(header.b1);
    const int kbit = BitRateKbit(header.b1, header.b2);
    if (kbit == 0) return {};  // free format or invalid: no bit rate, no play time

    const long long bytesPerSecond = kbit * 1000 / 8;
    const long long seconds = audioSize / bytesPerSecond;

    // "%skbit %sKHz %03dsec ", or "  VBR  %sKHz %03dsec " for a variable bit rate.
    std::string text = KindLabel(kind, layer);
    text.reserve(32);
    if (header.b0 != 0) {
        AppendNumber(text, kbit, 3, ' ');
        text += "kbit ";
    } else {
        text += "  VBR  ";
    }
    text += SamplingRateText(mpeg1, header.b2);
    text += "KHz ";
    AppendNumber(text, seconds, 3, '0');
    text += "sec ";
    return {std::move(text), seconds};
}

AudioInfo FormatCountedAudioInfo(HeaderBytes header, const StreamCount& count, long long audioSize, int kind) {
    const uint8_t bytes[4] = {0xFF, header.b1, header.b2, 0};
    const auto frame = ParseMpegFrame(bytes);
    if (!frame) return FormatAudioInfo(header, audioSize, kind);
    const long long samples = static_cast<long long>(count.frames) * frame->samples;
    const long long seconds = samples / frame->sampleRate;
    if (seconds == 0) return FormatAudioInfo(header, audioSize, kind);
    const long long streamBytes = count.bytes ? count.bytes : audioSize;
    std::string text = KindLabel(kind, LayerOf(header.b1));
    if (count.variable) {
        text += "VBR ";
        AppendNumber(text, streamBytes * 8 * frame->sampleRate / samples / 1000, 3, ' ');
    } else {
        AppendNumber(text, BitRateKbit(header.b1, header.b2), 3, ' ');
    }
    text += "kbit ";
    text += SamplingRateText(header.b1 & 0x08, header.b2);
    text += "KHz ";
    AppendNumber(text, seconds, 3, '0');
    text += "sec ";
    return {std::move(text), seconds};
}

}  // namespace wvr
