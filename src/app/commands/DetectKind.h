// Recognising a file's kind from its first bytes, and taking MPEG files out of a MacBinary
// wrapper on the way in.
#pragma once

#include <string>

#include "formats/MpegHeader.h"
#include "formats/TrackInfo.h"
#include "platform/base/FileOps.h"

namespace wvr {

class Prompter;

struct Detection {
    FileKind kind = FileKind::Unsupported;
    HeaderBytes header;  // first three bytes of the audio data (SoundVQ: its property bytes)
    fs::File file;       // still open for reading when a kind was found
};

// `opened`, when open, is the file at rowPath already opened for reading (by FilePrefetch).
Detection DetectKind(const std::string& rowPath, Prompter& prompter, fs::File opened = {});

// Rewrites the file with the data fork of its MacBinary header; false after showing why not.
bool RemoveMacBinary(const std::string& nativePath, Prompter& prompter);

}  // namespace wvr
