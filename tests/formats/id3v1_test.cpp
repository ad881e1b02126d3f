#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <sstream>

#include "formats/Id3v1.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

TrackInfo RowWith(const std::string& title) {
    TrackInfo row;
    row.Fields[kTitle] = title;
    return row;
}

std::string Bytes(const Id3v1Tag& tag, size_t offset, size_t width) {
    return std::string(reinterpret_cast<const char*>(tag.data() + offset), width);
}

}  // namespace

TEST(Id3v1Build, EmptyRowLayout) {
    GenreTable genres;
    Id3v1Tag tag = BuildId3v1Tag(TrackInfo{}, genres);
    EXPECT_EQ(Bytes(tag, 0, 3), "TAG");
    EXPECT_EQ(tag[3], 0);
    EXPECT_EQ(Bytes(tag, 4, 29), std::string(29, ' '));
    EXPECT_EQ(Bytes(tag, 33, 94), std::string(94, ' '));
    EXPECT_EQ(tag[127], 250);
}

TEST(Id3v1Build, TitleWidths) {
    GenreTable genres;
    std::string t30(30, 'a'), t31 = std::string(30, 'b') + "c", t29(29, 'd');
    EXPECT_EQ(Bytes(BuildId3v1Tag(RowWith(t30), genres), 3, 30), t30);
    EXPECT_EQ(Bytes(BuildId3v1Tag(RowWith(t31), genres), 3, 30), std::string(30, 'b'));
    EXPECT_EQ(Bytes(BuildId3v1Tag(RowWith(t29), genres), 3, 30), t29 + " ");
}

TEST(Id3v1Build, LeadByteAtTheCutBecomesZero) {
    GenreTable genres;
    // 29 ASCII bytes, then the first byte of "あ" (82 A0) at position 30.
    std::string title = std::string(29, 'x') + Sjis("あ");
    Id3v1Tag tag = BuildId3v1Tag(RowWith(title), genres);
    EXPECT_EQ(tag[3 + 29], 0);
    auto back = ParseId3v1(tag.data(), genres);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->title, std::string(29, 'x'));
}

// The field is walked by characters: a character that ends exactly at byte 30 is written whole
// even when its second byte lies in the lead range, one that would be cut is left out.
TEST(Id3v1Build, TheCutFallsBetweenCharacters) {
    GenreTable genres;
    const std::string digits = "0123456789012345678901234567";  // 28 bytes
    const std::pair<std::string, std::string> cases[] = {
        {digits + Sjis("メモ"), digits + Sjis("メ")},       // メ is 83 81
        {digits + "\x88\x9F", digits + "\x88\x9F"},
        {digits + "x" + Sjis("メ"), digits + "x" + '\0'},
        {digits + "x\x83", digits + "x" + '\0'},           // a lone lead byte at the end
        {digits + "x\x83 tail", digits + "x" + '\0'},
        {"ab\x83", "ab\x83" + std::string(27, ' ')},       // no cut: written as it stands
    };
    for (const auto& [title, field] : cases) EXPECT_EQ(Bytes(BuildId3v1Tag(RowWith(title), genres), 3, 30), field) << title;
}

TEST(Id3v1Build, YearIsPaddedOrCutWithoutLeadByteTest) {
    GenreTable genres;
    TrackInfo row;
    row.Fields[kDate] = "99";
    EXPECT_EQ(Bytes(BuildId3v1Tag(row, genres), 93, 4), "99  ");
    row.Fields[kDate] = "1999-12";
    EXPECT_EQ(Bytes(BuildId3v1Tag(row, genres), 93, 4), "1999");
}

TEST(Id3v1Build, GenreNumbers) {
    GenreTable genres;
    TrackInfo row;
    row.Fields[kGenre] = "bLuEs";
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 0);
    row.Fields[kGenre] = "";
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 250);
    row.Fields[kGenre] = "Anime";
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 145);
    genres.ownGenres = true;
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 255);
    row.Fields[kGenre] = "Fusion";
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 30);
    row.Fields[kGenre] = "Blues ";  // no trimming
    EXPECT_EQ(BuildId3v1Tag(row, genres)[127], 250);
}

TEST(Id3v1Build, AllFieldsAtTheirOffsets) {
    GenreTable genres;
    TrackInfo row;
    row.Fields[kTitle] = "T";
    row.Fields[kArtist] = "Ar";
    row.Fields[kAlbum] = "Al";
    row.Fields[kComment] = "C";
    row.Fields[kDate] = "2001";
    row.Fields[kGenre] = "Rock";
    Id3v1Tag tag = BuildId3v1Tag(row, genres);
    EXPECT_EQ(Bytes(tag, 3, 30), "T" + std::string(29, ' '));
    EXPECT_EQ(Bytes(tag, 33, 30), "Ar" + std::string(28, ' '));
    EXPECT_EQ(Bytes(tag, 63, 30), "Al" + std::string(28, ' '));
    EXPECT_EQ(Bytes(tag, 93, 4), "2001");
    EXPECT_EQ(Bytes(tag, 97, 30), "C" + std::string(29, ' '));
    EXPECT_EQ(tag[127], 17);
}

TEST(Id3v1Parse, TextsUpToZeroOrWholeAndGenreNames) {
    GenreTable genres;
    uint8_t block[128];
    std::memset(block, 0, sizeof block);
    std::memcpy(block, "TAG", 3);
    std::memset(block + 3, 'A', 30);  // no zero: 30 bytes
    std::memcpy(block + 33, "Artist  ", 8);
    block[127] = 255;
    auto t = ParseId3v1(block, genres);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->title, std::string(30, 'A'));
    EXPECT_EQ(t->artist, "Artist  ");
    EXPECT_EQ(t->genre, "");
    genres.ownGenres = true;
    EXPECT_EQ(ParseId3v1(block, genres)->genre, "Anime");
    block[127] = 200;
    EXPECT_EQ(ParseId3v1(block, genres)->genre, "");
    block[0] = 't';
    EXPECT_FALSE(ParseId3v1(block, genres));
}

class Id3v1Write : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    GenreTable genres;
};

TEST_F(Id3v1Write, OverwritesExistingTagAndKeepsTime) {
    std::string path = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir);
    auto before = test::ReadFile(path);
    timespec old{};
    old.tv_sec = 1000000000;
    ASSERT_TRUE(fs::SetLastWriteTime(path, {old}));
    Id3v1Tag tag = BuildId3v1Tag(RowWith("New"), genres);
    ASSERT_TRUE(WriteId3v1Tag(path, tag, prompter));
    auto after = test::ReadFile(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.substr(0, after.size() - 128), before.substr(0, before.size() - 128));
    EXPECT_EQ(0, std::memcmp(after.data() + after.size() - 128, tag.data(), 128));
    EXPECT_EQ(fs::ReadLastWriteTime(path)->mtime.tv_sec, old.tv_sec);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Id3v1Write, AppendsWhenNoTag) {
    std::string path = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir);
    auto before = test::ReadFile(path);
    ASSERT_TRUE(WriteId3v1Tag(path, BuildId3v1Tag(RowWith("x"), genres), prompter));
    auto after = test::ReadFile(path);
    EXPECT_EQ(after.size(), before.size() + 128);
    EXPECT_EQ(after.substr(0, before.size()), before);
    // Writing again overwrites: same length.
    ASSERT_TRUE(WriteId3v1Tag(path, BuildId3v1Tag(RowWith("y"), genres), prompter));
    EXPECT_EQ(test::ReadFile(path).size(), after.size());
}

TEST_F(Id3v1Write, ShortFileFailsSilently) {
    std::string path = test::CopyCorpusFile("mpeg/truncated_100_bytes.mp3", dir);
    auto before = test::ReadFile(path);
    EXPECT_FALSE(WriteId3v1Tag(path, BuildId3v1Tag(RowWith("x"), genres), prompter));
    EXPECT_EQ(test::ReadFile(path), before);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Id3v1Write, MissingFileFailsSilently) {
    EXPECT_FALSE(WriteId3v1Tag(dir / "nothing.mp3", BuildId3v1Tag(RowWith("x"), genres), prompter));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(Id3v1Write, UnopenableFileShowsTheOpenMessage) {
    std::string path = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    test::PermissionChecksEnforced checks;
    ASSERT_TRUE(checks.enforced()) << "root could not give up opening read-only files for writing";
    EXPECT_FALSE(WriteId3v1Tag(path, BuildId3v1Tag(RowWith("x"), genres), prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "ファイルを開けませんでした。\n" + path);
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
}

TEST_F(Id3v1Write, FailedAppendLeavesTheFileAsItWas) {
    std::string path = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir);
    auto before = test::ReadFile(path);
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "write") == 0; });
    EXPECT_FALSE(WriteId3v1Tag(path, BuildId3v1Tag(RowWith("x"), genres), prompter));
    fs::SetFaultHook(nullptr);
    EXPECT_EQ(test::ReadFile(path), before);
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"ID3Tagの書き込みに失敗しました。"});
}

// The block we write, read back by an independent reader (mutagen's ID3v1 parser). Texts are
// compared as bytes: mutagen reads them as Latin-1, which maps every byte to one character.
TEST_F(Id3v1Write, MutagenReadsBackWhatWeWrote) {
    if (!test::HasTool("/usr/bin/python3") ||
        std::system("/usr/bin/python3 -c 'import mutagen.id3' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mutagen is not installed (python3-mutagen)";
    const std::string path = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir);
    TrackInfo row;
    row.Fields[kTitle] = test::Sjis("春の小川 ソ表");
    row.Fields[kArtist] = "Artist";
    row.Fields[kAlbum] = test::Sjis("アルバム");
    row.Fields[kComment] = "Comment";
    row.Fields[kDate] = "1999";
    row.Fields[kGenre] = "Rock";
    ASSERT_TRUE(WriteId3v1Tag(path, BuildId3v1Tag(row, genres), prompter));

    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ParseID3v1\n"
        "data = open(sys.argv[1], 'rb').read()\n"
        "frames = ParseID3v1(data[-128:])\n"
        "for key in ('TIT2', 'TPE1', 'TALB', 'COMM', 'TDRC', 'TCON'):\n"
        "    text = str(frames[key].text[0]) if key in frames else ''\n"
        "    print(text.encode('latin-1', 'replace').hex() if key != 'TCON' else text)\n";
    test::WriteFile(dir / "read_v1.py", script);
    const std::string out = test::RunTool("/usr/bin/python3 '" + (dir / "read_v1.py") + "' '" + path + "'");
    auto hex = [](const std::string& bytes) {
        static const char* digits = "0123456789abcdef";
        std::string h;
        for (unsigned char b : bytes) h += {digits[b >> 4], digits[b & 15]};
        return h;
    };
    EXPECT_EQ(out, hex(row.Fields[kTitle]) + "\n" + hex("Artist") + "\n" + hex(row.Fields[kAlbum]) + "\n" +
                       hex("Comment") + "\n" + hex("1999") + "\n17\n");  // the genre by its number
}

// The standard names 0..147 as a peer reads them: mutagen's genre list. A few names keep the
// spelling of the format's first table ("Electonic", "Heaby Metal"), which later lists mended.
TEST(GenreTableTest, StandardNamesAgreeWithMutagen) {
    const std::set<int> speltAsOfOld = {40, 52, 59, 61, 67, 78, 81, 84, 85, 133, 135, 137};
    const std::string listed = test::RunTool(
        "/usr/bin/python3 -c 'from mutagen._constants import GENRES; print(\"\\n\".join(GENRES[:148]))' 2>/dev/null");
    if (listed.empty()) GTEST_SKIP() << "mutagen for /usr/bin/python3 is not installed (package python3-mutagen)";
    const GenreTable genres;
    std::istringstream lines(listed);
    int number = 0;
    for (std::string name; std::getline(lines, name); ++number) {
        if (speltAsOfOld.count(number)) continue;
        EXPECT_EQ(genres.GenreName(number).name, name) << number;
        EXPECT_EQ(genres.GenreNumber(name).number, number) << name;
    }
    EXPECT_EQ(number, 148);
}
