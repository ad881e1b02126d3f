#include <gtest/gtest.h>

#include <filesystem>
#include <id3/readers.h>
#include <sstream>
#include <stdexcept>

#include "formats/Id3v2Text.h"
#include "formats/SjisText.h"
#include "id3v2_tags.h"

using namespace wvr;
using namespace wvr::test::id3;
using wvr::test::ScriptedPrompter;
using wvr::test::Sjis;

namespace {

// Manifest texts are UTF-8 with bytes CP932 cannot decode written \xNN; the single bytes A0
// and FD-FF appear as U+F8F0-U+F8F3 (the Windows mapping), which iconv does not take back.
std::string ManifestBytes(const std::string& text) {
    std::string out, run;
    for (size_t i = 0; i < text.size();) {
        const auto third = i + 2 < text.size() ? static_cast<uint8_t>(text[i + 2]) : 0;
        std::string raw;
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            raw = static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 4;
        } else if (text.compare(i, 2, "\xEF\xA3") == 0 && third >= 0xB0 && third <= 0xB3) {
            raw = "\xA0\xFD\xFE\xFF"[third - 0xB0];
            i += 3;
        } else {
            run += text[i++];
            continue;
        }
        out += Sjis(run) + raw;
        run.clear();
    }
    return out + Sjis(run);
}

struct ManifestRow {
    std::string file;
    std::array<std::string, 6> texts;  // title, artist, album, comment, date, genre
};

// The rows of kind 4 (a leading ID3v2 tag below 2.4), with paths from the corpus folder.
std::vector<ManifestRow> Id3v2Rows(const std::string& folder) {
    std::vector<ManifestRow> rows;
    std::istringstream in(test::ReadFile(test::CorpusPath(folder + "MANIFEST.tsv")));
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> cells;
        std::istringstream cellsIn(line);
        for (std::string cell; std::getline(cellsIn, cell, '\t');) cells.push_back(cell);
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

}  // namespace

TEST(Id3v2Corpus, EveryTagGivesTheManifestTexts) {
    std::vector<ManifestRow> rows = Id3v2Rows("");
    for (const ManifestRow& row : Id3v2Rows("thirdparty/")) rows.push_back(row);
    ASSERT_GE(rows.size(), 15u);
    for (const ManifestRow& row : rows) {
        SCOPED_TRACE(row.file);
        ScriptedPrompter prompter;
        const Fields fields = ReadCorpusFile(row.file, prompter);
        for (size_t i = 0; i < row.texts.size(); ++i) EXPECT_EQ(sjis::Trim(fields[i]), row.texts[i]) << "field " << i;
        EXPECT_EQ(fields[kMp3Field], kUntouched);
        EXPECT_TRUE(prompter.shown().empty());
    }
}

// Other kinds too, and the compressed frame that crashes id3lib when it is given the file.
TEST(Id3v2Corpus, EveryThirdPartyFileReadsWithoutHarm) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath("thirdparty"))) {
        if (entry.path().extension() != ".mp3") continue;
        SCOPED_TRACE(entry.path().filename());
        ScriptedPrompter prompter;
        const Fields fields = ReadCorpusFile(
            "thirdparty/" + entry.path().parent_path().filename().string() + "/" + entry.path().filename().string(),
            prompter);
        for (const std::string& text : fields) EXPECT_LE(text.size(), id3v2::kMaxFieldBytes);
        EXPECT_TRUE(prompter.shown().empty());
        ++files;
    }
    EXPECT_GE(files, 19);
}

TEST(Id3v2Frames, EachFrameFillsItsFieldAsStored) {
    const std::string tag = Tag23(Frame23("TCON", Latin1("(17)")) + Frame23("COMM", Comment("first")) +
                                  Frame23("TPE2", Latin1("band")) + Frame23("TALB", Latin1("one\0two"s)) +
                                  Frame23("TIT2", Latin1("  padded  ")) + Frame23("TYER", Latin1("1999")) +
                                  Frame23("COMM", Comment("second")) + std::string(64, '\0'));
    ScriptedPrompter prompter;
    Fields fields = MarkedFields();
    fields[kArtist] = "before";
    ReadId3v2Tag(tag, fields, prompter);
    EXPECT_EQ(fields[kTitle], "  padded  ");  // the row trims, not the reader
    EXPECT_EQ(fields[kArtist], "before");     // absent: left alone
    EXPECT_EQ(fields[kAlbum], "one");         // the first item
    EXPECT_EQ(fields[kComment], "second");    // id3lib searches on from the album it found last
    EXPECT_EQ(fields[kDate], "1999");
    EXPECT_EQ(fields[kGenre], "(17)");        // no genre-number conversion
    EXPECT_EQ(fields[kSubject], kUntouched);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(Id3v2Text, EightBitTextsAreRawBytesUpToTheFirstZeroAnd1024Bytes) {
    EXPECT_EQ(id3v2::EightBitFieldText("ab\0cd"s), "ab");
    EXPECT_EQ(id3v2::EightBitFieldText(Sjis("シフトJIS")), Sjis("シフトJIS"));
    EXPECT_EQ(id3v2::EightBitFieldText(std::string(5000, 'a')), std::string(1024, 'a'));
    // A double-byte character that would straddle the limit is left out whole.
    EXPECT_EQ(id3v2::EightBitFieldText(std::string(1023, 'a') + Sjis("あ")), std::string(1023, 'a'));
    const std::string fits = std::string(1022, 'a') + Sjis("あ");
    EXPECT_EQ(id3v2::EightBitFieldText(fits + "b"), fits);
}

TEST(Id3v2Text, Utf16BecomesCp932) {
    EXPECT_EQ(id3v2::Utf16FieldText(u"山田花子"), Sjis("山田花子"));
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFEFF\uFEFFabc"), "abc");
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFFFE\u6100\u6200"), "ab");  // a reversed mark swaps what follows
    EXPECT_EQ(id3v2::Utf16FieldText(u"\uFFFE\uFFFE\u6100"), "a");   // ... up to a mark read the right way
    EXPECT_EQ(id3v2::Utf16FieldText(u"ab\0cd"s), "ab");
    // What CP932 lacks, and lone surrogates, become "?".
    EXPECT_EQ(id3v2::Utf16FieldText(u"ハングル한 \u00E9 \U0001F600"), Sjis("ハングル") + "? ? ?");
    EXPECT_EQ(id3v2::Utf16FieldText(u"a\xD800" u"b\xDC00"s), "a?b?");
    EXPECT_EQ(id3v2::Utf16FieldText(std::u16string(3000, u'z')), std::string(1024, 'z'));
    std::string kana = "a";
    for (int i = 0; i < 511; ++i) kana += Sjis("か");  // 1023 bytes: one more would not fit
    EXPECT_EQ(id3v2::Utf16FieldText(u"a" + std::u16string(700, u'か')), kana);
}

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
    const Prompt& box = prompter.shown()[0];
    EXPECT_EQ(box.text, "read failed");
    EXPECT_EQ(box.title, "wvr");
    EXPECT_EQ(box.icon, PromptIcon::None);
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
    EXPECT_EQ(fields, MarkedFields());
}
