#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "formats/SjisText.h"
#include "formats/id3v2/SixTexts.h"
#include "formats/id3v2/TaggedMpeg.h"
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

Fields ReadCorpusFile(const std::string& relative, ScriptedPrompter&) {
    test::TempDir dir;
    fs::File file;
    EXPECT_TRUE(file.Open(test::CopyCorpusFile(relative, dir), fs::File::Mode::Read));
    Fields fields = MarkedFields();
    const auto texts = id3v2::ReadSixTexts(file);
    std::copy(texts.begin(), texts.end(), fields.begin());
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

// Other kinds too, and a compressed frame that does not inflate.
TEST(Id3v2Corpus, EveryThirdPartyFileReadsWithoutHarm) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorpusPath("thirdparty"))) {
        if (entry.path().extension() != ".mp3") continue;
        SCOPED_TRACE(entry.path().filename());
        ScriptedPrompter prompter;
        const Fields fields = ReadCorpusFile(
            "thirdparty/" + entry.path().parent_path().filename().string() + "/" + entry.path().filename().string(),
            prompter);
        for (const std::string& text : fields) EXPECT_LE(text.size(), id3v2::kMaxSixTextBytes);
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
    const Fields fields = Read(tag, prompter);
    EXPECT_EQ(fields[kTitle], "  padded  ");  // the row trims, not the reader
    EXPECT_EQ(fields[kArtist], "");           // absent
    EXPECT_EQ(fields[kAlbum], "one");         // the first item
    EXPECT_EQ(fields[kComment], "first");     // the first frame of its id, as every peer reads it
    EXPECT_EQ(fields[kDate], "1999");
    EXPECT_EQ(fields[kGenre], "(17)");        // no genre-number conversion
    EXPECT_EQ(fields[kSubject], kUntouched);
    // A frame whose encoding byte names no encoding is no frame: the next of its id is read.
    const std::string noEncoding = Tag23(Frame23("TIT2", "\x05title"s) + Frame23("TIT2", Latin1("second")));
    EXPECT_EQ(Read(noEncoding, prompter)[kTitle], "second");
}

// 8-bit texts are raw bytes up to the first zero and 1024 bytes; UTF-16 becomes CP932.
TEST(Id3v2Text, TextsAreCutAt1024BytesAndUtf16BecomesCp932) {
    auto title = [](const std::string& content) {
        ScriptedPrompter prompter;
        return Read(Tag23(Frame23("TIT2", content)), prompter)[kTitle];
    };
    EXPECT_EQ(title(Latin1("ab\0cd"s)), "ab");
    EXPECT_EQ(title(Latin1(Sjis("シフトJIS"))), Sjis("シフトJIS"));
    EXPECT_EQ(title(Latin1(std::string(5000, 'a'))), std::string(1024, 'a'));
    // A double-byte character that would straddle the limit is left out whole.
    EXPECT_EQ(title(Latin1(std::string(1023, 'a') + Sjis("あ"))), std::string(1023, 'a'));
    EXPECT_EQ(title(Utf16(u"山田花子")), Sjis("山田花子"));
    EXPECT_EQ(title("\x01\xFF\xFE\xFF\xFE" "a\0b\0"s), "ab");  // marks lead once or more
    EXPECT_EQ(title("\x01" "a\0b\0"s), "ab");                     // no mark: little-endian
    EXPECT_EQ(title("\x01\xFE\xFF\0a\0b"s), "ab");
    // What CP932 lacks, and lone surrogates, become "?".
    EXPECT_EQ(title(Utf16(u"ハングル한 \u00E9 \U0001F600")), Sjis("ハングル") + "? ? ?");
    EXPECT_EQ(title(Utf16(u"a\xD800" u"b\xDC00"s)), "a?b?");
    EXPECT_EQ(title(Utf16(std::u16string(3000, u'z'))), std::string(1024, 'z'));
}
