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
    bool readId3v2 = false;  // an ID3v2 row whose tag is read and written (the setting is on)
    uint64_t tagEnd = 0;     // then: where its tag ends, padding included
    bool audioFound = false; // then: whether an MPEG frame follows the tag
    // Then: the tag's bytes its texts are read from (id3v2::ReadFieldBytes), after a small tag
    // the first bytes that follow it.
    std::string head;
};

// `opened`, when open, is the file at rowPath already opened for reading (by FilePrefetch).
// With `readId3v2`, files that begin with an ID3v2.2, 2.3 or 2.4 tag are kind 4, and their header
// bytes are those of the first MPEG frame after the tag.
Detection DetectKind(const std::string& rowPath, Prompter& prompter, fs::File opened = {}, bool readId3v2 = false);

// Rewrites the file with the data fork of its MacBinary header; false after showing why not.
bool RemoveMacBinary(const std::string& nativePath, Prompter& prompter);

}  // namespace wvr
