// Writing a row into the ID3v2 tag at the start of its file (kind 4), and giving a plain MPEG
// file (kind 1) a new ID3v2 tag. The tag is rewritten in its padding when it fits, in one write
// that is undone when it fails; otherwise the file is rebuilt beside itself and put in its
// place (ReplacementFile), so that a failing step or a kill leaves the file as before or as after.
#pragma once

#include <bitset>
#include <string>

#include "formats/Genres.h"
#include "formats/Id3v1.h"
#include "formats/TrackInfo.h"

namespace wvr {

class Prompter;

enum class Id3v2WriteMode {
    ChangedFields,  // the fields whose text differs from the text read
    Unicode,        // also the fields read from Latin-1 frames holding Shift-JIS
};

// Writes the row's changed fields into the file's tag; every other frame keeps its bytes; an
// ID3v1 block at the end is replaced by `block`. A changed field whose frame held characters
// CP932 lacks is written only after the user agrees. Returns whether the row counts as written.
bool WriteId3v2Tag(const TrackInfo& row, const Id3v1Tag& block, const GenreTable& genres, Id3v2WriteMode mode,
                   Prompter& prompter);

// Puts a new ID3v2 tag of `major` version (3 or 4) holding the row's texts before the audio of a
// plain MPEG file; the audio and an ID3v1 block stay as they are.
bool CreateId3v2Tag(const TrackInfo& row, int major, Prompter& prompter);

// The fields of the file's ID3v2 tag that hold characters CP932 lacks (or were cut): the edit
// window marks them, and changing one asks first. None when the file cannot be read.
std::bitset<kFieldCount> LossyId3v2Fields(const std::string& cp932Path, const GenreTable& genres);

}  // namespace wvr
