// Large ID3v2 tags: their fields are read without reading their pictures.
#include <gtest/gtest.h>

#include "app/commands/AddFiles.h"
#include "formats/Id3v2FieldBytes.h"
#include "platform/base/Cp932.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

std::string Size(uint32_t size, int bytes, int bits) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(size >> (bits * i) & ((1u << bits) - 1));
    return out;
}

std::string Frame(int major, const std::string& id, const std::string& data) {
    const auto size = static_cast<uint32_t>(data.size());
    if (major == 2) return id + Size(size, 3, 8) + data;
    return id + Size(size, 4, major == 4 ? 7 : 8) + std::string(2, '\0') + data;
}

std::string Tag(int major, uint8_t flags, const std::string& frames, size_t padding) {
    const std::string body = frames + std::string(padding, '\0');
    std::string tag = "ID3" + std::string{static_cast<char>(major), '\0', static_cast<char>(flags)} +
                      Size(static_cast<uint32_t>(body.size()), 4, 7) + body;
    if (flags & 0x10) tag += "3DI" + tag.substr(3, 7);
    return tag;
}

}  // namespace

TEST(Id3v2FieldBytes, APictureIsNotReadAndTheFieldsAreTheWholeTags) {
    const std::string picture(300000, '\x89');
    const std::string audio = test::ReadFile(test::CorpusPath("mpeg/cbr128_44k_notag.mp3"));
    struct Case {
        int major;
        uint8_t flags;
        std::string frames;
    };
    for (const Case& c : {
             Case{3, 0,
                  Frame(3, "TIT2", std::string("\1\xFF\xFE\x8B\x66\x00\x00", 7)) +
                      Frame(3, "APIC", std::string("\0image/png\0\3\0", 13) + picture) +
                      Frame(3, "TPE1", std::string("\0Artist", 7))},
             Case{4, 0x10,  // with a footer
                  Frame(4, "APIC", std::string("\0image/jpeg\0\3\0", 14) + picture) +
                      Frame(4, "TIT2", std::string("\3Title", 6)) + Frame(4, "TXXX", std::string("\0ISRC\0Code", 10))},
             Case{2, 0,
                  Frame(2, "TT2", std::string("\0Title", 6)) + Frame(2, "PIC", std::string("\0PNG\3\0", 6) + picture) +
                      Frame(2, "COM", std::string("\0engDescribed\0Comment", 21))},
         }) {
        SCOPED_TRACE(c.major);
        test::TempDir dir;
        const std::string tag = Tag(c.major, c.flags, c.frames, c.flags & 0x10 ? 0 : 1000);
        test::WriteFile(dir / "song.mp3", tag + audio);
        fs::File file;
        ASSERT_TRUE(file.Open(dir / "song.mp3", fs::File::Mode::Read));
        const auto layout = id3v2::ParseLayout(tag);
        ASSERT_TRUE(layout);
        const std::string read = id3v2::ReadFieldBytes(file, *layout, layout->size);
        EXPECT_LT(read.size(), 200u);
        GenreTable genres;
        const auto fields = id3v2::ReadTagTexts(tag, genres).fields;
        ASSERT_FALSE(fields[kTitle].empty());
        EXPECT_EQ(id3v2::ReadTagTexts(read, genres).fields, fields);

        // Listed with the texts after the picture and the play time of the audio after the tag.
        Session session;
        WorkList work{dir / "song.mp3"};
        AddOptions options;
        options.id3v2Edit = true;
        test::ScriptedPrompter prompter;
        AddFiles(session, work, options, prompter);
        ASSERT_EQ(session.rows.size(), 1u);
        EXPECT_EQ(session.rows[0].Fields, fields);
        EXPECT_EQ(session.rows[0].AudioSize, std::to_string(audio.size()));
        EXPECT_EQ(session.rows[0].InfoText.rfind("MP3 128kbit", 0), 0u) << session.rows[0].InfoText;
    }
}
