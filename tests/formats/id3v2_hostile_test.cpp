// Damaged and hostile ID3v2 tags: each must give the texts that can be had and nothing else,
// with no crash, hang or sanitizer report. Run under AddressSanitizer with the "asan" label.
#include <gtest/gtest.h>

#include <random>

#include "formats/Id3v2Sanitizer.h"
#include "formats/Id3v2Text.h"
#include "id3v2_tags.h"

using namespace wvr;
using namespace wvr::test::id3;
using wvr::test::ScriptedPrompter;
using wvr::test::Sjis;
using namespace std::string_literals;

namespace {

const std::string kAudio = "\xFF\xFB\x90\x64"s + std::string(400, '\x55');

// The six frames, Latin-1 and UTF-16 mixed, one compressed and one grouped, then padding.
std::string Frames23() {
    return Frame23("TIT2", Compressed(Latin1("Title")), kCompressedFrame) + Frame23("TPE1", Utf16(u"歌手")) +
           Frame23("TALB", Latin1(Sjis("アルバム"))) + Frame23("COMM", Comment("note")) +
           Frame23("TYER", Latin1("2001")) + Frame23("TCON", "\x05" + Latin1("(17)"), kGroupedFrame) +
           std::string(32, '\0');
}

const std::array<std::string, 6> kExpected23 = {"Title", Sjis("歌手"), Sjis("アルバム"), "note", "2001", "(17)"};

void ExpectTexts(const Fields& fields, const std::array<std::string, 6>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(fields[i], expected[i]) << "field " << i;
}

void ExpectNoTexts(const Fields& fields) { ExpectTexts(fields, {}); }

// What every read must keep to, however bad the tag.
void ExpectSane(const Fields& fields, const ScriptedPrompter& prompter) {
    for (int i = 0; i <= kGenre; ++i) EXPECT_LE(fields[i].size(), id3v2::kMaxFieldBytes);
    for (int i = kGenre + 1; i < kFieldCount; ++i) EXPECT_EQ(fields[i], kUntouched);
    EXPECT_TRUE(prompter.shown().empty());
}

Fields ReadQuietly(std::string_view fileStart) {
    ScriptedPrompter prompter;
    Fields fields = Read(fileStart, prompter);
    ExpectSane(fields, prompter);
    return fields;
}

}  // namespace

// --- the tag header

TEST(Id3v2HostileHeader, TheCompressedFrameTagReadsWhole) {
    // Frame 0 is compressed: id3lib alone dies on such a tag.
    ExpectTexts(ReadQuietly(Tag23(Frames23()) + kAudio), kExpected23);
}

TEST(Id3v2HostileHeader, ATagRunningPastTheEndOfTheFileIsNotRead) {
    const std::string file = Tag23(Frames23()) + kAudio;
    const size_t tagEnd = file.size() - kAudio.size();
    for (size_t n = 0; n < tagEnd; ++n) {
        SCOPED_TRACE(n);
        ExpectNoTexts(ReadQuietly(std::string_view(file).substr(0, n)));
    }
    ExpectTexts(ReadQuietly(std::string_view(file).substr(0, tagEnd)), kExpected23);
}

TEST(Id3v2HostileHeader, SizesAndVersionsThatAreNoTag) {
    const std::string frames = Frame23("TIT2", Latin1("x"));
    ExpectNoTexts(ReadQuietly(Tag23("") + kAudio));                                // zero size
    ExpectNoTexts(ReadQuietly(TagWithSize(3, 0x0FFFFFFF, frames) + kAudio));       // huge
    std::string topBitSet = Tag23(frames) + kAudio;
    topBitSet[9] = static_cast<char>(topBitSet[9] | 0x80);  // no longer a size of 7-bit bytes
    ExpectNoTexts(ReadQuietly(topBitSet));
    ExpectNoTexts(ReadQuietly(Tag(0, frames) + kAudio));
    ExpectNoTexts(ReadQuietly(Tag(1, frames) + kAudio));
    ExpectNoTexts(ReadQuietly(Tag(4, frames) + kAudio));
    // 2.2 with its compression bit: no scheme exists, the tag is not read.
    ExpectNoTexts(ReadQuietly(Tag(2, Frame22("TT2", Latin1("x")), kExtendedHeaderTag) + kAudio));
    EXPECT_EQ(ReadQuietly(Tag(2, Frame22("TT2", Latin1("x"))) + kAudio)[kTitle], "x");
}

TEST(Id3v2HostileHeader, ATagLargerThanTheReadLimitIsReadUpToIt) {
    const std::string big = Frame23("TIT2", Latin1("first")) + Frame23("PRIV", std::string(id3v2::kMaxTagBytes, 'p')) +
                            Frame23("TPE1", Latin1("beyond"));
    const Fields fields = ReadQuietly(Tag23(big) + kAudio);
    EXPECT_EQ(fields[kTitle], "first");
    EXPECT_EQ(fields[kArtist], "");
}

TEST(Id3v2HostileHeader, ExtendedHeaders) {
    const std::string frames = Frame23("TIT2", Latin1("ext"));
    const std::string plain = BigEndian(6, 4) + std::string(6, '\0');
    const std::string withCrc = BigEndian(10, 4) + "\x80\0\0\0\0\0\x12\x34\x56\x78"s;
    EXPECT_EQ(ReadQuietly(Tag23(plain + frames, kExtendedHeaderTag) + kAudio)[kTitle], "ext");
    EXPECT_EQ(ReadQuietly(Tag23(withCrc + frames, kExtendedHeaderTag) + kAudio)[kTitle], "ext");
    EXPECT_EQ(ReadQuietly(Tag23(Unsynchronise(plain + frames), kExtendedHeaderTag | kUnsynchronisedTag) + kAudio)[kTitle],
              "ext");
    for (uint32_t bad : {0xFFFFFFFFu, 0xFFFFFFF6u, 1000u, 20u}) {
        SCOPED_TRACE(bad);
        ExpectNoTexts(ReadQuietly(Tag23(BigEndian(bad, 4) + std::string(6, '\0') + frames, kExtendedHeaderTag) + kAudio));
    }
    ExpectNoTexts(ReadQuietly(Tag23("\0\0"s, kExtendedHeaderTag) + kAudio));  // shorter than its size field
}

TEST(Id3v2HostileHeader, UnsynchronisedTagsReadAsTheirPlainForm) {
    // Bytes that unsynchronisation changes: FF before E0 and more, FF before zero, FF at the end.
    const std::string frames = Frame23("TIT2", Utf16(u"\u00FF\u00FFy")) + Frame23("TPE1", Latin1("\xFF\xE1\xFF")) +
                               Frame23("TALB", Compressed(Latin1(std::string(300, '\xFF'))), kCompressedFrame) +
                               Frame23("TCON", Latin1("\xFF"));
    const Fields plain = ReadQuietly(Tag23(frames) + kAudio);
    const Fields unsynchronised = ReadQuietly(Tag23(Unsynchronise(frames), kUnsynchronisedTag) + kAudio);
    EXPECT_EQ(unsynchronised, plain);
    EXPECT_EQ(plain[kTitle], "??y");
    EXPECT_EQ(plain[kArtist], "\xFF\xE1\xFF");
    EXPECT_EQ(plain[kAlbum], std::string(300, '\xFF'));
    EXPECT_EQ(plain[kGenre], "\xFF");
    EXPECT_NE(Unsynchronise(frames), frames);

    const std::string v22 = Frame22("TT2", Latin1("\xFF\xFF"));
    EXPECT_EQ(ReadQuietly(Tag(2, Unsynchronise(v22), kUnsynchronisedTag) + kAudio)[kTitle], "\xFF\xFF");
}

// --- frame sizes and flags

TEST(Id3v2HostileFrames, SizesBeyondTheTagOrEmpty) {
    const std::string title = Frame23("TIT2", Latin1("kept"));
    // The file holds the bytes, the tag does not: the frame is not read.
    EXPECT_EQ(ReadQuietly(Tag23(title + Frame23WithSize("TPE1", 1000, Latin1("abc"))) + kAudio + kAudio),
              ReadQuietly(Tag23(title) + kAudio));
    for (uint32_t size : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 11u}) {
        SCOPED_TRACE(size);
        const Fields fields = ReadQuietly(Tag23(title + Frame23WithSize("TPE1", size, Latin1("abcdefghi"))) + kAudio);
        EXPECT_EQ(fields[kTitle], "kept");
        EXPECT_EQ(fields[kArtist], "");
    }
    // An empty frame is skipped and the walk goes on.
    const Fields afterEmpty = ReadQuietly(Tag23(Frame23("TIT2", "") + Frame23("TPE1", Latin1("a"))) + kAudio);
    EXPECT_EQ(afterEmpty[kTitle], "");
    EXPECT_EQ(afterEmpty[kArtist], "a");
    // A frame header cut by the end of the tag, and bytes that are no frame id, end the frames.
    EXPECT_EQ(ReadQuietly(Tag23(title + "TPE1\0\0") + kAudio)[kTitle], "kept");
    const Fields garbage = ReadQuietly(Tag23(title + "tpe1" + Frame23("TALB", Latin1("x"))) + kAudio);
    EXPECT_EQ(garbage[kTitle], "kept");
    EXPECT_EQ(garbage[kAlbum], "");
}

TEST(Id3v2HostileFrames, CompressedFramesAreInflatedOrDropped) {
    const std::string next = Frame23("TYER", Latin1("1999"));
    auto read = [&](const std::string& title, uint8_t format) {
        return ReadQuietly(Tag23(Frame23("TIT2", title, format) + next) + kAudio);
    };
    const std::string zlib = Deflate(Latin1("inflated"));
    EXPECT_EQ(read(BigEndian(9, 4) + zlib, kCompressedFrame)[kTitle], "inflated");
    EXPECT_EQ(read(BigEndian(9, 4) + "\x07" + zlib, kCompressedFrame | kGroupedFrame)[kTitle], "inflated");
    EXPECT_EQ(read(BigEndian(1, 4) + zlib, kCompressedFrame)[kTitle], "inflated");  // a wrong inflated size
    EXPECT_EQ(read("\x07" + Latin1("grouped"), kGroupedFrame)[kTitle], "grouped");

    const std::vector<std::string> broken = {
        BigEndian(9, 4) + zlib.substr(0, zlib.size() / 2),           // stream cut short
        BigEndian(9, 4) + "not a zlib stream at all",                 //
        BigEndian(9, 4) + zlib.substr(0, 2) + std::string(20, '\0'),  // header, then nonsense
        BigEndian(9, 4),                                              // no stream
        "\0\0",                                                       // not even the inflated size
        BigEndian(9, 4) + Deflate(""),                                // inflates to nothing
    };
    for (const std::string& title : broken) {
        const Fields fields = read(title, kCompressedFrame);
        EXPECT_EQ(fields[kTitle], "");
        EXPECT_EQ(fields[kDate], "1999");
    }
    EXPECT_EQ(read(Compressed(Latin1("secret")), kCompressedFrame | kEncryptedFrame)[kTitle], "");
    EXPECT_EQ(read("\x01" + Latin1("secret"), kEncryptedFrame)[kTitle], "");
}

TEST(Id3v2HostileFrames, AnInflatedFrameBeyondTheLimitIsDropped) {
    const std::string bomb = Compressed(Latin1(std::string(id3v2::kMaxTagBytes + 1, 'b')));
    ASSERT_LT(bomb.size(), 100000u);
    const Fields fields = ReadQuietly(Tag23(Frame23("TIT2", bomb, kCompressedFrame) + Frame23("TPE1", Latin1("a"))) + kAudio);
    EXPECT_EQ(fields[kTitle], "");
    EXPECT_EQ(fields[kArtist], "a");
}

TEST(Id3v2HostileFrames, TheCleanedTagHoldsOnlyPlainFramesTheProgramReads) {
    const std::string tag = Tag23(Unsynchronise(BigEndian(6, 4) + std::string(6, '\0') + Frame23("APIC", "\0image") +
                                                Frame23("TIT2", Compressed(Latin1("t\xFF")), kCompressedFrame) +
                                                Frame23("TXXX", Latin1("other"))),
                                  kUnsynchronisedTag | kExtendedHeaderTag);
    EXPECT_EQ(id3v2::SanitizeTag(tag), Tag23(Frame23("TIT2", Latin1("t\xFF")) + std::string(10, '\0')));
    EXPECT_EQ(id3v2::SanitizeTag("ID3\x04\0\0\0\0\0\0"s), std::nullopt);
    EXPECT_EQ(id3v2::SanitizeTag("ID3\x03\0\0\0\0"s), std::nullopt);  // header cut short
}

TEST(Id3v2HostileFrames, EveryCutOfTheFramesGivesWholeFramesOnly) {
    const std::string tag = Tag23(Frames23());
    const Fields whole = ReadQuietly(tag);
    for (size_t n = id3v2::kHeaderSize; n <= tag.size(); ++n) {
        SCOPED_TRACE(n);
        const std::optional<std::string> clean = id3v2::SanitizeTag(std::string_view(tag).substr(0, n));
        ASSERT_TRUE(clean);
        const Fields fields = ReadQuietly(*clean);
        for (int i = 0; i <= kGenre; ++i) EXPECT_TRUE(fields[i].empty() || fields[i] == whole[i]) << i;
    }
}

// --- texts id3lib mishandles

TEST(Id3v2HostileText, OddAndBrokenUtf16) {
    auto title = [](const std::string& content) {
        return ReadQuietly(Tag23(Frame23("TIT2", content) + Frame23("TYER", Latin1("2000"))) + kAudio);
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\x01\xFF\xFE" "A\0B"s, "A"},               // odd length: the last byte is dropped
        {"\x01\xFF\xFE" "A"s, ""},                    // half a unit after the mark
        {"\x01\xFF\xFE", ""},                                        // only the mark
        {"\x01\xFF", ""},                                            // half a mark
        {"\x01", ""},                                                // only the encoding
        {"\x01\xFF\xFE" "A\0\0\0B\0"s, "A"},         // a second item
        {"\x01\xFE\xFF\0A\0B"s, "AB"},                // big-endian mark
        {"\x01\xFF\xFE\xFF\xFE" "A\0"s, "A"},         // two marks
        {"\x01\xFF\xFE\x00\xD8" "A\0"s, "?A"},        // a lone surrogate
        {"\x01\xFF\xFE\x3D\xD8\x00\xDE"s, "?"},       // a pair CP932 lacks
    };
    for (const auto& [content, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(content));
        const Fields fields = title(content);
        EXPECT_EQ(fields[kTitle], expected);
        EXPECT_EQ(fields[kDate], "2000");  // a broken frame never takes the next one with it
    }
}

TEST(Id3v2HostileText, ShortAndUnterminatedComments) {
    auto comment = [](const std::string& content) {
        return ReadQuietly(Tag23(Frame23("COMM", content) + Frame23("TALB", Latin1("kept"))) + kAudio);
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\0eng\0text"s, "text"},
        {"\0engdescription only"s, ""},
        {"\0en"s, ""},
        {"\x01" "eng"s, ""},
        {"\x01" "eng\xFF\xFE" "d\0\0\0\xFF\xFE" "t\0x"s, "t"},  // odd text
        {"\x01" "eng\xFF\xFE" "d\0\0"s, ""},                      // odd description
        {"\x01" "eng\0\0\xFF\xFE" "t\0"s, "t"},
        {"\x03" "eng\0text"s, ""},  // UTF-8 came with 2.4
    };
    for (const auto& [content, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(content));
        const Fields fields = comment(content);
        EXPECT_EQ(fields[kComment], expected);
        EXPECT_EQ(fields[kAlbum], "kept");
    }
}

// Frames of random bytes before an intact one: id3lib left alone loses the intact frame.
TEST(Id3v2HostileText, RandomTextFramesNeverHideTheFramesAfterThem) {
    std::mt19937 random(4);
    const char alphabet[] = {'\0', '\x01', '\x02', '\x03', '\xFF', '\xFE', 'A', 'e'};
    auto randomContent = [&] {
        std::string s(random() % 14, '\0');
        for (char& c : s) c = alphabet[random() % sizeof alphabet];
        return s;
    };
    for (int i = 0; i < 2000; ++i) {
        const std::string tag = Tag23(Frame23("TIT2", randomContent()) + Frame23("COMM", randomContent()) +
                                      Frame23("TCON", randomContent()) + Frame23("TALB", Latin1("kept")));
        const Fields fields = ReadQuietly(tag + kAudio);
        ASSERT_EQ(fields[kAlbum], "kept") << ::testing::PrintToString(tag);
    }
}

// --- random damage to real tags

namespace {

std::string LeadingTag(const std::string& corpusFile) {
    const std::string bytes = test::ReadFile(test::CorpusPath(corpusFile));
    const std::optional<id3v2::TagHeader> header = id3v2::ParseTagHeader(bytes);
    EXPECT_TRUE(header) << corpusFile;
    return header ? bytes.substr(0, std::min(bytes.size(), id3v2::kHeaderSize + header->size)) : std::string();
}

std::string Damaged(std::string tag, std::mt19937& random) {
    auto position = [&] { return tag.empty() ? size_t{0} : random() % tag.size(); };
    switch (random() % 5) {
    case 0:  // a few bytes changed
        for (int n = 1 + random() % 4; n > 0 && !tag.empty(); --n) tag[position()] = static_cast<char>(random());
        break;
    case 1: {  // a size-like field overwritten with an extreme value
        const uint32_t values[] = {0, 1, 0x7F7F7F7F, 0xFFFFFFFF, static_cast<uint32_t>(random())};
        const std::string value = BigEndian(values[random() % 5], 4);
        tag.replace(position(), value.size(), value);
        break;
    }
    case 2:  // cut short
        tag.resize(position());
        break;
    case 3: {  // a stretch repeated
        const size_t at = position();
        tag.insert(at, tag.substr(at, random() % 64));
        break;
    }
    default:  // header flags
        if (tag.size() > 5) tag[5] = static_cast<char>(random());
        break;
    }
    return tag;
}

}  // namespace

TEST(Id3v2HostileRandom, DamagedTagsNeverBreakTheReader) {
    std::vector<std::string> tags = {
        LeadingTag("id3v2/v22_script.mp3"),
        LeadingTag("id3v2/v23_latin1_mutagen.mp3"),
        LeadingTag("id3v2/v23_utf16_japanese_mutagen.mp3"),
        LeadingTag("id3v2/v23_sjis_in_latin1_mutagen.mp3"),
        LeadingTag("thirdparty/mutagen/too-short.mp3"),
        LeadingTag("thirdparty/mutagen/bad-xing.mp3"),
        LeadingTag("thirdparty/taglib/itunes10.mp3"),
        LeadingTag("thirdparty/taglib/duplicate_id3v2.mp3"),
        Tag23(Frames23()),
        Tag23(Unsynchronise(Frames23()), kUnsynchronisedTag),
        Tag23(BigEndian(6, 4) + std::string(6, '\0') + Frames23(), kExtendedHeaderTag),
        Tag(2, Frame22("TT2", Utf16(u"題名")) + Frame22("COM", Comment("c")) + Frame22("TCO", Latin1("(1)"))),
    };
    std::mt19937 random(20240611);
    int read = 0;
    for (const std::string& tag : tags) {
        ASSERT_FALSE(tag.empty());
        for (int i = 0; i < 250; ++i) {
            std::string damaged = Damaged(tag, random);
            if (random() % 3 == 0) damaged = Damaged(damaged, random);
            const Fields fields = ReadQuietly(damaged + kAudio);
            read += !fields[kTitle].empty();
            if (::testing::Test::HasFailure()) FAIL() << ::testing::PrintToString(damaged);
        }
    }
    EXPECT_GT(read, 1000);  // most damage leaves the title alone
}
