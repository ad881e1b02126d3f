// Reading the six basic texts of a file's leading ID3v2.2 / 2.3 tag through id3lib. The tag's
// bytes are cleaned first (Id3v2Sanitizer) so that id3lib only ever parses what it can take.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "formats/TrackInfo.h"
#include "platform/base/FileOps.h"

class ID3_Reader;

namespace wvr {

class Prompter;

// Reads title, artist, album, comment, year and content type of the file's leading ID3v2 tag
// into fields[0..5] (CP932 bytes, untrimmed); fields 6..16 are left alone. An error of the
// ID3 library is shown as its own text in a plain box (prompter.Plain) and ends the reading;
// fields copied before it keep their texts. Of a tag that runs past the end of the file the
// frames wholly present are read; of a tag larger than id3v2::kMaxTagBytes the frames within that.
void ReadId3v2(fs::File& file, std::array<std::string, kFieldCount>& fields, Prompter& prompter);

// The same from the first bytes of a file (the whole file, or at least the whole tag).
void ReadId3v2Tag(std::string_view fileStart, std::array<std::string, kFieldCount>& fields, Prompter& prompter);

// The id3lib half: parses a tag that has already been cleaned from `reader` and copies the
// frames' texts. Tests hand it a reader that fails.
void ReadId3LibTexts(ID3_Reader& reader, std::array<std::string, kFieldCount>& fields, Prompter& prompter);

}  // namespace wvr
