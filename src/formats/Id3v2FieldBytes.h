// Reading the bytes of a large ID3v2 tag that its fields come from. Cover pictures make tags of
// hundreds of kilobytes; listing a collection would read every picture only to skip it.
#pragma once

#include <cstdint>
#include <string>

#include "formats/Id3v2Tag.h"
#include "platform/base/FileOps.h"

namespace wvr::id3v2 {

// Tags up to this size are read whole: one read costs less than several small ones.
inline constexpr uint64_t kWholeTagReadBytes = 65536;

// The tag at the start of `file` (`tagEnd`: where it ends, or the file does) as ReadTagTexts
// needs it for the fields: its header and the frames that may hold a field, the others left
// unread, under a size that counts only them. The fields read from it are the whole tag's; the
// places of its frames are its own. A tag that is unsynchronised or has an extended header is
// read whole.
std::string ReadFieldBytes(fs::File& file, const TagLayout& layout, uint64_t tagEnd);

}  // namespace wvr::id3v2
