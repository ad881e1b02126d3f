// What a frame holds once the bytes its flags add are taken off: unsynchronisation undone,
// compressed contents inflated (never past kMaxTagBytes), encrypted frames left unread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/id3v2/FrameWalk.h"

namespace wvr::id3v2 {

// Format flags of a frame (FrameSpan::flags & 0xFF).
inline constexpr uint8_t kCompressed23 = 0x80, kEncrypted23 = 0x40, kGrouped23 = 0x20;
inline constexpr uint8_t kGrouped24 = 0x40, kCompressed24 = 0x08, kEncrypted24 = 0x04, kUnsynchronised24 = 0x02,
                         kDataLength24 = 0x01;

// Every 0xFF 0x00 pair stands for 0xFF.
std::string Resynchronise(std::string_view bytes);

// The data of `frame` (its whole bytes in `bytes`), as a reader takes it; nothing for an
// encrypted frame or compressed data that does not inflate within the limit. In 2.4 the tag's
// unsynchronisation flag counts for every frame.
std::optional<std::string> FrameData(std::string_view bytes, const FrameSpan& frame, const TagHeader& header);

// The data of `frame`, taken from `tag`: its bytes themselves where no flag changes them, else
// decoded into `decoded`.
std::optional<std::string_view> FrameDataIn(TagWindow& tag, const FrameSpan& frame, const TagHeader& header,
                                            std::string& decoded);

// Whether the frame's data lies plainly after its header (no flag changes it): then
// FrameData is the bytes themselves and can be taken without a copy.
bool IsPlainFrame(const FrameSpan& frame, const TagHeader& header);

}  // namespace wvr::id3v2
