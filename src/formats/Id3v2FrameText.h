// The text an ID3v2 frame holds for a field (text frames, TXXX, COMM, USLT). Listing a tagged
// collection reads thousands of tags, so the plain frames are decoded here directly; TagLib
// parses the rest (compressed, encrypted or unsynchronised frames, unusual encodings, genre
// numbers), and both give the same text for every frame the direct decoder takes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace TagLib::ID3v2 {
class Frame;
}

namespace wvr::id3v2 {

struct FrameText {
    std::string id;           // as TagLib names it: 2.2 ids and the 2.3 year by their 2.4 names
    std::string description;  // TXXX, COMM and USLT; empty for the others
    std::string text;         // the values, joined by "/"
    // The description and text are the stored bytes of a frame marked ISO-8859-1 (old Japanese
    // taggers put Shift-JIS there), else UTF-8.
    bool latin1 = true;

    bool operator==(const FrameText&) const = default;
};

// Whether a frame may hold a field, by the id its header (or whole bytes) begins with.
bool MayHoldField(std::string_view frame, int major);

// A whole frame (its header included) of a tag of version `major`, decoded directly; nothing
// when TagLib has to parse it.
std::optional<FrameText> DecodeFrameText(std::string_view frame, int major);

// The same frame as TagLib parses it; nothing when it is no frame of text.
std::optional<FrameText> TagLibFrameText(std::string_view frame, int major);

// The text of a frame TagLib has parsed.
std::optional<FrameText> TextOfParsedFrame(const TagLib::ID3v2::Frame& frame);

// The frame's text, directly when it can be.
std::optional<FrameText> ReadFrameText(std::string_view frame, int major);

}  // namespace wvr::id3v2
