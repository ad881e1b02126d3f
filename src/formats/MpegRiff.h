// MPEG audio in RIFF files and as the conversion moves it between forms: whether a file is a
// RIFF RMP3 or WAVE file of MPEG data, where a file's MPEG data lies (plain file without its
// ID3v1 block, or the "data" chunk of a RIFF WAVE or RMP3 form), and the "fmt " chunk that
// describes an MPEG stream inside a WAVE file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "formats/MpegHeader.h"
#include "formats/RiffChunks.h"
#include "formats/TrackInfo.h"

namespace wvr {

// The kind of a file that begins with "R": RIFF RMP3 with its first frame header at offset 20,
// RIFF WAVE whose chunks, walked from the first size field, reach a "data" chunk that begins
// with one; else unsupported. `header` gets the header bytes.
FileKind DetectMpegRiff(fs::File& file, HeaderBytes& header);

struct DataRange {
    uint64_t offset = 0;
    uint64_t size = 0;
};

// The MPEG data of a file of kind 1 (everything but a trailing block that begins with "TAG"),
// 4 (the same from the first frame after the leading ID3v2 tag),
// 2 or 3 (the "data" chunk of the RIFF "WAVE" / "RMP3" form). Nothing when there is none,
// when it is empty, or when the file holds fewer bytes than the chunk says.
std::optional<DataRange> MpegDataRange(riff::ByteSource& source, FileKind kind);

inline constexpr uint32_t kWaveFormatSize = 30;

// Whether a stream may go into a WAVE file without the "any stream" option: its first frame
// is MPEG-1 layer III at 128 kbit/s and 44100 Hz.
bool IsWaveStandardStream(const uint8_t header[4]);

// The 30 bytes of the "fmt " chunk (format 0x0055) for a stream whose first frame header is
// `header`: channels, sampling rate and bytes per second from the frame, the rest fixed.
std::string WaveFormatData(const uint8_t header[4]);

}  // namespace wvr
