#include <gtest/gtest.h>

#include <filesystem>
#include <id3/readers.h>
#include <sstream>
#include <stdexcept>

#include "formats/Id3v2.h"
#include "formats/Id3v2Text.h"
#include "formats/SjisText.h"
#include "id3v2_tags.h"

using namespace wvr;
using namespace wvr::test::id3;
using wvr::test::ScriptedPrompter;
using wvr::test::Sjis;

namespace {

// --- the corpus manifests

struct ManifestRow {
    std::string file;
    std::array<std::string, 6> texts;  // title, artist, album, comment, date, genre
};

// Manifest texts are UTF-8 with bytes that CP932 cannot decode written as \xNN. The single bytes
// A0 and FD-FF appear as U+F8F0-U+F8F3 (the Windows mapping), which iconv does not take back.
std::string ManifestBytes(const std::string& text) {
    std::string out, run;
    auto flush = [&] {
        out += Sjis(run);
        run.clear();
    };
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            flush();
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 4;
        } else if (text.compare(i, 2, "\xEF\xA3") == 0 && i + 3 <= text.size() &&
                   static_cast<uint8_t>(text[i + 2]) >= 0xB0 && static_cast<uint8_t>(text[i + 2]) <= 0xB3) {
            flush();
            out += "\xA0\xFD\xFE\xFF"[static_cast<uint8_t>(text[i + 2]) - 0xB0];
            i += 3;
        } else {
            run += text[i++];
        }
    }
    flush();
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
    return cells;
}

// The rows of kind 4 (MPEG with a leading ID3v2 tag below 2.4), paths relative to the corpus.
std::vector<ManifestRow> Id3v2Rows(const std::string& manifest, const std::string& folder) {
    std::vector<ManifestRow> rows;
    std::istringstream in(test::ReadFile(test::CorpusPath(manifest)));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0) continue;
        const std::vector<std::string> cells = SplitTabs(line);
        if (cells.size() < 14 || cells[2] != "4") continue;
        ManifestRow row{folder + cells[0], {}};
        for (size_t i = 0; i < row.texts.size(); ++i) row.texts[i] = ManifestBytes(cells[8 + i]);
        rows.push_back(row);
    }
    return rows;
}

Fields ReadCorpusFile(const std::string& relative, ScriptedPrompter& prompter) {
    test::TempDir dir;
    fs::File file;
    EXPECT_TRUE(file.Open(test::CopyCorpusFile(relative, dir), fs::File::Mode::Read));
    Fields fields = MarkedFields();
    ReadId3v2(file, fields, prompter);
    return fields;
}

void ExpectBasicFields(const Fields& fields, const std::array<std::string, 6>& expected) {
    static const char* const names[] = {"title", "artist", "album", "comment", "date", "genre"};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(sjis::Trim(fields[i]), expected[i]) << names[i];
    for (int i = kGenre + 1; i < kFieldCount; ++i) EXPECT_EQ(fields[i], kUntouched) << "field " << i;
}

}  // namespace

TEST(Id3v2Corpus, EveryTagGivesTheManifestTexts) {
    std::vector<ManifestRow> rows = Id3v2Rows("MANIFEST.tsv", "");
    for (ManifestRow& row : Id3v2Rows("thirdparty/MANIFEST.tsv", "thirdparty/")) rows.push_back(row);
    ASSERT_GE(rows.size(), 15u);  // 6 made for the program, the rest from other projects' test data
    for (const ManifestRow& row : rows) {
        SCOPED_TRACE(row.file);
        ScriptedPrompter prompter;
        ExpectBasicFields(ReadCorpusFile(row.file, prompter), row.texts);
        EXPECT_TRUE(prompter.shown().empty());
    }
}

TEST(Id3v2Corpus, JapaneseInUtf16AndShiftJisInLatin1) {
    ScriptedPrompter prompter;
    Fields utf16 = ReadCorpusFile("id3v2/v23_utf16_japanese_mutagen.mp3", prompter);
    EXPECT_EQ(utf16[kTitle], Sjis("さくら"));
    EXPECT_EQ(utf16[kComment], Sjis("日本語コメント"));
    Fields sjis = ReadCorpusFile("id3v2/v23_sjis_in_latin1_mutagen.mp3", prompter);
    EXPECT_EQ(sjis[kTitle], Sjis("桜の歌"));
    EXPECT_EQ(sjis[kDate], "");  // its date is in a frame of 2.4
}

TEST(Id3v2Corpus, TrailingId3v1IsNotMerged) {
    ScriptedPrompter prompter;
    Fields fields = ReadCorpusFile("id3v2/v23_title_only_plus_v1.mp3", prompter);
    EXPECT_EQ(fields[kTitle], "Song");
    for (int i = kArtist; i <= kGenre; ++i) EXPECT_EQ(fields[i], "") << i;
}

// Files of other kinds too, and the compressed frame that crashes id3lib when it reads the file.
TEST(Id3v2Corpus, EveryThirdPartyFileReadsWithoutHarm) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath("thirdparty"))) {
        if (entry.path().extension() != ".mp3") continue;
        const std::string relative = "thirdparty/" + entry.path().parent_path().filename().string() + "/" +
                                     entry.path().filename().string();
        SCOPED_TRACE(relative);
        ScriptedPrompter prompter;
        Fields fields = ReadCorpusFile(relative, prompter);
        for (const std::string& text : fields) EXPECT_LE(text.size(), id3v2::kMaxFieldBytes);
        EXPECT_TRUE(prompter.shown().empty());
        ++files;
    }
    EXPECT_GE(files, 19);
}

TEST(Id3v2Corpus, Version24IsNotRead) {
    ScriptedPrompter prompter;
    Fields fields = ReadCorpusFile("id3v2/v24_mutagen_notlisted.mp3", prompter);
    EXPECT_EQ(fields[kTitle], "");
}

// --- frames to fields

TEST(Id3v2Frames, EachFrameFillsItsField) {
    const std::string tag = Tag23(Frame23("TCON", Latin1("(17)")) + Frame23("TYER", Latin1("1999")) +
                                  Frame23("TPE2", Latin1("band")) + Frame23("COMM", Comment("note")) +
                                  Frame23("TALB", Latin1("album")) + Frame23("TPE1", Latin1("lead")) +
                                  Frame23("TIT2", Latin1("title")) + std::string(64, '\0'));
    ScriptedPrompter prompter;
    Fields fields = Read(tag, prompter);
    ExpectBasicFields(fields, {"title", "lead", "album", "note", "1999", "(17)"});
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(Id3v2Frames, ThreeLetterFramesOfVersion22) {
    const std::string tag = Tag(2, Frame22("TT2", Latin1("t")) + Frame22("TP1", Latin1("a")) +
                                       Frame22("TAL", Latin1("b")) + Frame22("COM", Comment("c")) +
                                       Frame22("TYE", Latin1("1997")) + Frame22("TCO", Latin1("(12)")));
    ScriptedPrompter prompter;
    ExpectBasicFields(Read(tag, prompter), {"t", "a", "b", "c", "1997", "(12)"});
}

TEST(Id3v2Frames, FirstCommentWinsAndTextsAreTakenAsStored) {
    const std::string tag = Tag23(Frame23("COMM", Comment("first")) + Frame23("COMM", Comment("second")) +
                                  Frame23("TIT2", Latin1("  padded  ")) + Frame23("TPE1", Latin1(std::string("one\0two", 7))));
    ScriptedPrompter prompter;
    Fields fields = Read(tag, prompter);
    EXPECT_EQ(fields[kComment], "first");
    EXPECT_EQ(fields[kTitle], "  padded  ");  // the row trims, not the reader
    EXPECT_EQ(fields[kArtist], "one");        // first item
}

TEST(Id3v2Frames, AbsentFramesLeaveTheirFields) {
    ScriptedPrompter prompter;
    Fields fields = MarkedFields();
    fields[kArtist] = "before";
    ReadId3v2Tag(Tag23(Frame23("TIT2", Latin1("only"))), fields, prompter);
    EXPECT_EQ(fields[kTitle], "only");
    EXPECT_EQ(fields[kArtist], "before");
}

TEST(Id3v2Frames, Utf16FramesInEitherByteOrder) {
    const std::string bigEndian = std::string("\x01\xFE\xFF\x30\x42\x30\x44", 7);  // "あい"
    const std::string tag = Tag23(Frame23("TIT2", Utf16(u"桜の歌")) + Frame23("TPE1", bigEndian) +
                                  Frame23("TALB", Utf16(u"A\u00E9\u2160")) +  // CP932 has Ⅰ but no é
                                  Frame23("COMM", std::string("\x01jpn\xFF\xFE\0\0", 8) + "\xFF\xFE" +
                                                      Utf16LeBytes(u"注釈")));
    ScriptedPrompter prompter;
    Fields fields = Read(tag, prompter);
    EXPECT_EQ(fields[kTitle], Sjis("桜の歌"));
    EXPECT_EQ(fields[kArtist], Sjis("あい"));
    EXPECT_EQ(fields[kAlbum], "A?" + Sjis("Ⅰ"));
    EXPECT_EQ(fields[kComment], Sjis("注釈"));
}

TEST(Id3v2Frames, Utf8AndBigEndianEncodingsOfVersion24GiveNoText) {
    const std::string tag =
        Tag23(Frame23("TIT2", "\x03" + Sjis("x")) + Frame23("TPE1", std::string("\x02\x00\x41", 3)) +
              Frame23("TALB", Latin1("kept")));
    ScriptedPrompter prompter;
    Fields fields = Read(tag, prompter);
    EXPECT_EQ(fields[kTitle], "");
    EXPECT_EQ(fields[kArtist], "");
    EXPECT_EQ(fields[kAlbum], "kept");
}

// --- texts

TEST(Id3v2Text, EightBitTextsAreRawBytesUpToTheFirstZero) {
    EXPECT_EQ(id3v2::EightBitFieldText(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(id3v2::EightBitFieldText(Sjis("シフトJIS")), Sjis("シフトJIS"));
    EXPECT_EQ(id3v2::EightBitFieldText("\xE9t\xE9"), "\xE9t\xE9");
    EXPECT_EQ(id3v2::EightBitFieldText(""), "");
}

TEST(Id3v2Text, FieldsStopAt1024BytesWithoutSplittingACharacter) {
    EXPECT_EQ(id3v2::EightBitFieldText(std::string(5000, 'a')), std::string(1024, 'a'));
    const std::string straddling = std::string(1023, 'a') + Sjis("あ");
    EXPECT_EQ(id3v2::EightBitFieldText(straddling), std::string(1023, 'a'));
    const std::string fitting = std::string(1022, 'a') + Sjis("あ") + "b";
    EXPECT_EQ(id3v2::EightBitFieldText(fitting), std::string(1022, 'a') + Sjis("あ"));

    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(3000, u'z')), std::string(1024, 'z'));
    const std::string kana = id3v2::Utf16FieldText(std::u16string(700, u'か'));
    EXPECT_EQ(kana.size(), 1024u);
    EXPECT_EQ(kana.substr(1022), Sjis("か"));
    EXPECT_EQ(id3v2::Utf16FieldText(u"a" + std::u16string(700, u'か')).size(), 1023u);
}

TEST(Id3v2Text, Utf16ByteOrderMarksAndEnds) {
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFEFFabc"), "abc");
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFEFF\uFEFFabc"), "abc");
    // A reversed mark: the units after it were read in the wrong order.
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFFFE\u6100\u6200"), "ab");
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFFFE\uFFFE\u6100"), "a");  // reversed, then a plain mark
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFEFF"), "");
    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(id3v2::Utf16FieldText(u"x\uFEFFy"), "x?y");  // a mark inside is no mark
}

TEST(Id3v2Text, Utf16CharactersCp932LacksBecomeQuestionMarks) {
    EXPECT_EQ(id3v2::Utf16FieldText(u"山田花子"), Sjis("山田花子"));
    EXPECT_EQ(id3v2::Utf16FieldText(u"a\U0001F600b"), "a?b");                // surrogate pair
    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(u"a\xD800" u"b")), "a?b");  // lone high
    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(u"a\xDC00")), "a?");       // lone low
    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(u"\xD800")), "?");
    EXPECT_EQ(id3v2::Utf16FieldText(u"ハングル한"), Sjis("ハングル") + "?");
}

// --- errors of the library

namespace {

class FailingReader : public ID3_MemoryReader {
public:
    using ID3_MemoryReader::ID3_MemoryReader;
    size_type readChars(char_type[], size_type) override { throw std::runtime_error("read failed"); }
};

}  // namespace

TEST(Id3v2Errors, ALibraryErrorIsShownInAPlainBoxAndEndsTheReading) {
    const std::string tag = Tag23(Frame23("TIT2", Latin1("title")));
    FailingReader reader(tag.data(), tag.size());
    ScriptedPrompter prompter;
    Fields fields = MarkedFields();
    ReadId3LibTexts(reader, fields, prompter);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "read failed");
    EXPECT_EQ(prompter.shown()[0].title, "wvr");
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::None);
    EXPECT_EQ(prompter.shown()[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(fields[kTitle], "");
    EXPECT_EQ(fields[kMp3Field], kUntouched);
}

TEST(Id3v2Errors, AFileThatCannotBeReadGivesNothing) {
    test::TempDir dir;
    test::WriteFile(dir / "short.mp3", "ID3\x03");
    fs::File file;
    ASSERT_TRUE(file.Open(dir / "short.mp3", fs::File::Mode::Read));
    ScriptedPrompter prompter;
    Fields fields = MarkedFields();
    ReadId3v2(file, fields, prompter);
    EXPECT_EQ(fields, MarkedFields());
    EXPECT_TRUE(prompter.shown().empty());
}
