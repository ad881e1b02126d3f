// The direct reading of ID3v2 frames against TagLib's: the same text wherever it reads a frame.
#include <gtest/gtest.h>

#include <filesystem>

#include "formats/Id3v2FrameText.h"
#include "formats/Id3v2Tag.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace wvr::id3v2 {
void PrintTo(const FrameText& text, std::ostream* out) {
    *out << text.id << " [" << text.description << "] [" << text.text << "]" << (text.latin1 ? " Latin-1" : "");
}
}  // namespace wvr::id3v2

namespace {

std::string Frame(std::string_view id, int major, std::string_view data) {
    std::string frame(id);
    const auto size = static_cast<uint32_t>(data.size());
    for (int byte = major == 2 ? 2 : 3; byte >= 0; --byte)
        frame += static_cast<char>(major == 4 ? size >> (7 * byte) & 0x7F : size >> (8 * byte) & 0xFF);
    if (major > 2) frame += std::string(2, '\0');  // no flags
    return frame.append(data);
}

// Whatever the program reads from a frame, TagLib reads from it too.
void ExpectAsTagLib(std::string_view frame, int major) {
    const auto taglib = id3v2::TagLibFrameText(frame, major);
    if (const auto direct = id3v2::DecodeFrameText(frame, major)) {
        EXPECT_EQ(direct, taglib);
    }
    if (const auto read = id3v2::ReadFrameText(frame, major)) {
        EXPECT_EQ(read, taglib);
    }
}

}  // namespace

TEST(Id3v2FrameText, EveryFrameOfTheCorpusReadsAsTagLibReadsIt) {
    size_t direct = 0;
    for (const char* folder : {"id3v2", "thirdparty"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath(folder))) {
            if (!entry.is_regular_file()) continue;
            const std::string bytes = test::ReadFile(entry.path());
            const id3v2::TagTexts tag = id3v2::ReadTagTexts(bytes, GenreTable{});
            // Frames of an unsynchronised 2.3 tag lie in its decoded bytes.
            if (tag.layout.major == 0 || (tag.layout.major == 3 && tag.layout.flags & 0x80)) continue;
            for (const id3v2::FrameSpan& span : tag.frames) {
                const std::string_view frame = std::string_view(bytes).substr(span.offset, span.size);
                SCOPED_TRACE(entry.path().string() + " at " + std::to_string(span.offset));
                ExpectAsTagLib(frame, tag.layout.major);
                direct += id3v2::DecodeFrameText(frame, tag.layout.major).has_value();
            }
        }
    }
    EXPECT_GE(direct, 60u);
}

TEST(Id3v2FrameText, UnusualFramesReadAsTagLibReadsThem) {
    struct Case {
        const char* id;
        int major;
        std::string_view data;
    };
    using namespace std::string_view_literals;
    for (const Case& c : {
             Case{"TPE1", 3, "\0One\0Two\0\0"sv},                          // values joined by "/"
             Case{"TIT2", 4, "\3T\xC3\xADtulo\0"sv},                      // ended by a NUL
             Case{"TIT2", 3, "\1\xFE\xFF\0A\0B\0\0\xFE\xFF\0C"sv},          // big-endian marks
             Case{"TIT2", 3, "\1A\0B\0"sv},                                // UTF-16 without a mark
             Case{"TIT2", 3, "\1\xFF\xFE" "A\0\0\0B\0"sv},                 // a second value without one
             Case{"TALB", 4, "\2\0A\x30\x42"sv},                           // UTF-16BE
             Case{"TALB", 3, "\1\xFF\xFE\x3C\xD8\x35\xDF"sv},              // a surrogate pair
             Case{"TALB", 3, "\1\xFF\xFE\x3C\xD8" "A\0"sv},                // a broken one
             Case{"TALB", 4, "\3\xE3\x81\x82\xFF"sv},                      // malformed UTF-8
             Case{"TALB", 3, "\1\xFF\xFE" "A"sv},                          // half a character
             Case{"TALB", 3, "\7Text"sv},                                  // no such encoding
             Case{"TCON", 3, "\0(17)"sv},                                  // genre numbers
             Case{"TCON", 3, "\0(17)Rock\0(4)Eurodance"sv},
             Case{"TCON", 4, "\0Rock\0\0Pop"sv},
             Case{"TXXX", 3, "\0\0IENG\0Engineer"sv},                      // an empty description
             Case{"TXXX", 3, "\0IENG"sv},                                  // no value
             Case{"TXXX", 4, "\1\xFF\xFEI\0E\0N\0G\0\0\0\xFF\xFE" "A\0"sv},
             Case{"COMM", 3, "\0eng\0Comment\0more"sv},
             Case{"COMM", 3, "\0engDescription\0"sv},                      // no text: neither is read
             Case{"COMM", 3, "\1eng\xFF\xFE\0\0\xFF\xFEX\0"sv},
             Case{"COMM", 3, "\1engX\0\0\0\xFF\xFEX\0"sv},                  // a description without a mark
             Case{"USLT", 4, "\3jpn\0\xE6\xAD\x8C\0\xFF"sv},
             Case{"COMM", 3, "\0en"sv},                                    // too short
             Case{"TT2", 2, "\0Two-two"sv},
             Case{"TYE", 2, "\0" "1997"sv},
             Case{"TYER", 3, "\0" "1998"sv},
             Case{"TYER", 4, "\0" "1999"sv},
         }) {
        SCOPED_TRACE(std::string(c.id) + " " + std::string(c.data));
        ExpectAsTagLib(Frame(c.id, c.major, c.data), c.major);
    }
    // Compressed, encrypted, grouped or unsynchronised frames are TagLib's alone.
    std::string flagged = Frame("TIT2", 4, "\0Title"sv);
    flagged[9] = 0x02;
    EXPECT_FALSE(id3v2::DecodeFrameText(flagged, 4));
    ExpectAsTagLib(flagged, 4);
}
