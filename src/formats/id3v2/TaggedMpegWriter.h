// Writing a row into the ID3v2 tag at the start of its file, and giving a plain MPEG file a
// new tag. What the write changes is planned in memory first: the tag with only the changed
// fields' frames rendered anew, and the ID3v1 block beside it changed only in those fields.
// A change that one write within one page of the file holds is made in place; any other is
// made by rebuilding the file beside itself and putting it in its place, so that a failing
// step or a kill leaves the file as before or as after.
#pragma once

#include <bitset>
#include <string>

#include "formats/Genres.h"
#include "formats/TrackInfo.h"

namespace wvr {

class Prompter;

enum class Id3v2WriteMode {
    ChangedFields,  // the fields whose text differs from the text read
    Unicode,        // also the fields read as Shift-JIS from frames marked Latin-1; the ID3v1 block stays
};

// Writes the row's changed fields into the file's tag; every other frame keeps its bytes. A
// changed field whose frame held characters CP932 lacks is written only after the user
// agrees. Returns whether the row counts as written.
bool WriteId3v2Tag(const TrackInfo& row, const GenreTable& genres, Id3v2WriteMode mode, Prompter& prompter);

// Puts a new ID3v2 tag of `major` version (3 or 4) holding the row's texts (and the track
// number of an ID3v1.1 block) before the audio of a plain MPEG file; the rest stays as it is.
bool CreateId3v2Tag(const TrackInfo& row, int major, Prompter& prompter);

// In-place writes change at most one aligned page of this size: a kill during such a write
// leaves the old bytes or the new ones.
inline constexpr uint64_t kInPlacePageBytes = 4096;

}  // namespace wvr
