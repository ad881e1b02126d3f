// Recognising a file's kind from its first bytes, and taking MPEG files out of a MacBinary
// wrapper on the way in.
#pragma once

#include <string>

#include "formats/MpegHeader.h"
#include "formats/TrackInfo.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "platform/base/FileOps.h"

namespace wvr {

class Prompter;

struct Detection {
    FileKind kind = FileKind::Unsupported;
    HeaderBytes header;  // first three bytes of the audio data (SoundVQ: its property bytes)
    fs::File file;       // still open for reading when a kind was found
    TagReader reader = TagReader::Kind;  // how the row's texts are read
    std::optional<id3v2::TaggedMpeg> tagged;  // the ID3v2 reader's tag and audio
    std::optional<StreamCount> count;         // the ID3v2 reader's: a plain file's Xing / VBRI count
};

// `opened`, when open, is the file at rowPath already opened for reading (by FilePrefetch).
// With the ID3v2 reader, files that begin with an ID3v2.2, 2.3 or 2.4 tag are kind 4, and their
// header bytes are those of the first MPEG frame after the tag.
// The file's first bytes are read at once, `headBytes` of them or the least the kinds need;
// a tagged file whose tag and first frame lie within them needs no second read.
inline constexpr size_t kLeastHeadBytes = 32;
inline constexpr size_t kId3v2ReaderHeadBytes = 512;
Detection DetectKind(const std::string& rowPath, Prompter& prompter, fs::File opened = {},
                     TagReader reader = TagReader::Kind, size_t headBytes = 0);

// The first read that would have taken `d`'s tag whole with the frame after it: a folder's
// files are mostly tagged alike, so the next file is read so.
size_t HeadBytesAfter(const Detection& d);

// Rewrites the file with the data fork of its MacBinary header; false after showing why not.
bool RemoveMacBinary(const std::string& nativePath, Prompter& prompter);

}  // namespace wvr
