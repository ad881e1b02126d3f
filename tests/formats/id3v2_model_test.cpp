// The ID3v2 module as the ID3v2 reader and writer use it: what a tag reads as, what it renders
// as after a change, and where the audio behind it begins.
#include <gtest/gtest.h>

#include "formats/MpegFrames.h"
#include "formats/MpegHeader.h"
#include "formats/id3v2/TagRender.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "id3v2_tags.h"
#include "platform/base/Cp932.h"

using namespace wvr;
using namespace wvr::test::id3;
using wvr::test::Sjis;

namespace {

using FieldBits = std::bitset<kFieldCount>;

// A tag with the row's texts rendered anew: the empty tag of `major` given every field.
std::string Rendered(int major, const Fields& fields) {
    const std::string empty = Tag(static_cast<uint8_t>(major), std::string(16, '\0'));
    const auto header = id3v2::ParseTagHeader(empty);
    id3v2::TagBytesWindow window(empty);
    const auto walked = id3v2::WalkTag(window, *header, empty.size());
    const auto read = id3v2::ReadTagFields(window, walked, GenreTable{});
    return *id3v2::RenderChangedTag(empty, walked, read, fields, FieldBits().set());
}

// The tag after `fields` replace those of `tag`.
std::optional<std::string> Changed(const std::string& tag, const Fields& fields, FieldBits changed) {
    auto header = id3v2::ParseTagHeader(tag);
    header->footer = id3v2::HasFooterAt(*header, tag.substr(std::min<size_t>(tag.size(), 10 + header->bodySize)));
    const std::string plain = id3v2::PlainTagBytes(tag, *header);
    id3v2::TagBytesWindow window(plain);
    const auto walked = id3v2::WalkTag(window, *header, plain.size());
    return id3v2::RenderChangedTag(plain, walked, id3v2::ReadTagFields(window, walked, GenreTable{}), fields, changed);
}

// Three MPEG-1 Layer III frames with third header byte `b2` and `at24` at offset 24 of the first.
std::string Audio(uint8_t b2 = 0x90, char at24 = 'U') {
    const std::string header = "\xFF\xFB"s + char(b2) + '\x64';
    std::string frame = header + std::string(ParseMpegFrame(reinterpret_cast<const uint8_t*>(header.data()))->length - 4, 'U');
    std::string first = frame;
    first[24] = at24;
    return first + frame + frame;
}
const std::string kAudio = Audio();

}  // namespace

TEST(Id3v2Model, EveryFieldReadsBackAsRenderedInEachVersion) {
    Fields fields;
    for (int f = 0; f < kFieldCount; ++f) fields[f] = f % 3 == 0 ? "ascii " + std::to_string(f) : Sjis("日本語の欄") + char('a' + f);
    fields[kGenre] = "Jazz";
    for (int major : {2, 3, 4}) {
        const std::string tag = Rendered(major, fields);
        EXPECT_EQ(tag[3], char(major));
        EXPECT_EQ(ReadTag(tag).fields, fields) << major;
        // Rendering the read tag with no change gives the same bytes.
        EXPECT_EQ(Changed(tag, fields, FieldBits().set()), tag) << major;
    }
}

// The frames the program never changes, and the padding, as the tag had them.
TEST(Id3v2Model, AChangeKeepsEveryOtherFrameAndTheVersion) {
    const std::string others22 = Frame22("TDA", Latin1("0304")) + Frame22("TIM", Latin1("1200")) +
                                 Frame22("RVA", "\x03\x10\x00\x40\x00\x40"s) + Frame22("ZZZ", "unknown");
    const std::string tag22 = Tag(2, Frame22("TT2", Latin1("Old")) + Frame22("TYE", Latin1("2010")) + others22 +
                                         std::string(200, '\0'));
    Fields fields = ReadTag(tag22).fields;
    fields[kTitle] = "New";
    const std::string changed = *Changed(tag22, fields, FieldBits().set(kTitle));
    EXPECT_EQ(changed.size(), tag22.size());  // the padding took the difference
    EXPECT_EQ(changed[3], '\x02');
    EXPECT_NE(changed.find(others22), std::string::npos);
    EXPECT_EQ(ReadTag(changed).fields[kDate], "2010");
    EXPECT_EQ(ReadTag(changed).fields[kTitle], "New");

    // A grown tag gets new padding; a footer stays a footer ("3DI") and takes no padding.
    const std::string small = Tag(3, Frame23("TIT2", Latin1("x")));
    fields = {};
    fields[kLyrics] = std::string(500, 'l');
    const std::string grown = *Changed(small, fields, FieldBits().set(kLyrics));
    EXPECT_EQ(grown.size(), small.size() + id3v2::RenderFieldFrame(kLyrics, fields[kLyrics], 3).size() + 2048);
    std::string footed = Tag(4, Frame24("TIT2", Latin1("x")), id3v2::kFooterFlag);
    footed += "3DI" + footed.substr(3, 7);
    const auto header = id3v2::ParseTagHeader(footed);
    ASSERT_TRUE(id3v2::HasFooterAt(*header, footed.substr(footed.size() - 10)));
    std::string withFooter = Tag(4, Frame24("TIT2", Latin1("x")) + std::string(10, '\0'));
    EXPECT_FALSE(id3v2::HasFooterAt(*header, withFooter.substr(withFooter.size() - 10)));
    fields = {};
    fields[kTitle] = "longer";
    const std::string refooted = *Changed(footed, fields, FieldBits().set(kTitle));
    EXPECT_EQ(refooted.substr(refooted.size() - 10, 3), "3DI");
    EXPECT_EQ(refooted.size(), footed.size() + 5);
    EXPECT_EQ(ReadTag(refooted).fields[kTitle], "longer");
}

TEST(Id3v2Model, FramesAreReadAsPeersReadThem) {
    struct Case {
        const char* what;
        std::string tag;
        int field;
        std::string text;
    };
    const std::string huge = std::string(70000, 'a') + Sjis("あ");
    const Case cases[] = {
        {"described comment gives way", Tag(3, Frame23("COMM", "\0engiTunPGAP\0000"s) + Frame23("COMM", Comment("plain"))),
         kComment, "plain"},
        {"UTF-16BE", Tag(4, Frame24("TIT2", "\x02\x30\x42\x30\x44"s)), kTitle, Sjis("あい")},
        {"UTF-8", Tag(4, Frame24("TPE1", "\x03" + std::string("\xE6\x97\xA5"))), kArtist, Sjis("日")},
        {"genre number", Tag(3, Frame23("TCON", Latin1("(100)"))), kGenre, "Humour"},
        {"bare genre number", Tag(3, Frame23("TCON", Latin1("17"))), kGenre, "Rock"},
        {"genre refinement", Tag(3, Frame23("TCON", Latin1("(17)Indie Rock"))), kGenre, "Indie Rock"},
        {"2.4 genres", Tag(4, Frame24("TCON", "\x00" "13\x00Jazz"s)), kGenre, "Pop/Jazz"},
        {"zero-size frame", Tag(3, Frame23("TPE2", "") + Frame23("TIT2", Latin1("after"))), kTitle, "after"},
        {"2.4 extended-header flag, no extended header", Tag(4, Frame24("TIT2", Latin1("t")), id3v2::kExtendedHeader),
         kTitle, "t"},
        {"2.4 extended header", Tag(4, "\0\0\0\x06\x01\0"s + Frame24("TIT2", Latin1("e")), id3v2::kExtendedHeader),
         kTitle, "e"},
        {"broken compressed frame", Tag(3, Frame23("TALB", BigEndian(9, 4) + "no zlib", kCompressedFrame) +
                                               Frame23("TIT2", Latin1("kept"))),
         kTitle, "kept"},
        {"2.4 unsynchronised frame", Tag(4, Frame24("TIT2", Unsynchronise(Utf16(u"\u00FF\u00FF")), 0x02)), kTitle, "??"},
        {"64 KiB cut whole", Tag(3, Frame23("TIT2", Latin1(huge))), kTitle, std::string(65536, 'a')},
    };
    for (const Case& c : cases) {
        const std::string read = ReadTag(c.tag).fields[c.field];
        EXPECT_TRUE(read == c.text) << c.what << ": " << read.substr(0, 80) << " (" << read.size() << " bytes)";
    }
    EXPECT_TRUE(ReadTag(cases[std::size(cases) - 1].tag).lossy[kTitle]);
    EXPECT_FALSE(ReadTag(cases[0].tag).lossy[kComment]);
    // 65,535 bytes and a double-byte character: the cut leaves the character out whole.
    const std::string cut = ReadTag(Tag(3, Frame23("TIT2", Utf16(std::u16string(65535, u'a') + u"あ")))).fields[kTitle];
    EXPECT_TRUE(cut == std::string(65535, 'a')) << cut.size();
}

// A large tag is read frame by frame from the file, its extended header skipped.
TEST(Id3v2Model, ALargeTagOnDiskReadsAsAWholeOne) {
    test::TempDir dir;
    const std::string frames = "\0\0\0\x06\0\0\0\0\0\0"s + Frame23("APIC", std::string(200000, 'p')) +
                               Frame23("TIT2", Latin1("late")) + std::string(100, '\0');
    const std::string tag = Tag(3, frames, id3v2::kExtendedHeader);
    test::WriteFile(dir / "big.mp3", tag + kAudio);
    fs::File file;
    ASSERT_TRUE(file.Open(dir / "big.mp3", fs::File::Mode::Read));
    id3v2::ReadBytes head;
    id3v2::ReadInto(file, 0, 10, head);
    const auto located = id3v2::LocateTaggedMpeg(file, std::move(head));
    ASSERT_TRUE(located);
    EXPECT_FALSE(located->tagWhole);
    EXPECT_EQ(located->audioStart, tag.size());
    EXPECT_EQ(id3v2::ReadTaggedFields(file, *located, GenreTable{}).fields[kTitle], "late");
}

// The audio behind a tag starts at a real frame header, confirmed by the next one.
TEST(Id3v2Model, TheFirstFrameIsARealOne) {
    const std::string bom = "\x01\xFF\xFE" "T\0"s;  // FF FE: a UTF-16 mark, no frame header
    const std::string reserved[] = {"\xFF\xEB\x90\x64"s, "\xFF\xF9\x90\x64"s, "\xFF\xFB\xF0\x64"s, "\xFF\xFB\x9C\x64"s};
    for (const std::string& junk : reserved) EXPECT_EQ(FindFirstFrame(junk + kAudio), 4u) << ::testing::PrintToString(junk);
    EXPECT_EQ(FindFirstFrame(bom + kAudio), bom.size());
    // A lone valid header not followed where its length says by another is passed over.
    EXPECT_EQ(FindFirstFrame("\xFF\xFB\x90\x64xxxx"s + kAudio), 8u);

    test::TempDir dir;
    auto locate = [&](const std::string& bytes) {
        test::WriteFile(dir / "f.mp3", bytes);
        fs::File file;
        EXPECT_TRUE(file.Open(dir / "f.mp3", fs::File::Mode::Read));
        // The header alone, and all the bytes: the tag and audio are found the same way.
        id3v2::ReadBytes header, whole;
        id3v2::ReadInto(file, 0, 10, header);
        id3v2::ReadInto(file, 0, bytes.size(), whole);
        auto fromHeader = *id3v2::LocateTaggedMpeg(file, std::move(header));
        const auto fromWhole = *id3v2::LocateTaggedMpeg(file, std::move(whole));
        EXPECT_EQ(fromHeader.audioStart, fromWhole.audioStart);
        EXPECT_EQ(fromHeader.first.b0, fromWhole.first.b0);
        return fromHeader;
    };
    const std::string tag = Tag(3, Frame23("TIT2", Latin1("t")));
    EXPECT_EQ(locate(tag + std::string(5000, '\0') + kAudio).audioStart, tag.size() + 5000);  // the wide look
    // A footer flag with no footer: the audio right after the tag is audio.
    const std::string noFooter = Tag(4, Frame24("TIT2", Latin1("t")), id3v2::kFooterFlag);
    EXPECT_EQ(locate(noFooter + kAudio).tagEnd, noFooter.size());
    // The variable-bit-rate marker needs both bits 5 and 4 of the third byte, and an "X".
    EXPECT_EQ(locate(tag + Audio(0x90, 'X')).first.b0, 0xFF);
    EXPECT_EQ(locate(tag + Audio(0xA0, 'X')).first.b0, 0xFF);
    EXPECT_EQ(locate(tag + Audio(0xB0, 'U')).first.b0, 0xFF);
    EXPECT_EQ(locate(tag + Audio(0xB0, 'X')).first.b0, 0);
}

TEST(Id3v2Model, AXingCountGivesTheTruePlayTime) {
    // A first frame holding "Xing" with 2,297 frames of 1,152 samples at 44.1 kHz: 60 seconds.
    std::string frame = "\xFF\xFB\x90\x64"s + std::string(413, '\0');
    frame.replace(4 + 32, 12, "Xing\0\0\0\x03\0\0\x08\xF9"s);
    frame.replace(4 + 32 + 12, 4, BigEndian(1000000, 4));
    const auto header = ParseMpegFrame(reinterpret_cast<const uint8_t*>(frame.data()));
    const auto count = ReadStreamCount(frame, *header);
    ASSERT_TRUE(count);
    EXPECT_EQ(count->frames, 2297u);
    const AudioInfo info = FormatCountedAudioInfo({0xFF, 0xFB, 0x90}, *count, 2000000, 1);
    EXPECT_EQ(info.seconds, 60);
    EXPECT_EQ(info.infoText, "MP3 VBR 133kbit  44.1KHz 060sec ");
    frame.replace(4 + 32, 4, "Info");
    EXPECT_EQ(FormatCountedAudioInfo({0xFF, 0xFB, 0x90}, *ReadStreamCount(frame, *header), 2000000, 1).infoText,
              "MP3 128kbit  44.1KHz 060sec ");
}

namespace {

std::string Latin1Bytes(std::string_view utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<uint8_t>(utf8[i]);
        out += c < 0x80 ? char(c) : char((c & 0x1F) << 6 | (static_cast<uint8_t>(utf8[++i]) & 0x3F));
    }
    return out;
}

}  // namespace

// Latin-1 frames hold Western text or, from old Japanese taggers, Shift-JIS: names from both
// sides, each read alone as the only text of its tag.
TEST(Id3v2Model, Latin1TextsAreReadAsWhatTheyAre) {
    const char* western[] = {
        "Björk", "Début", "Motörhead", "Händel", "Éric Serra", "© 2004 Sony", "Die Ärzte", "Sigur Rós",
        "Mötley Crüe", "Beyoncé", "Françoise Hardy", "Ça plane pour moi", "Dvorák", "Ærøskøbing", "Zoë Keating",
        "Café del Mar", "Niño", "Señorita", "José González", "Amélie", "Révolution", "Für Elise",
        "Straße", "Gérard Depardieu", "Édith Piaf", "Mañana", "Sinéad O'Connor", "Röyksopp", "Mylène Farmer",
        "Léo Ferré", "Céline Dion", "Ennio Morricone ®", "Kärleken", "Jürgen", "Öresund", "Ólafur Arnalds",
        "Tiësto", "Maná", "Alizée", "Groß", "Coração", "Canção do Mar", "Touché Amoré",
    };
    // Each alone, and several of them in one tag (title, artist, album): a tag is read as a whole.
    std::vector<std::string> westernBytes;
    for (const char* name : western) {
        westernBytes.push_back(Latin1Bytes(name));
        EXPECT_NE(id3v2::GuessLatin1Texts({westernBytes.back()}), id3v2::Latin1Reading::Japanese) << name;
    }
    for (size_t i = 0; i + 3 <= westernBytes.size(); i += 3)
        EXPECT_EQ(id3v2::GuessLatin1Texts({westernBytes[i], westernBytes[i + 1], westernBytes[i + 2]}),
                  id3v2::Latin1Reading::Western)
            << western[i] << ", " << western[i + 1] << ", " << western[i + 2];
    const char* japanese[] = {
        "さくら", "桜の歌", "歌手の名前", "山田花子", "東京事変", "宇多田ヒカル", "椎名林檎", "ｽﾋﾟｯﾂ",
        "ﾃｽﾄ", "ミスター・チルドレン", "サザンオールスターズ", "浜崎あゆみ", "安室奈美恵", "中島みゆき",
        "松任谷由実", "坂本龍一", "久石譲", "ドラゴンクエスト", "交響曲第９番", "夜空ノムコウ", "世界に一つだけの花",
        "髙橋優", "山﨑まさよし", "ⅰ 序曲", "￢テスト", "ポルノグラフィティ", "いきものがかり", "日本 Rock", "J-POPの歌",
        "第1楽章", "愛", "ｱﾆﾒ", "風の谷のナウシカ", "となりのトトロ", "千と千尋", "君の名は。", "紅白歌合戦",
        "演歌", "ＡＢＣ", "初音ミク", "ゆず", "GLAYのベスト",
    };
    for (const char* name : japanese) {
        const std::string bytes = cp932::Text(name);
        EXPECT_EQ(id3v2::GuessLatin1Texts({bytes}), id3v2::Latin1Reading::Japanese) << name;
    }
}
