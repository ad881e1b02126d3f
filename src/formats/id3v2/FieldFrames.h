// Which frame holds which field of a row, for each ID3v2 version: the six texts of every tag,
// the frames that mean the same where ID3v2 has one, and user text frames named after the
// RIFF INFO id for the rest, so that every field of a row goes into the tag and comes back.
#pragma once

#include <cstdint>
#include <string_view>

namespace wvr::id3v2 {

struct FieldFrame {
    std::string_view id;           // 2.2: three letters
    std::string_view description;  // the user text frame's description; empty for the others
};

// The frame a field is written to in a tag of version `major`.
FieldFrame FrameOfField(int field, int major);

// The field a frame fills, or -1: its packed id and, for user text frames, its description.
// Both the 2.3 year (TYER) and the 2.4 recording time (TDRC) fill the date in 2.3 and 2.4.
int FieldOfFrame(uint32_t packedId, std::string_view description, int major);

// Whether a frame of this id may fill a field (its contents are worth reading).
bool MayHoldField(uint32_t packedId, int major);

// The kinds of frame that hold field texts.
enum class FrameShape { Text, UserText, Described };  // Described: comment and lyrics
FrameShape ShapeOf(uint32_t packedId, int major);

}  // namespace wvr::id3v2
