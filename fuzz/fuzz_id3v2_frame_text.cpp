// The direct reading of ID3v2 text frames as a property: for any tag bytes, every frame it
// reads gives the text TagLib reads from the same frame.
#include "FuzzSupport.h"
#include "formats/Genres.h"
#include "formats/Id3v2FrameText.h"
#include "formats/Id3v2Tag.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const id3v2::TagTexts tag = id3v2::ReadTagTexts(bytes, GenreTable{});
    // Frames of an unsynchronised 2.3 tag lie in its decoded bytes.
    if (tag.layout.major == 3 && (tag.layout.flags & 0x80)) return 0;
    for (const id3v2::FrameSpan& span : tag.frames) {
        const std::string_view frame = bytes.substr(span.offset, span.size);
        if (const auto direct = id3v2::DecodeFrameText(frame, tag.layout.major))
            WVR_FUZZ_EXPECT(direct == id3v2::TagLibFrameText(frame, tag.layout.major));
    }
    return 0;
}
