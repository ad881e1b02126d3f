// Damaged and hostile ID3v2 tags: each gives the texts that can be had and nothing else, with
// no crash, hang or sanitizer report (the "asan" label runs this under AddressSanitizer).
#include <gtest/gtest.h>

#include <random>

#include "id3v2_tags.h"

using namespace wvr;
using namespace wvr::test::id3;
using wvr::test::ScriptedPrompter;
using wvr::test::Sjis;

namespace {

const std::string kAudio = "\xFF\xFB\x90\x64"s + std::string(400, 'U');

// The six frames: Latin-1 and UTF-16, one compressed, one grouped, then padding.
const std::string kFrames = Frame23("TIT2", Compressed(Latin1("Title")), kCompressedFrame) +
                            Frame23("TPE1", Utf16(u"歌手")) + Frame23("TALB", Latin1(Sjis("アルバム"))) +
                            Frame23("COMM", Comment("note")) + Frame23("TYER", Latin1("2001")) +
                            Frame23("TCON", "\x05" + Latin1("(17)"), kGroupedFrame) + std::string(32, '\0');
const std::array<std::string, 6> kTexts = {"Title", Sjis("歌手"), Sjis("アルバム"), "note", "2001", "(17)"};

// Reads a file that begins with `tag`, checking what must hold however bad the tag is.
Fields ReadSafely(const std::string& tag, const std::string& audio = kAudio) {
    ScriptedPrompter prompter;
    const Fields fields = Read(tag + audio, prompter);
    for (int i = 0; i <= kGenre; ++i) EXPECT_LE(fields[i].size(), id3v2::kMaxSixTextBytes);
    for (int i = kGenre + 1; i < kFieldCount; ++i) EXPECT_EQ(fields[i], kUntouched);
    EXPECT_TRUE(prompter.shown().empty());
    return fields;
}

std::array<std::string, 6> Texts(const Fields& fields) {
    std::array<std::string, 6> texts;
    std::copy(fields.begin(), fields.begin() + 6, texts.begin());
    return texts;
}

const std::array<std::string, 6> kNone{};

}  // namespace

TEST(Id3v2HostileTag, CompressedAndGroupedFramesReadWhole) {
    EXPECT_EQ(Texts(ReadSafely(Tag23(kFrames))), kTexts);  // a library that trusts the inflated size dies on this tag
}

TEST(Id3v2HostileTag, ATagThatTheFileCutsShortGivesItsWholeFrames) {
    const std::string tag = Tag23(kFrames);
    // Where each frame ends in the tag, in the order of kTexts.
    std::vector<size_t> ends;
    for (size_t at = id3v2::kHeaderBytes; ends.size() < kTexts.size();) {
        at += 10 + (static_cast<uint8_t>(tag[at + 4]) << 24 | static_cast<uint8_t>(tag[at + 5]) << 16 |
                    static_cast<uint8_t>(tag[at + 6]) << 8 | static_cast<uint8_t>(tag[at + 7]));
        ends.push_back(at);
    }
    for (size_t n = 0; n <= tag.size(); ++n) {
        std::array<std::string, 6> expected;
        for (size_t i = 0; i < ends.size() && n >= id3v2::kHeaderBytes; ++i)
            if (ends[i] <= n) expected[i] = kTexts[i];
        EXPECT_EQ(Texts(ReadSafely(tag.substr(0, n), "")), expected) << n;
    }
}

TEST(Id3v2HostileTag, HeadersThatAreNoTagToRead) {
    const std::string title = Frame23("TIT2", Latin1("x"));
    std::string topBitSet = Tag23(title);
    topBitSet[9] = static_cast<char>(topBitSet[9] | 0x80);  // not a size of 7-bit bytes
    for (const std::string& tag : {Tag23(""), topBitSet, Tag(0, title), Tag(1, title), Tag(4, title),
                                   Tag(2, Frame22("TT2", Latin1("x")), kExtendedHeaderTag)})
        EXPECT_EQ(Texts(ReadSafely(tag)), kNone) << ::testing::PrintToString(tag);
    // A size of 256 MB in a small file: the frame that is there is read.
    EXPECT_EQ(ReadSafely(Tag(3, title, 0, 0x0FFFFFFF))[kTitle], "x");
    EXPECT_EQ(ReadSafely(Tag(2, Frame22("TT2", Latin1("x"))))[kTitle], "x");  // without the 2.2 compression bit
}

TEST(Id3v2HostileTag, ExtendedHeadersAreSkipped) {
    const std::string frames = Frame23("TIT2", Latin1("ext"));
    const std::string plain = BigEndian(6, 4) + std::string(6, '\0');
    const std::string withCrc = BigEndian(10, 4) + "\x80\0\0\0\0\0\x12\x34\x56\x78"s;
    EXPECT_EQ(ReadSafely(Tag23(plain + frames, kExtendedHeaderTag))[kTitle], "ext");
    EXPECT_EQ(ReadSafely(Tag23(withCrc + frames, kExtendedHeaderTag))[kTitle], "ext");
    EXPECT_EQ(ReadSafely(Tag23(Unsynchronise(plain + frames), kExtendedHeaderTag | kUnsynchronisedTag))[kTitle], "ext");
    for (uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF6u, 1000u, 20u})
        EXPECT_EQ(ReadSafely(Tag23(BigEndian(size, 4) + frames, kExtendedHeaderTag))[kTitle], "") << size;
    EXPECT_EQ(Texts(ReadSafely(Tag23("\0\0"s, kExtendedHeaderTag))), kNone);
}

TEST(Id3v2HostileTag, UnsynchronisedTagsReadAsTheirPlainForm) {
    // FF before E0 and more, FF before zero, FF at the very end; inside a compressed frame too.
    const std::string frames = Frame23("TIT2", Utf16(u"\u00FF\u00FFy")) + Frame23("TPE1", Latin1("\xFF\xE1\xFF")) +
                               Frame23("TALB", Compressed(Latin1(std::string(300, '\xFF'))), kCompressedFrame) +
                               Frame23("TCON", Latin1("\xFF"));
    const Fields plain = ReadSafely(Tag23(frames));
    EXPECT_EQ(ReadSafely(Tag23(Unsynchronise(frames), kUnsynchronisedTag)), plain);
    const std::array<std::string, 6> texts = {"??y", "\xFF\xE1\xFF", std::string(300, '\xFF'), "", "", "\xFF"};
    EXPECT_EQ(Texts(plain), texts);
    EXPECT_EQ(ReadSafely(Tag(2, Unsynchronise(Frame22("TT2", Latin1("\xFF\xFF"))), kUnsynchronisedTag))[kTitle],
              "\xFF\xFF");
}

TEST(Id3v2HostileTag, OnlyTheFirst16MegabytesOfAHugeTagAreRead) {
    const std::string filler = Frame23("PRIV", std::string(id3v2::kMaxTagBytes, 'p'));
    const std::string frames = Frame23("TIT2", Latin1("first")) + filler + Frame23("TPE1", Latin1("beyond"));
    const Fields fields = ReadSafely(Tag23(frames));
    EXPECT_EQ(fields[kTitle], "first");
    EXPECT_EQ(fields[kArtist], "");
}

TEST(Id3v2HostileFrames, SizesBeyondTheTagEmptyFramesAndNonFrames) {
    const std::string title = Frame23("TIT2", Latin1("kept"));
    for (uint32_t size : {0xFFFFFFFFu, 0x80000000u, 1000u, 11u}) {  // the file holds the bytes, the tag does not
        const Fields fields = ReadSafely(Tag23(title + Frame23("TPE1", Latin1("abcdefghi"), 0, size)), kAudio + kAudio);
        EXPECT_EQ(fields[kTitle], "kept");
        EXPECT_EQ(fields[kArtist], "") << size;
    }
    EXPECT_EQ(ReadSafely(Tag23(Frame23("TIT2", "") + Frame23("TPE1", Latin1("a"))))[kArtist], "a");
    EXPECT_EQ(ReadSafely(Tag23(title + "TPE1\0\0"s))[kTitle], "kept");  // a cut frame header
    EXPECT_EQ(ReadSafely(Tag23(title + "tpe1" + Frame23("TALB", Latin1("x"))))[kAlbum], "");  // the frames end
}

TEST(Id3v2HostileFrames, CompressedFramesAreInflatedOrDropped) {
    auto title = [](const std::string& content, uint8_t format) {
        const Fields fields = ReadSafely(Tag23(Frame23("TIT2", content, format) + Frame23("TYER", Latin1("1999"))));
        EXPECT_EQ(fields[kDate], "1999");
        return fields[kTitle];
    };
    const std::string zlib = Deflate(Latin1("inflated"));
    EXPECT_EQ(title(BigEndian(9, 4) + zlib, kCompressedFrame), "inflated");
    EXPECT_EQ(title(BigEndian(9, 4) + "\x07" + zlib, kCompressedFrame | kGroupedFrame), "inflated");
    EXPECT_EQ(title(BigEndian(1, 4) + zlib, kCompressedFrame), "inflated");  // a wrong inflated size
    for (const std::string& broken : {BigEndian(9, 4) + zlib.substr(0, zlib.size() / 2), BigEndian(9, 4) + "no zlib",
                                      BigEndian(9, 4) + zlib.substr(0, 2) + std::string(20, '\0'), BigEndian(9, 4),
                                      "\0\0"s, BigEndian(9, 4) + Deflate("")})
        EXPECT_EQ(title(broken, kCompressedFrame), "") << ::testing::PrintToString(broken);
    EXPECT_EQ(title(Compressed(Latin1("secret")), kCompressedFrame | kEncryptedFrame), "");
    EXPECT_EQ(title("\x01" + Latin1("secret"), kEncryptedFrame), "");
    const std::string bomb = Compressed(Latin1(std::string(id3v2::kMaxTagBytes + 1, 'b')));
    ASSERT_LT(bomb.size(), 100000u);
    EXPECT_EQ(title(bomb, kCompressedFrame), "");
}

// A text that cannot be finished never takes the next frame with it; a frame follows each case.
TEST(Id3v2HostileText, BrokenTextsNeverTakeTheNextFrameWithThem) {
    const std::vector<std::pair<std::string, std::string>> titles = {
        {"\x01\xFF\xFE" "A\0B"s, "A"},  {"\x01\xFF\xFE" "A"s, ""},     {"\x01\xFF\xFE"s, ""},
        {"\x01\xFF"s, ""},              {"\x01"s, ""},                 {"\x01\xFF\xFE" "A\0\0\0B\0"s, "A"},
        {"\x01\xFE\xFF\0A\0B"s, "AB"},  {"\x01\xFF\xFE\xFF\xFE" "A\0"s, "A"},
        {"\x01\xFF\xFE\x00\xD8" "A\0"s, "?A"},  {"\x03" "UTF-8"s, "UTF-8"}, {"\x02\0A"s, "A"},
    };
    for (const auto& [content, expected] : titles) {
        const Fields fields = ReadSafely(Tag23(Frame23("TIT2", content) + Frame23("TYER", Latin1("2000"))));
        EXPECT_EQ(fields[kTitle], expected) << ::testing::PrintToString(content);
        EXPECT_EQ(fields[kDate], "2000") << ::testing::PrintToString(content);
    }
    const std::vector<std::pair<std::string, std::string>> comments = {
        {"\0engdescription only"s, ""}, {"\0en"s, ""},  {"\x01" "eng"s, ""},
        {"\x01" "eng\xFF\xFE" "d\0\0\0\xFF\xFE" "t\0x"s, "t"},  {"\x01" "eng\xFF\xFE" "d\0\0"s, ""},
        {"\x01" "eng\0\0\xFF\xFE" "t\0"s, "t"},  {"\x03" "eng\0text"s, "text"},
    };
    for (const auto& [content, expected] : comments) {
        const Fields fields = ReadSafely(Tag23(Frame23("COMM", content) + Frame23("TALB", Latin1("kept"))));
        EXPECT_EQ(fields[kComment], expected) << ::testing::PrintToString(content);
        EXPECT_EQ(fields[kAlbum], "kept") << ::testing::PrintToString(content);
    }
    std::mt19937 random(4);
    const std::string alphabet = "\0\x01\x02\x03\xFF\xFE" "Ae"s;
    auto randomContent = [&] {
        std::string s(random() % 14, '\0');
        for (char& c : s) c = alphabet[random() % alphabet.size()];
        return s;
    };
    for (int i = 0; i < 2000; ++i) {
        const std::string tag = Tag23(Frame23("TIT2", randomContent()) + Frame23("COMM", randomContent()) +
                                      Frame23("TCON", randomContent()) + Frame23("TALB", Latin1("kept")));
        ASSERT_EQ(ReadSafely(tag)[kAlbum], "kept") << ::testing::PrintToString(tag);
    }
}

// The frame reader of the ID3v2 setting: a frame whose encoding byte names none of the four
// encodings holds no text, and the frames after it are read.
TEST(Id3v2HostileText, AnEncodingByteOfNoEncodingGivesNoText) {
    const std::vector<std::pair<std::string, int>> frames = {
        {"TIT2", kTitle}, {"COMM", kComment}, {"USLT", kLyrics}, {"TXXX", kEngineer}};
    for (char encoding : {'\x04', 'T', '\xFF'}) {
        for (const auto& [id, field] : frames) {
            const std::string content = encoding + "IENG\0Whole text"s;
            const id3v2::TagFields read = ReadTag(Tag23(Frame23(id, content) + Frame23("TALB", Latin1("kept"))));
            EXPECT_EQ(read.fields[field], "") << id << ::testing::PrintToString(encoding);
            EXPECT_EQ(read.frameOf[field], -1) << id;
            EXPECT_EQ(read.fields[kAlbum], "kept") << id;
        }
    }
}

namespace {

std::string LeadingTag(const std::string& corpusFile) {
    const std::string bytes = test::ReadFile(test::CorpusPath(corpusFile));
    const std::optional<id3v2::TagHeader> header = id3v2::ParseTagHeader(bytes);
    return header ? bytes.substr(0, id3v2::kHeaderBytes + header->bodySize) : std::string();
}

std::string Damaged(std::string tag, std::mt19937& random) {
    if (tag.size() <= 5) return tag;
    const size_t at = random() % tag.size();
    const uint32_t sizes[] = {0, 0x7F7F7F7F, ~0u, static_cast<uint32_t>(random())};
    switch (random() % 5) {
    case 0: tag[at] = static_cast<char>(random()); break;
    case 1: tag.replace(at, 4, BigEndian(sizes[random() % 4], 4)); break;  // a size field, maybe
    case 2: tag.resize(at); break;
    case 3: tag.insert(at, tag.substr(at, random() % 64)); break;
    default: tag[5] = static_cast<char>(random()); break;  // the header flags
    }
    return tag;
}

}  // namespace

TEST(Id3v2HostileRandom, DamagedTagsNeverBreakTheReader) {
    const std::vector<std::string> tags = {
        LeadingTag("id3v2/v22_script.mp3"),          LeadingTag("id3v2/v23_latin1_mutagen.mp3"),
        LeadingTag("id3v2/v23_utf16_japanese_mutagen.mp3"), LeadingTag("thirdparty/mutagen/too-short.mp3"),
        LeadingTag("thirdparty/mutagen/bad-xing.mp3"), LeadingTag("thirdparty/taglib/itunes10.mp3"),
        Tag23(kFrames),                              Tag23(Unsynchronise(kFrames), kUnsynchronisedTag),
        Tag23(BigEndian(6, 4) + std::string(6, '\0') + kFrames, kExtendedHeaderTag),
        Tag(2, Frame22("TT2", Utf16(u"題名")) + Frame22("COM", Comment("c")) + Frame22("TCO", Latin1("(1)"))),
    };
    std::mt19937 random(20240611);
    int titles = 0;
    for (const std::string& tag : tags) {
        ASSERT_GT(tag.size(), id3v2::kHeaderBytes);
        for (int i = 0; i < 300; ++i) {
            std::string damaged = Damaged(tag, random);
            for (int more = random() % 4; more > 0; --more) damaged = Damaged(damaged, random);
            titles += !ReadSafely(damaged)[kTitle].empty();
            if (HasFailure()) FAIL() << ::testing::PrintToString(damaged);
        }
    }
    EXPECT_GT(titles, 600);  // much of the damage leaves the title readable
}
