// MPEG files wrapped in a MacBinary header: the 128-byte header, with zero bytes at offsets 74
// and 82, before the data fork that holds the audio.
#pragma once

#include "formats/MpegHeader.h"
#include "platform/base/FileOps.h"

namespace wvr {

inline constexpr uint64_t kMacBinaryHeaderBytes = 128;

// Whether the file is MPEG audio in a MacBinary wrapper; `header` gets its first frame's bytes.
bool DetectMacBinaryMpeg(fs::File& file, HeaderBytes& header);

}  // namespace wvr
