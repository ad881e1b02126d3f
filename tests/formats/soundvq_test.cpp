#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "formats/Id3v1.h"
#include "formats/SoundVq.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;
using Fields = std::array<std::string, kFieldCount>;

namespace {

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

uint32_t Be32At(const std::string& bytes, size_t offset) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data() + offset);
    return static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

std::string Chunk(const std::string& id, const std::string& data) {
    return id + Be32(static_cast<uint32_t>(data.size())) + data;
}

// COMM for 20 kbit/s at 22 kHz, as the corpus files have it.
const std::string kComm = Chunk("COMM", Be32(0) + Be32(20) + Be32(22) + Be32(0));

std::string VqFile(const std::string& chunksAfterComm, const std::string& audio) {
    const std::string header = kComm + chunksAfterComm;
    return "TWIN97012000" + Be32(static_cast<uint32_t>(header.size())) + header + "DATA" + audio;
}

struct ReadResult {
    Fields fields;
    std::optional<long long> dsiz;
};

ReadResult ReadTags(const std::string& path) {
    ReadResult r;
    fs::File file;
    EXPECT_TRUE(file.Open(path, fs::File::Mode::Read)) << path;
    r.dsiz = ReadSoundVqTags(file, r.fields);
    return r;
}

ReadResult ReadBytes(const std::string& bytes) {
    test::TempDir dir;
    test::WriteFile(dir / "t.vqf", bytes);
    return ReadTags(dir / "t.vqf");
}

}  // namespace

// --- reading

TEST(SoundVqRead, CorpusHeaders) {
    auto full = ReadTags(test::CorpusPath("vqf/vqf_full_script.vqf"));
    EXPECT_EQ(full.dsiz, 6000);
    EXPECT_EQ(full.fields[kTitle], Sjis("ツインの曲"));
    EXPECT_EQ(full.fields[kArtist], Sjis("作曲者"));  // from "(c) "
    EXPECT_EQ(full.fields[kComment], Sjis("ＶＱＦのコメント"));
    EXPECT_EQ(full.fields[kCopyright], Sjis("著作権表示"));  // from "AUTH"
    EXPECT_EQ(full.fields[kMp3Field], "track01.vqf");
    EXPECT_EQ(full.fields[kAlbum], "");

    auto noDsiz = ReadTags(test::CorpusPath("vqf/vqf_unknown_chunk_nodsiz_script.vqf"));
    EXPECT_FALSE(noDsiz.dsiz);
    EXPECT_EQ(noDsiz.fields[kTitle], "No DSIZ");
    EXPECT_EQ(noDsiz.fields[kComment], "comment");
    EXPECT_EQ(noDsiz.fields[kCopyright], "Owner");

    auto year = ReadTags(test::CorpusPath("vqf/vqf_dsiz_after_unknown_id3v1_script.vqf"));
    EXPECT_EQ(year.dsiz, 4000);  // after the unknown "YEAR" chunk
    EXPECT_EQ(year.fields[kTitle], "Header name");
    EXPECT_EQ(year.fields[kArtist], "Header artist");
    EXPECT_EQ(year.fields[kDate], "");
}

TEST(SoundVqRead, ChunksAreToldApartByTheirFirstLetter) {
    auto r = ReadBytes(VqFile(Chunk("NAME", std::string("cut\0off", 7)) + Chunk("XTRA", "skipped") +
                                  Chunk("CMNT", "note") + Chunk("CXXM", "not a comment") + Chunk("DSIZ", Be32(300000)),
                              "audio"));
    EXPECT_EQ(r.fields[kTitle], "cut");
    EXPECT_EQ(r.fields[kComment], "note");  // a "C" chunk whose fourth letter is "M" is skipped
    EXPECT_EQ(r.dsiz, 300000);
    for (int i : {kArtist, kAlbum, kDate, kGenre, kCopyright, kMp3Field}) EXPECT_EQ(r.fields[i], "") << i;
}

TEST(SoundVqRead, BrokenHeadersEndQuietly) {
    // A header size far beyond the file, a text chunk claiming 4 GB, a DSIZ too short to hold its
    // number, a run of empty chunks, and files cut short anywhere in the header.
    auto huge = ReadBytes("TWIN97012000" + Be32(0xFFFFFFFF) + kComm + Chunk("AUTH", "me") + "NAME" +
                          Be32(0xFFFFFFF0) + "partial");
    EXPECT_EQ(huge.fields[kCopyright], "me");
    EXPECT_EQ(huge.fields[kTitle], "partial");
    EXPECT_FALSE(huge.dsiz);

    std::string empties;
    for (int i = 0; i < 100000; ++i) empties += Chunk("ZERO", "");
    auto many = ReadBytes(VqFile(empties + Chunk("DSIZ", Be32(7)), ""));
    EXPECT_FALSE(many.dsiz);  // beyond the chunk count a reader walks

    EXPECT_FALSE(ReadBytes(VqFile(Chunk("DSIZ", "ab"), "")).dsiz);
    const std::string whole = VqFile(Chunk("NAME", "title") + Chunk("DSIZ", Be32(9)), "audio");
    for (size_t cut : {0, 10, 14, 20, 45, 50}) {
        SCOPED_TRACE(cut);
        auto r = ReadBytes(whole.substr(0, cut));
        EXPECT_FALSE(r.dsiz);
    }
}

TEST(SoundVqInfo, PropertyTextAndPlayTime) {
    AudioInfo info = SoundVqInfoText({0, 20, 22}, 300000);
    EXPECT_EQ(info.infoText, "SoundVQ 20kbit 22KHz 120sec ");
    EXPECT_EQ(info.seconds, 120);
    EXPECT_EQ(SoundVqInfoText({0, 20, 22}, 6000).infoText, "SoundVQ 20kbit 22KHz 002sec ");
    EXPECT_EQ(SoundVqInfoText({0, 8, 11}, 10000000).infoText, "SoundVQ 8kbit 11KHz 10000sec ");
    // No bit rate: no play time, and no division by zero.
    info = SoundVqInfoText({0, 0, 44}, 300000);
    EXPECT_EQ(info.infoText, "SoundVQ 0kbit 44KHz 000sec ");
    EXPECT_EQ(info.seconds, 0);
    // A file shorter than its tag area has a negative audio size.
    EXPECT_EQ(SoundVqInfoText({0, 20, 22}, -100).seconds, 0);
    EXPECT_EQ(SoundVqInfoText({0, 255, 255}, 255 * 125).infoText, "SoundVQ 255kbit 255KHz 001sec ");
}

// --- writing

class SoundVqWrite : public ::testing::Test {
protected:
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    GenreTable genres;

    static TrackInfo Row(const std::string& path) {
        TrackInfo row;
        row.Path = path;
        row.FileName = std::filesystem::path(path).filename().string();
        row.Kind = "15";
        row.Fields[kTitle] = Sjis("新しい題");
        row.Fields[kArtist] = "Artist";
        row.Fields[kAlbum] = "Album";
        row.Fields[kDate] = "2001";
        row.Fields[kGenre] = "Jazz";
        row.Fields[kCopyright] = "Owner";
        return row;
    }
    static std::string RowChunks(const TrackInfo& row, uint32_t audioBytes) {
        return Chunk("NAME", row.Fields[kTitle]) + Chunk("COMT", row.Fields[kComment]) +
               Chunk("(c) ", row.Fields[kArtist]) +
               (row.Fields[kMp3Field].empty() ? "" : Chunk("FILE", row.FileName)) +
               Chunk("AUTH", row.Fields[kCopyright]) + Chunk("DSIZ", Be32(audioBytes));
    }
    static void ExpectConsistent(const std::string& bytes) {
        const uint32_t headerSize = Be32At(bytes, 12);
        ASSERT_LE(16u + headerSize + 4, bytes.size());
        EXPECT_EQ(bytes.substr(16 + headerSize, 4), "DATA");
    }
};

TEST_F(SoundVqWrite, RewritesTheTagChunksAndKeepsCommAndAudio) {
    const std::string path = test::CopyCorpusFile("vqf/vqf_full_script.vqf", dir);
    const std::string before = test::ReadFile(path);
    timespec old{};
    old.tv_sec = 1000000000;
    ASSERT_TRUE(fs::SetLastWriteTime(path, {old}));

    TrackInfo row = Row(path);
    row.Fields[kMp3Field] = "track01.vqf";
    row.FileName = "renamed.vqf";  // the FILE chunk holds the row's current name
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));

    const std::string audio = before.substr(before.size() - 6000);
    const std::string header = before.substr(16, 24) + RowChunks(row, 6000);
    const std::string after = test::ReadFile(path);
    EXPECT_EQ(after, "TWIN97012000" + Be32(static_cast<uint32_t>(header.size())) + header + "DATA" + audio);
    EXPECT_NE(after.find(Chunk("COMT", "")), std::string::npos);  // an empty comment: size 0
    ExpectConsistent(after);
    EXPECT_EQ(fs::ReadLastWriteTime(path)->mtime.tv_sec, old.tv_sec);
    EXPECT_TRUE(prompter.shown().empty());

    auto back = ReadTags(path);
    EXPECT_EQ(back.dsiz, 6000);
    EXPECT_EQ(back.fields[kTitle], row.Fields[kTitle]);
    EXPECT_EQ(back.fields[kArtist], "Artist");
    EXPECT_EQ(back.fields[kCopyright], "Owner");
    EXPECT_EQ(back.fields[kMp3Field], "renamed.vqf");

    // Without a file-name field the FILE chunk goes.
    row.Fields[kMp3Field] = "";
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));
    EXPECT_EQ(test::ReadFile(path).find("FILE"), std::string::npos);
    EXPECT_EQ(test::ReadFile(path).substr(test::ReadFile(path).size() - 6000), audio);
}

TEST_F(SoundVqWrite, OtherHeaderChunksAndAllAudioAreCarriedOver) {
    // No DSIZ: the row's AudioSize would be the file length minus 128, which is not the audio.
    const std::string path = test::CopyCorpusFile("vqf/vqf_unknown_chunk_nodsiz_script.vqf", dir);
    const std::string before = test::ReadFile(path);
    const TrackInfo row = Row(path);
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));

    const std::string header = kComm + Chunk("ALBM", "Unknown chunk") + RowChunks(row, 4000);
    EXPECT_EQ(test::ReadFile(path),
              "TWIN97012000" + Be32(static_cast<uint32_t>(header.size())) + header + "DATA" + before.substr(122));
    EXPECT_EQ(ReadTags(path).dsiz, 4000);
}

TEST_F(SoundVqWrite, ATrailingId3BlockIsWrittenAfreshFromTheRow) {
    const std::string path = test::CopyCorpusFile("vqf/vqf_dsiz_after_unknown_id3v1_script.vqf", dir);
    const std::string before = test::ReadFile(path);
    const TrackInfo row = Row(path);
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));

    const std::string after = test::ReadFile(path);
    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    const std::string header = kComm + Chunk("YEAR", "1999") + RowChunks(row, 4000);
    EXPECT_EQ(after, "TWIN97012000" + Be32(static_cast<uint32_t>(header.size())) + header + "DATA" +
                         before.substr(150, 4000) + std::string(reinterpret_cast<const char*>(block.data()), 128));
    auto tag = ParseId3v1(reinterpret_cast<const uint8_t*>(after.data() + after.size() - 128), genres);
    ASSERT_TRUE(tag);
    EXPECT_EQ(tag->album, "Album" + std::string(25, ' '));
    EXPECT_EQ(tag->genre, "Jazz");
}

TEST_F(SoundVqWrite, ThePropertyBytesStayWhereTheLoaderTakesThem) {
    // COMM holds 4 bytes: the bit rate (offset 31) is the last letter of "(c) " and the sampling
    // rate (offset 35) the low byte of its size. A write once moved "(c) " and changed both.
    const std::string path = test::CopyCorpusFile("regress/vqf_short_comm.vqf", dir);
    const std::string before = test::ReadFile(path);
    auto properties = [](const std::string& bytes) { return std::string{bytes[27], bytes[31], bytes[35]}; };
    TrackInfo row = Row(path);
    row.Fields[kArtist] = "A new artist, 22 bytes";
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));
    const std::string after = test::ReadFile(path);
    EXPECT_EQ(properties(after), properties(before));
    EXPECT_EQ(after.substr(16, 12 + 8), before.substr(16, 12) + Chunk("(c) ", row.Fields[kArtist]).substr(0, 8));
    EXPECT_EQ(ReadTags(path).fields[kTitle], row.Fields[kTitle]);
    EXPECT_TRUE(prompter.shown().empty());

    // An artist of another length would change the sampling rate: refused, the file as it was.
    row.Fields[kArtist] = "Artist";
    EXPECT_FALSE(WriteSoundVqTags(row, genres, prompter));
    EXPECT_EQ(test::ReadFile(path), after);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルの構造が標準的でないため、書き込みを中止しました。\n" + path});
    EXPECT_EQ(test::EntriesIn(dir.path()), 1u);
}

TEST_F(SoundVqWrite, DsizStaysTheDeclaredAudioLength) {
    // An APE tag follows the 1000 bytes of audio: it is carried over and is no audio.
    const std::string path = test::CopyCorpusFile("regress/vqf_ape_after_data.vqf", dir);
    const std::string before = test::ReadFile(path);
    fs::File file;
    ASSERT_TRUE(file.Open(path, fs::File::Mode::Read));
    TrackInfo row = Row(path);
    row.Fields = {};
    ReadSoundVqTags(file, row.Fields);
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));
    EXPECT_EQ(test::ReadFile(path), before);  // nothing changed, so nothing moved
    EXPECT_EQ(ReadTags(path).dsiz, 1000);
}

TEST_F(SoundVqWrite, ATimeThatCannotBeSetBackLeavesTheWriteDoneWithoutAWord) {
    const std::string path = test::CopyCorpusFile("vqf/vqf_full_script.vqf", dir);
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "utime") == 0; });
    const bool written = WriteSoundVqTags(Row(path), genres, prompter);
    fs::SetFaultHook(nullptr);
    EXPECT_TRUE(written);
    EXPECT_EQ(ReadTags(path).fields[kArtist], "Artist");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(SoundVqWrite, HeadersWithoutDataEndAbnormally) {
    const std::string good = VqFile(Chunk("NAME", "t"), "audio");
    const std::vector<std::string> broken = {
        "TWIN97012000" + Be32(40) + kComm + "DAT",           // header size past the end
        VqFile(Chunk("NAME", "t"), "audio").replace(49, 4, "DATX"),  // no "DATA" where the size says
        "TWIN97012000" + Be32(kComm.size() + 8) + kComm + "NAME" + Be32(50) + "DATA",  // a chunk running over "DATA"
        "TWIN97012000" + Be32(8) + "COMM" + Be32(100) + "DATA",  // COMM running over "DATA"
        "TWIN",
    };
    for (const std::string& bytes : broken) {
        SCOPED_TRACE(bytes.size());
        prompter.Clear();
        test::WriteFile(dir / "bad.vqf", bytes);
        EXPECT_FALSE(WriteSoundVqTags(Row(dir / "bad.vqf"), genres, prompter));
        EXPECT_EQ(test::ReadFile(dir / "bad.vqf"), bytes);
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].text, "異常終了します。");
        EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::None);
        EXPECT_EQ(prompter.shown()[0].title, "wvr");
    }
    // The well-formed file of the same shape is written.
    test::WriteFile(dir / "good.vqf", good);
    EXPECT_TRUE(WriteSoundVqTags(Row(dir / "good.vqf"), genres, prompter));
    EXPECT_EQ(test::EntriesIn(dir.path()), 2u);

    // A file that is not there fails without a word.
    prompter.Clear();
    EXPECT_FALSE(WriteSoundVqTags(Row(dir / "missing.vqf"), genres, prompter));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(SoundVqWrite, TooLittleFreeSpaceIsShownAndNothingChanges) {
    const std::string path = test::CopyCorpusFile("vqf/vqf_full_script.vqf", dir);
    const std::string head = test::ReadFile(path);
    auto free = fs::FreeSpace(path);
    ASSERT_TRUE(free);
    // A sparse file that claims more than the volume has left.
    const uint64_t size = *free + 1;
    std::error_code ec;
    std::filesystem::resize_file(path, size, ec);
    if (ec) GTEST_SKIP() << "the file system cannot hold a sparse file of " << size << " bytes: " << ec.message();

    EXPECT_FALSE(WriteSoundVqTags(Row(path), genres, prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, dir.path() + "/ドライブの残り容量が足りません。");
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Warning);
    EXPECT_EQ(std::filesystem::file_size(path), size);
    fs::File file;
    ASSERT_TRUE(file.Open(path, fs::File::Mode::Read));
    std::string start(head.size(), '\0');
    ASSERT_TRUE(file.ReadExact(0, start.data(), start.size()));
    EXPECT_EQ(start, head);
    EXPECT_EQ(test::EntriesIn(dir.path()), 1u);
}
