// What our writers leave, read back by ffprobe: the tags it sees and the audio packets it
// finds, which must be the same bytes as before the write. ffprobe comes with ffmpeg, which
// is large and installed only on request (WVR_LARGE_ORACLES=1); without it these are skipped.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "formats/Id3v1.h"
#include "formats/id3v2/TaggedMpegWriter.h"
#include "formats/RiffInfo.h"
#include "formats/SoundVq.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

class FfprobePeer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HasTool("ffprobe")) GTEST_SKIP() << "ffprobe is not installed (make deps WVR_LARGE_ORACLES=1)";
    }
    std::string Probe(const std::string& what, const std::string& path) {
        return test::RunTool("ffprobe -v error " + what + " '" + path + "' 2>/dev/null");
    }
    // The sizes of the audio packets ffprobe reads, summed.
    long long PacketBytes(const std::string& path) {
        long long sum = 0, size = 0;
        for (std::istringstream lines(Probe("-show_entries packet=size -of csv=p=0", path)); lines >> size;) sum += size;
        return sum;
    }

    test::TempDir dir;
    test::ScriptedPrompter prompter;
    GenreTable genres;
};

TEST_F(FfprobePeer, ReadsTheInfoTextsAndTheWholeAudioOfAWave) {
    const std::string path = test::CopyCorpusFile("riff/wave_mp3_ffmpeg_info.wav", dir);
    const std::string tags = "-show_entries format_tags=title,artist,album,comment,genre -of default=nw=1";
    const long long audioBefore = PacketBytes(path);
    EXPECT_EQ(audioBefore, 32600);
    const std::string before = Probe(tags, path);
    ASSERT_NE(before.find("TAG:title=Wave Title"), std::string::npos) << before;

    TrackInfo row;
    row.Path = path;
    row.Kind = std::to_string(static_cast<int>(FileKind::RiffWave));
    row.Fields[kTitle] = "Peer Title";
    row.Fields[kArtist] = "Peer Artist";
    row.Fields[kAlbum] = "Peer Album";
    row.Fields[kComment] = "Peer Comment";
    row.Fields[kGenre] = "Speech";
    ASSERT_TRUE(WriteRiffInfo(row, BuildId3v1Tag(row, genres), false, prompter));
    const std::string after = Probe(tags, path);
    for (const char* line : {"TAG:title=Peer Title\n", "TAG:artist=Peer Artist\n", "TAG:album=Peer Album\n",
                             "TAG:comment=Peer Comment\n", "TAG:genre=Speech\n"})
        EXPECT_NE(after.find(line), std::string::npos) << line << " in\n" << after;
    EXPECT_EQ(PacketBytes(path), audioBefore);
}

TEST_F(FfprobePeer, ReadsTheSoundVqHeaderWeWrote) {
    const std::string path = test::CopyCorpusFile("vqf/vqf_full_script.vqf", dir);
    const long long packetsBefore = PacketBytes(path);
    ASSERT_GT(packetsBefore, 0);

    TrackInfo row;
    row.Path = path;
    row.FileName = std::filesystem::path(path).filename().string();
    row.Kind = std::to_string(static_cast<int>(FileKind::SoundVq));
    row.Fields[kTitle] = "Peer Title";
    row.Fields[kArtist] = "Artist";
    row.Fields[kComment] = "Peer Comment";
    row.Fields[kCopyright] = "Owner";
    row.Fields[kMp3Field] = "x";
    ASSERT_TRUE(WriteSoundVqTags(row, genres, prompter));
    // ffprobe names "(c) " copyright and "AUTH" author: our artist and copyright columns.
    EXPECT_EQ(Probe("-show_entries format_tags=title,comment,copyright,author,filename,size -of default=nw=1", path),
              "TAG:title=Peer Title\nTAG:comment=Peer Comment\nTAG:copyright=Artist\nTAG:filename=" + row.FileName +
                  "\nTAG:author=Owner\nTAG:size=6000\n");
    EXPECT_EQ(PacketBytes(path), packetsBefore);
}

// A new ID3v2 tag for an ID3v1-only Shift-JIS file: the Japanese in both versions, the audio as it was.
TEST_F(FfprobePeer, ReadsTheJapaneseOfANewId3v2Tag) {
    for (const int major : {3, 4}) {
        const std::string path = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir);
        const long long packetsBefore = PacketBytes(path);
        TrackInfo row;
        row.Path = path;
        row.Fields[kTitle] = test::Sjis("春の小川");
        row.Fields[kArtist] = test::Sjis("山田太郎");
        ASSERT_TRUE(CreateId3v2Tag(row, major, prompter));
        EXPECT_EQ(Probe("-show_entries format_tags=title,artist -of default=nw=1", path),
                  "TAG:title=春の小川\nTAG:artist=山田太郎\n") << major;
        EXPECT_EQ(PacketBytes(path), packetsBefore) << major;
    }
}

}  // namespace
