// Format conversion: the bytes of each target, read back by our own readers (and ffprobe when
// installed), and the run's rules: skips, questions, free space, deletion, dates and failures
// that leave no file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/commands/AddFiles.h"
#include "app/commands/Convert.h"
#include "formats/Id3v1.h"
#include "formats/MpegRiff.h"
#include "formats/RiffChunks.h"
#include "platform/base/FileOps.h"
#include "support/FaultInjection.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;

namespace {

constexpr time_t kOldTime = 1000000000;
const std::string kCbr128 = "mpeg/cbr128_44k_notag.mp3";       // MPEG-1 layer III 128k 44.1k, mono
const std::string kTagged = "mpeg/sjis_title30_leadbyte.mp3";   // the same stream with an ID3v1 block
const std::string kMpeg2 = "mpeg/mpeg2_16k_16khz_v1latin.mp3";  // MPEG-2 16k, with an ID3v1 block
const std::string kRmp = "riff/rmp3_full_info_script.rmp";
const std::string kOddRmp = "riff/rmp3_odd_data_no_icmt_script.rmp";
const std::string kWave = "riff/wave_mp3_ffmpeg_info.wav";      // INFO before the data

std::string Le32(uint32_t v) { return riff::Le32(v); }

class ConvertTest : public ::testing::Test {
protected:
    // Reads the file as the program lists it and appends the row, checked.
    int Add(const std::string& path) {
        WorkList work{path};
        AddFiles(session, work, {}, prompter);
        const int row = session.rows.size() - 1;
        session.rows.Mutable(row).Checked = true;
        return row;
    }
    int AddCopy(const std::string& corpus, const std::string& name) {
        return Add(test::CopyCorpusFile(corpus, dir, name));
    }
    static TrackInfo ReadBack(const std::string& path) {
        Session s;
        ScriptedPrompter quiet;
        WorkList work{path};
        AddFiles(s, work, {}, quiet);
        return s.rows.empty() ? TrackInfo{} : s.rows[0];
    }
    ConvertReport Run(ConvertTarget target) {
        return ConvertCommand(session, ConvertibleRows(session), target, prompter, nullptr);
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
    Session session;
    ScriptedPrompter prompter;
};

TEST_F(ConvertTest, TaggedMp3ToRmp3CarriesTheAudioAndTheTags) {
    const std::string source = test::CopyCorpusFile(kTagged, dir, "a.mp3");
    const std::string before = test::ReadFile(source);
    const int row = Add(source);
    session.rows.Mutable(row).Fields[kTitle] = "Title";
    const ConvertReport report = Run(ConvertTarget::Rmp3);
    ASSERT_EQ(report.written, std::vector<std::string>{dir / "a.rmp"});
    EXPECT_TRUE(session.rows.empty());
    EXPECT_EQ(test::ReadFile(source), before);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"変換が終了しました。"});

    const std::string out = test::ReadFile(dir / "a.rmp");
    const std::string audio = before.substr(0, before.size() - kId3v1Size);
    ASSERT_GT(out.size(), 20 + audio.size());
    EXPECT_EQ(out.substr(0, 4), "RIFF");
    EXPECT_EQ(riff::ReadLe32(out.data() + 4), out.size() - 8);
    EXPECT_EQ(out.substr(8, 8), "RMP3data");
    EXPECT_EQ(riff::ReadLe32(out.data() + 16), audio.size());
    EXPECT_EQ(out.substr(20, audio.size()), audio);
    // The list is last, the ID3v1 block its last sub-chunk and so the file's last 128 bytes.
    EXPECT_EQ(out.substr(out.size() - kId3v1Size - 8, 8), "IID3" + Le32(128));
    EXPECT_EQ(out.substr(out.size() - kId3v1Size, 8), "TAGTitle");

    const TrackInfo back = ReadBack(dir / "a.rmp");
    EXPECT_EQ(back.KindCode(), 3);
    EXPECT_EQ(back.Fields[kTitle], "Title");
    EXPECT_EQ(back.Fields[kSoftware], "wvr ver 1.10");
}

// The data chunk's bytes wherever the chunk stands: behind an INFO list too (ffmpeg's layout).
TEST_F(ConvertTest, RiffToMp3IsTheDataChunkWithAFreshBlock) {
    for (const std::string& corpus : {kRmp, kWave}) {
        const std::string source = test::CopyCorpusFile(corpus, dir, "b" + corpus.substr(corpus.size() - 4));
        const int row = Add(source);
        const TrackInfo track = session.rows[row];
        Run(ConvertTarget::Mp3);
        const std::string bytes = test::ReadFile(source);
        const size_t data = bytes.find("data", riff::kHeaderSize + riff::kTypeSize);
        ASSERT_NE(data, std::string::npos) << corpus;
        const std::string audio = bytes.substr(data + riff::kHeaderSize, riff::ReadLe32(bytes.data() + data + 4));
        const Id3v1Tag block = BuildId3v1Tag(track, session.genres);
        EXPECT_EQ(test::ReadFile(dir / "b.mp3"), audio + std::string(block.begin(), block.end())) << corpus;
        const TrackInfo back = ReadBack(dir / "b.mp3");
        EXPECT_EQ(back.KindCode(), 1);
        EXPECT_EQ(back.Fields[kArtist], track.Fields[kArtist].substr(0, 30));
        std::filesystem::remove(dir / "b.mp3");
    }
}

TEST_F(ConvertTest, WaveTargetHasTheFormatChunkAsTabled) {
    const std::string source = test::CopyCorpusFile(kCbr128, dir, "c.mp3");
    const std::string audio = test::ReadFile(source);  // no tag: all of it is audio
    Add(source);
    Run(ConvertTarget::Wave);
    const std::string out = test::ReadFile(dir / "c.wav");
    ASSERT_GT(out.size(), 58u);
    const std::string format = std::string("\x55\x00\x01\x00", 4) + Le32(44100) + Le32(16000) +
                               std::string("\x01\x00\x00\x00\x0c\x00\x01\x00", 8) + Le32(2) +
                               std::string("\xa1\x01\x01\x00\x71\x05", 6);
    EXPECT_EQ(out.substr(8, 12), "WAVEfmt " + Le32(30));
    EXPECT_EQ(out.substr(20, 30), format);  // mono: the stream's first frame is single channel
    EXPECT_EQ(out.substr(50, 8), "data" + Le32(audio.size()));
    EXPECT_EQ(out.substr(58, audio.size()), audio);
    const size_t pad = audio.size() % 2;
    EXPECT_EQ(out.substr(58 + audio.size() + pad, 4), "LIST");
    const TrackInfo back = ReadBack(dir / "c.wav");
    EXPECT_EQ(back.KindCode(), 2);
    EXPECT_EQ(back.InfoText.substr(0, 22), "WAV 128kbit  44.1KHz 0");

    if (!test::HasTool("ffprobe")) GTEST_SKIP() << "ffprobe is not installed";
    const std::string probe = test::RunTool("ffprobe -v error -show_entries stream=codec_name,sample_rate -of csv=p=0 '" +
                                            dir / "c.wav" + "'");
    EXPECT_EQ(probe, "mp3,44100\n");
}

TEST_F(ConvertTest, FormatChunkFieldsFollowTheFirstFrame) {
    const uint8_t jointStereo128[4] = {0xFF, 0xFB, 0x90, 0x44};
    const std::string format = WaveFormatData(jointStereo128);
    EXPECT_EQ(format.substr(2, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(format.substr(4, 8), Le32(44100) + Le32(16000));
    const uint8_t mpeg2At22k[4] = {0xFF, 0xF3, 0x80, 0xC0};  // 64 kbit/s, single channel
    EXPECT_EQ(WaveFormatData(mpeg2At22k).substr(2, 10), std::string("\x01\x00", 2) + Le32(22050) + Le32(8000));
    const uint8_t freeFormat[4] = {0xFF, 0xFB, 0x00, 0x00};
    EXPECT_EQ(WaveFormatData(freeFormat).substr(8, 4), Le32(0));
    EXPECT_TRUE(IsWaveStandardStream(jointStereo128));
    const uint8_t at192[4] = {0xFF, 0xFB, 0xB0, 0x44};
    EXPECT_FALSE(IsWaveStandardStream(at192));
}

TEST_F(ConvertTest, OtherStreamsGoToWaveOnlyWithWavCnvAndFailQuietlyOtherwise) {
    const std::string source = test::CopyCorpusFile(kMpeg2, dir, "d.mp3");
    const std::string before = test::ReadFile(source);
    Add(source);
    const ConvertReport report = Run(ConvertTarget::Wave);
    EXPECT_TRUE(report.written.empty());
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"d.mp3"});
    EXPECT_EQ(test::ReadFile(source), before);
    ASSERT_EQ(session.rows.size(), 1);
    EXPECT_TRUE(session.rows[0].Checked);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"d.mp3\n\n以上のファイルがエラーで変換できませんでした。"});
    EXPECT_TRUE(prompter.shown().back().icon == PromptIcon::Warning);

    session.settings.Set(Option::WavCnv, true);
    EXPECT_EQ(Run(ConvertTarget::Wave).written.size(), 1u);
    EXPECT_EQ(ReadBack(dir / "d.wav").KindCode(), 2);
}

TEST_F(ConvertTest, OddDataGetsItsPadAndRowsInTheTargetFormAreSkipped) {
    const std::string odd = test::CopyCorpusFile(kOddRmp, dir, "e.rmp");
    Add(odd);
    AddCopy(kWave, "f.wav");
    const ConvertReport report = Run(ConvertTarget::Wave);
    EXPECT_EQ(report.written, std::vector<std::string>{dir / "e.wav"});
    ASSERT_EQ(session.rows.size(), 1);  // f.wav is a WAVE file already
    EXPECT_EQ(session.rows[0].FileName, "f.wav");
    const std::string in = test::ReadFile(odd), out = test::ReadFile(dir / "e.wav");
    const uint32_t size = riff::ReadLe32(in.data() + 16);
    ASSERT_EQ(size % 2, 1u);
    EXPECT_EQ(out.substr(58, size), in.substr(20, size));
    EXPECT_EQ(out.substr(58 + size, 5), std::string("\0LIST", 5));
}

TEST_F(ConvertTest, SameNameIsRefusedAndAnExistingTargetIsReplacedOnlyAfterYes) {
    // An RMP3 file named .wav would become itself.
    AddCopy(kRmp, "g.wav");
    Run(ConvertTarget::Wave);
    EXPECT_EQ(prompter.texts()[0], "変換元のファイル名と変換先のファイル名が同じです。");
    EXPECT_EQ(prompter.texts()[1], "変換が終了しました。");
    EXPECT_EQ(session.rows.size(), 1);
    session.rows.Clear();
    prompter.Clear();

    // Through a link the target is the source itself.
    const std::string real = test::CopyCorpusFile(kCbr128, dir, "h.mp3");
    std::filesystem::create_symlink(real, dir / "h.rmp");
    Add(real);
    Run(ConvertTarget::Rmp3);
    EXPECT_EQ(prompter.texts()[0], "変換元のファイル名と変換先のファイル名が同じです。");
    EXPECT_EQ(test::ReadFile(real), test::ReadFile(test::CorpusPath(kCbr128)));
    session.rows.Clear();
    prompter.Clear();

    test::WriteFile(dir / "i.rmp", "keep me");
    Add(test::CopyCorpusFile(kCbr128, dir, "i.mp3"));
    prompter.Answer(PromptAnswer::No);
    Run(ConvertTarget::Rmp3);
    // The question names the file it is about.
    EXPECT_EQ(prompter.texts()[0], "同じ名前のファイルが存在します。上書きしますか？\n" + dir / "i.rmp");
    EXPECT_EQ(test::ReadFile(dir / "i.rmp"), "keep me");
    prompter.Answer(PromptAnswer::Yes);
    EXPECT_EQ(Run(ConvertTarget::Rmp3).written.size(), 1u);
    EXPECT_EQ(ReadBack(dir / "i.rmp").KindCode(), 3);
}

TEST_F(ConvertTest, DeleteSourceAndDateAndEngineer) {
    const std::string source = test::CopyCorpusFile(kCbr128, dir, "j.mp3");
    ASSERT_TRUE(fs::SetLastWriteTime(source, {{kOldTime, 0}}));
    Add(source);
    session.settings.Set(Option::CnvEndDel, true);
    session.settings.Set(Option::CnvDate, true);
    session.settings.CnvEngineer = "Eng";
    Run(ConvertTarget::Rmp3);
    EXPECT_FALSE(fs::Exists(source));
    EXPECT_EQ(fs::ReadLastWriteTime(dir / "j.rmp").value().mtime.tv_sec, kOldTime);
    EXPECT_EQ(ReadBack(dir / "j.rmp").Fields[kEngineer], "Eng");
}

TEST_F(ConvertTest, OnlyTheFileNamesExtensionChanges) {
    std::filesystem::create_directory(dir / "x.mp3");
    const std::string source = test::CopyCorpusFile(kCbr128, dir, "x.mp3/k");
    EXPECT_EQ(ConvertTargetPath(source, ConvertTarget::Rmp3), source);
    EXPECT_EQ(ConvertTargetPath(dir / "x.mp3/k.v1.mp3", ConvertTarget::Wave), dir / "x.mp3/k.v1.wav");
}

bool FailEveryWrite(const char* operation, uint64_t) { return std::string(operation) == "write"; }
bool FailTheLink(const char* operation, uint64_t) { return std::string(operation) == "link"; }

TEST_F(ConvertTest, AFailedWriteLeavesNoTargetAndTheSourceAsItWas) {
    for (auto hook : {FailEveryWrite, FailTheLink}) {
        session.rows.Clear();
        const std::string source = test::CopyCorpusFile(kTagged, dir, "l.mp3");
        Add(source);
        fs::SetFaultHook(hook);
        const ConvertReport report = Run(ConvertTarget::Wave);
        fs::SetFaultHook(nullptr);
        EXPECT_TRUE(report.written.empty());
        EXPECT_EQ(report.failed, std::vector<std::string>{"l.mp3"});
        EXPECT_EQ(FolderNames(), std::vector<std::string>{"l.mp3"});
        EXPECT_EQ(test::ReadFile(source), test::ReadFile(test::CorpusPath(kTagged)));
    }
    EXPECT_EQ(prompter.texts().front(), "RIFFチャンクが書き込めませんでした。");

    // CnvErrOff: no error box, only the list at the end.
    session.rows.Clear();
    prompter.Clear();
    session.settings.Set(Option::CnvErrOff, true);
    Add(test::CopyCorpusFile(kTagged, dir, "l.mp3"));
    fs::SetFaultHook(FailEveryWrite);
    Run(ConvertTarget::Wave);
    fs::SetFaultHook(nullptr);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"l.mp3\n\n以上のファイルがエラーで変換できませんでした。"});
}

// A small file system whose free space is each source's size plus 50,000 bytes: less than
// the 100,000 bytes to spare the run asks for. Sparse sources take no room of their own.
TEST_F(ConvertTest, TooLittleFreeSpaceFailsTheRowAndCancelEndsTheRun) {
    test::SmallFileSystem small(1 << 20);
    if (!small.mounted()) GTEST_SKIP() << small.reason();
    const std::string low = small.path() + "/ドライブの残り容量が足りません。";
    const std::string failed = "\n\n以上のファイルがエラーで変換できませんでした。";
    const struct {
        std::optional<PromptAnswer> answer;
        bool quiet;
        std::vector<std::string> texts;
    } cases[] = {
        {PromptAnswer::Cancel, false, {low + "\n" + small / "a.mp3", "a.mp3" + failed}},
        {PromptAnswer::Ok, false, {low + "\n" + small / "a.mp3", low + "\n" + small / "b.mp3", "a.mp3\nb.mp3" + failed}},
        {std::nullopt, true, {"a.mp3\nb.mp3" + failed}},
    };
    for (const auto& c : cases) {
        session.rows.Clear();
        prompter.Clear();
        for (const char* name : {"a.mp3", "b.mp3"}) {
            std::filesystem::copy_file(test::CorpusPath(kCbr128), small / name, std::filesystem::copy_options::overwrite_existing);
            Add(small / name);
        }
        const uint64_t free = fs::FreeSpace(small / "a.mp3").value();  // of the folder holding it
        for (const char* name : {"a.mp3", "b.mp3"}) std::filesystem::resize_file(small / name, free - 50000);
        ASSERT_EQ(fs::FreeSpace(small / "a.mp3"), free);
        if (c.answer) prompter.Answer(*c.answer);
        session.settings.Set(Option::CnvErrOff, c.quiet);

        EXPECT_TRUE(Run(ConvertTarget::Rmp3).written.empty());
        EXPECT_EQ(prompter.texts(), c.texts);
        EXPECT_EQ(test::EntriesIn(small.path()), 2u);
        EXPECT_EQ(session.rows.size(), 2);
        if (!c.quiet) {
            EXPECT_EQ(prompter.shown()[0].buttons, PromptButtons::OkCancel);
            EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Warning);
        }
    }
}

// Reads of the audio fail; the few bytes that tell the stream are read.
bool FailLongReads(const char* operation, uint64_t bytes) { return std::string(operation) == "read" && bytes > 4; }

TEST_F(ConvertTest, ASourceThatCannotBeReadIsNotTakenForAFailedWrite) {
    for (const ConvertTarget target : {ConvertTarget::Rmp3, ConvertTarget::Wave}) {
        session.rows.Clear();
        prompter.Clear();
        AddCopy(kCbr128, "l.mp3");
        fs::SetFaultHook(FailLongReads);
        const ConvertReport report = Run(target);
        fs::SetFaultHook(nullptr);
        EXPECT_EQ(report.failed, std::vector<std::string>{"l.mp3"});
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"l.mp3\n\n以上のファイルがエラーで変換できませんでした。"});
        EXPECT_EQ(FolderNames(), std::vector<std::string>{"l.mp3"});
    }
}

}  // namespace
