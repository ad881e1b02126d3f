#include "formats/MpegRiff.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "formats/Id3v1.h"
#include "formats/MpegFrames.h"
#include "formats/id3v2/TagHeader.h"
#include "formats/MpegHeader.h"

namespace wvr {
namespace {

std::string Le16(uint16_t value) {
    const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
    return std::string(bytes, 2);
}

uint32_t SamplingRateHz(uint8_t b1, uint8_t b2) {
    const bool mpeg1 = b1 & 0x08;
    // Bit 3 is looked at first, as the property text does, so the reserved code reads as 32 / 16.
    if (b2 & 0x08) return mpeg1 ? 32000 : 16000;
    if (b2 & 0x04) return mpeg1 ? 48000 : 24000;
    return mpeg1 ? 44100 : 22050;
}

}  // namespace

FileKind DetectMpegRiff(fs::File& file, HeaderBytes& header) {
    char form[4];
    if (!file.ReadExact(8, form, 4)) return FileKind::Unsupported;
    if (std::memcmp(form, "RMP3", 4) == 0)
        return ReadMpegHeaderAt(file, 20, header) ? FileKind::RiffRmp3 : FileKind::Unsupported;
    if (std::memcmp(form, "WAVE", 4) != 0) return FileKind::Unsupported;
    // Walk the chunks from the first size field until the "data" chunk.
    uint64_t pos = 16;
    for (;;) {
        uint8_t size[4];
        char id[4];
        if (!file.ReadExact(pos, size, 4)) return FileKind::Unsupported;
        pos += 4 + static_cast<uint64_t>(riff::ReadLe32(size));
        if (!file.ReadExact(pos, id, 4)) return FileKind::Unsupported;
        pos += 4;
        if (std::memcmp(id, "data", 4) == 0)
            return ReadMpegHeaderAt(file, pos + 4, header) ? FileKind::RiffWave : FileKind::Unsupported;
    }
}

std::optional<DataRange> MpegDataRange(riff::ByteSource& source, FileKind kind) {
    if (kind == FileKind::Mpeg || kind == FileKind::Id3v2Mpeg) {
        uint64_t size = source.Size();
        uint8_t marker[3];
        if (size >= kId3v1Size && source.Read(size - kId3v1Size, marker, sizeof marker) &&
            std::memcmp(marker, "TAG", 3) == 0)
            size -= kId3v1Size;
        uint64_t start = 0;
        if (kind == FileKind::Id3v2Mpeg) {
            // The audio begins with the first frame after the tag.
            char head[id3v2::kHeaderBytes];
            if (!source.Read(0, head, sizeof head)) return std::nullopt;
            auto header = id3v2::ParseTagHeader({head, sizeof head});
            if (!header) return std::nullopt;
            char footer[id3v2::kHeaderBytes];
            header->footer = source.Read(id3v2::kHeaderBytes + header->bodySize, footer, sizeof footer) &&
                             id3v2::HasFooterAt(*header, {footer, sizeof footer});
            const uint64_t tagEnd = header->TagSize();
            if (tagEnd >= size) return std::nullopt;
            std::string window(static_cast<size_t>(std::min<uint64_t>(size - tagEnd, 65536)), '\0');
            if (!source.Read(tagEnd, window.data(), window.size())) return std::nullopt;
            auto first = FindFirstFrame(window);
            if (!first) return std::nullopt;
            start = tagEnd + *first;
        }
        if (size <= start) return std::nullopt;
        return DataRange{start, size - start};
    }
    const riff::FourCC form = kind == FileKind::RiffWave ? riff::FourCC("WAVE") : riff::FourCC("RMP3");
    if (kind != FileKind::RiffWave && kind != FileKind::RiffRmp3) return std::nullopt;
    riff::ChunkReader reader(source);
    auto riffForm = reader.Descend(nullptr, riff::Search::Form(form));
    if (!riffForm) return std::nullopt;
    auto data = reader.Descend(&*riffForm, riff::Search::Id(riff::FourCC("data")));
    // A chunk cut short by the end of the file cannot be carried over whole.
    if (!data || data->size == 0 || data->size != data->storedSize) return std::nullopt;
    return DataRange{data->DataOffset(), data->size};
}

bool IsWaveStandardStream(const uint8_t header[4]) {
    return header[0] == 0xFF && (header[1] & 0xFE) == 0xFA && header[2] >= 0x90 && header[2] <= 0x93;
}

std::string WaveFormatData(const uint8_t header[4]) {
    const uint16_t channels = (header[3] >> 6) == 3 ? 1 : 2;
    const uint32_t bytesPerSecond = static_cast<uint32_t>(BitRateKbit(header[1], header[2])) * 1000 / 8;
    std::string data;
    data += Le16(0x0055);  // MPEG layer 3
    data += Le16(channels);
    data += riff::Le32(SamplingRateHz(header[1], header[2]));
    data += riff::Le32(bytesPerSecond);
    data += Le16(1);     // block align
    data += Le16(0);     // bits per sample
    data += Le16(12);    // extra size
    data += Le16(1);     // id
    data += riff::Le32(2);  // flags
    data += Le16(417);   // block size
    data += Le16(1);     // frames per block
    data += Le16(1393);  // codec delay
    return data;
}

}  // namespace wvr
