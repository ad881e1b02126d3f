// SoundVQ files: "TWIN97012000", a 32-bit big-endian header size, header chunks (the first is
// "COMM"), "DATA" and the compressed audio. Tags are text chunks of the header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "formats/Genres.h"
#include "formats/MpegHeader.h"
#include "formats/TrackInfo.h"

namespace wvr {

class Prompter;

namespace fs {
class File;
}

// Offsets and widths of the file layout; all numbers are 32-bit big-endian.
namespace soundvq {
inline constexpr char kMagic[] = "TWIN97012000";
inline constexpr uint64_t kMagicSize = 12;
inline constexpr uint64_t kHeaderSizeOffset = 12;  // counts the bytes from kChunksOffset up to "DATA"
inline constexpr uint64_t kChunksOffset = 16;      // where "COMM" stands
inline constexpr uint64_t kCommSizeOffset = 20;
inline constexpr uint64_t kCommDataOffset = 24;
// The loader takes the property bytes (channel mode, kbit/s, kHz) at these offsets, whatever
// chunk they fall in; a rewrite must leave them as they are.
inline constexpr uint64_t kPropertyByteOffsets[3] = {27, 31, 35};
inline constexpr uint64_t kPropertyBytesEnd = 36;
inline constexpr uint64_t kChunkHeaderSize = 8;  // id + size; no pad bytes
inline constexpr uint64_t kIdSize = 4;
inline constexpr uint64_t kDsizSize = 4;
// The writer wants this much free space beyond the file's own size.
inline constexpr uint64_t kFreeSpaceMargin = 100000;
// A text is read whole up to this many bytes, which no tag text reaches but a hostile size may.
inline constexpr uint64_t kMaxTextBytes = 1 << 20;
}  // namespace soundvq

// Whether the file is a SoundVQ file: "N97012000" at offset 3 and "COMM" at 16; `header`
// gets its property bytes.
bool DetectSoundVq(fs::File& file, HeaderBytes& header);

// Reads the header chunks into fields 0, 1, 3, 6, 16; returns the DSIZ value when the header has one.
std::optional<long long> ReadSoundVqTags(fs::File& file, std::array<std::string, kFieldCount>& fields);

// "SoundVQ %dkbit %dKHz %03dsec " and the play time. b1 = kbit/s, b2 = kHz; b0 unused.
AudioInfo SoundVqInfoText(HeaderBytes propertyBytes, long long audioSize);

// Rewrites the header's tag chunks from the row; keeps "COMM", every other header chunk, all
// audio and the last-write time. A trailing ID3v1 block is written afresh from the row.
bool WriteSoundVqTags(const TrackInfo& row, const GenreTable& genres, Prompter& prompter);

}  // namespace wvr
