#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/commands/WriteTags.h"
#include "formats/Id3v1.h"
#include "formats/PathText.h"
#include "formats/RiffInfo.h"
#include "formats/SoundVq.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;
using test::TempDir;

namespace {

constexpr time_t kOldTime = 1000000000;
const std::string kNotSupported = "ID3v2は未サポートです";

class CountingBusy : public BusyIndicator {
public:
    void Begin() override { ++begun; }
    void End() override { ++ended; }
    int begun = 0, ended = 0;
};

class WriteTest : public ::testing::Test {
protected:
    // Copies a corpus file under `name`, ages it and adds a checked row for it.
    std::string AddFile(const std::string& corpus, const std::string& name, FileKind kind, const std::string& title) {
        const std::string path = test::CopyCorpusFile(corpus, dir, name);
        EXPECT_TRUE(fs::SetLastWriteTime(path, {{kOldTime, 0}}));
        TrackInfo row;
        row.Path = path;
        row.FileName = name;
        row.Kind = std::to_string(static_cast<int>(kind));
        row.Fields[kTitle] = title;
        row.Fields[kArtist] = "Artist of " + title;
        row.Fields[kGenre] = "Blues";
        row.Checked = true;
        session.rows.Append(row);
        originals[path] = test::ReadFile(path);
        return path;
    }
    std::string AddMpeg(const std::string& name, const std::string& title = "Title") {
        return AddFile("mpeg/cbr128_44k_notag.mp3", name, FileKind::Mpeg, title);
    }

    bool Unchanged(const std::string& path) { return test::ReadFile(path) == originals.at(path); }

    // The file is the original followed by the row's ID3v1 block, with its old time.
    void ExpectTagAppended(const std::string& path, const TrackInfo& row) {
        const std::string bytes = test::ReadFile(path);
        const std::string& before = originals.at(path);
        ASSERT_EQ(bytes.size(), before.size() + kId3v1Size);
        EXPECT_EQ(bytes.compare(0, before.size(), before), 0);
        const Id3v1Tag expected = BuildId3v1Tag(row, session.genres);
        EXPECT_EQ(bytes.substr(before.size()), std::string(expected.begin(), expected.end()));
        EXPECT_EQ(fs::ReadLastWriteTime(path).value().mtime.tv_sec, kOldTime);
    }

    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (const TrackInfo& row : session.rows) checks.push_back(row.Checked);
        return checks;
    }

    TempDir dir;
    Session session;
    ScriptedPrompter prompter;
    CountingBusy busy;
    std::map<std::string, std::string> originals;
};

}  // namespace

TEST_F(WriteTest, AsksThenWritesTheCheckedRowsInBusyState) {
    const std::string a = AddMpeg("a.mp3", "First");
    const std::string b = AddMpeg("b.mp3", "Second");
    const std::string c = AddMpeg("c.mp3", "Third");
    session.rows.Mutable(1).Checked = false;

    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    ASSERT_EQ(prompter.shown().size(), 1u);
    const Prompt& asked = prompter.shown()[0];
    EXPECT_EQ(asked.text, "チェックされているアイテムは、2個あります。\n書き込んでもよろしいですか？");
    EXPECT_EQ(asked.title, "wvr");
    EXPECT_EQ(asked.icon, PromptIcon::Question);
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(busy.begun, 1);
    EXPECT_EQ(busy.ended, 1);

    ExpectTagAppended(a, session.rows[0]);
    EXPECT_TRUE(Unchanged(b));
    ExpectTagAppended(c, session.rows[2]);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false}));
}

TEST_F(WriteTest, AnExistingTagIsOverwrittenInPlace) {
    const std::string path = AddFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", "v1.mp3", FileKind::Mpeg, "New");
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    const std::string bytes = test::ReadFile(path);
    ASSERT_EQ(bytes.size(), originals[path].size());
    auto texts = ParseId3v1(reinterpret_cast<const uint8_t*>(bytes.data() + bytes.size() - kId3v1Size), session.genres);
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->title.substr(0, 3), "New");
    EXPECT_EQ(texts->genre, "Blues");
    EXPECT_EQ(bytes.compare(0, bytes.size() - kId3v1Size, originals[path], 0, bytes.size() - kId3v1Size), 0);
}

TEST_F(WriteTest, NoAnswerWritesNothingAndEntersNoBusyState) {
    const std::vector<std::string> paths = {AddMpeg("a.mp3"), AddMpeg("b.mp3"), AddMpeg("c.mp3")};
    session.rows.Mutable(1).FileName = "renamed.mp3";
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(WriteCommand(session, prompter, &busy));
    for (const std::string& path : paths) EXPECT_TRUE(Unchanged(path));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(busy.begun, 0);
    EXPECT_FALSE(fs::Exists(dir / "renamed.mp3"));
}

TEST_F(WriteTest, NothingCheckedInformsAndGoesOn) {
    const std::string a = AddMpeg("a.mp3");
    session.rows.Mutable(0).Checked = false;
    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "チェックされているアイテムはありません。");
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Information);
    EXPECT_TRUE(Unchanged(a));
    EXPECT_EQ(busy.begun, 1);

    // With WitChkOff the same box, then every row is written and the marks are left alone.
    session.settings.Set(Option::WitChkOff, true);
    prompter.Clear();
    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"チェックされているアイテムはありません。"});
    ExpectTagAppended(a, session.rows[0]);
    EXPECT_FALSE(session.rows[0].Checked);
}

TEST_F(WriteTest, WitChkOffLeavesCheckMarksAsTheyAre) {
    AddMpeg("a.mp3");
    AddMpeg("b.mp3");
    session.rows.Mutable(1).Checked = false;
    session.settings.Set(Option::WitChkOff, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"チェックされているアイテムは、1個あります。\n書き込んでもよろしいですか？"});
    EXPECT_EQ(Checks(), (std::vector<bool>{true, false}));
    ExpectTagAppended(session.rows[1].Path, session.rows[1]);
}

TEST_F(WriteTest, NoQuestionWithWitInfOffOrWhenSkipped) {
    AddMpeg("a.mp3");
    prompter.SetDefault(PromptAnswer::No);
    session.settings.Set(Option::WitInfOff, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr));
    session.settings.Set(Option::WitInfOff, false);
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_FALSE(session.rows[0].Checked);
}

TEST_F(WriteTest, Id3v2RowsAreNotWrittenButCountAsWritten) {
    const std::string v2 = AddFile("id3v2/v23_latin1_mutagen.mp3", "v2.mp3", FileKind::Id3v2Mpeg, "T");
    const std::string plain = AddMpeg("a.mp3");
    session.settings.Set(Option::WitEndClr, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, kNotSupported);
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_TRUE(Unchanged(v2));
    EXPECT_EQ(test::ReadFile(plain).size(), originals[plain].size() + kId3v1Size);
    EXPECT_TRUE(session.rows.empty());
}

TEST_F(WriteTest, FailedRowsStayCheckedAndTheRunGoesOn) {
    const std::string shortFile = AddFile("mpeg/truncated_100_bytes.mp3", "short.mp3", FileKind::Mpeg, "S");
    const std::string unknown = AddFile("mpeg/cbr128_44k_notag.mp3", "unknown.mp3", FileKind::Unsupported, "U");
    session.rows.Mutable(1).Kind = "7";
    const std::string good = AddMpeg("good.mp3");
    session.settings.Set(Option::WitEndClr, true);

    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());  // both failures are silent
    EXPECT_TRUE(Unchanged(shortFile));
    EXPECT_TRUE(Unchanged(unknown));
    ASSERT_EQ(session.rows.size(), 2);
    EXPECT_EQ(session.rows[0].Path, shortFile);
    EXPECT_EQ(session.rows[1].Path, unknown);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true}));
    EXPECT_EQ(test::ReadFile(good).size(), originals[good].size() + kId3v1Size);
}

TEST_F(WriteTest, WitUnChkKeepsWrittenRowsChecked) {
    AddMpeg("a.mp3");
    session.settings.Set(Option::WitUnChk, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(session.rows[0].Checked);
    ExpectTagAppended(session.rows[0].Path, session.rows[0]);
}

TEST_F(WriteTest, APendingRenameFollowsTheTagsWithItsLyrics) {
    const std::string old = AddMpeg("x.mp3", "Song");
    test::WriteFile(dir / "x.lrc", "words");
    session.rows.Mutable(0).FileName = "y.mp3";
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.Path, dir / "y.mp3");
    EXPECT_FALSE(row.Checked);
    EXPECT_FALSE(fs::Exists(old));
    originals[row.Path] = originals[old];
    ExpectTagAppended(row.Path, row);
    EXPECT_EQ(test::ReadFile(dir / "y.lrc"), "words");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(WriteTest, AFailedRenameKeepsTheRowPendingThoughTheTagsAreIn) {
    const std::string x = AddMpeg("x.mp3", "Song");
    const std::string y = AddMpeg("y.mp3", "Other");
    session.rows.Mutable(0).FileName = "y.mp3";
    session.rows.Mutable(1).Checked = false;
    session.settings.Set(Option::WitEndClr, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"同じ名前のファイルが存在します。\n" + y});
    ASSERT_EQ(session.rows.size(), 2);
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.Path, x);
    EXPECT_EQ(row.FileName, "y.mp3");
    EXPECT_TRUE(row.Checked);
    ExpectTagAppended(x, row);
    EXPECT_TRUE(Unchanged(y));
}

TEST_F(WriteTest, CurrentRowWriteDiffersInThreeWays) {
    const std::string v2 = AddFile("id3v2/v23_latin1_mutagen.mp3", "v2.mp3", FileKind::Id3v2Mpeg, "T");
    session.rows.Mutable(0).FileName = "v2-new.mp3";
    const std::string a = AddMpeg("a.mp3");
    const std::string b = AddMpeg("b.mp3");

    // An ID3v2 row counts as not written: it stays checked and its rename waits.
    EXPECT_FALSE(WriteCurrentRow(session, 0, prompter, &busy));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kNotSupported});
    EXPECT_TRUE(session.rows[0].Checked);
    EXPECT_TRUE(Unchanged(v2));
    EXPECT_FALSE(fs::Exists(dir / "v2-new.mp3"));

    // No question; the written row loses its mark, or with WitEndClr leaves the list at once.
    prompter.Clear();
    EXPECT_TRUE(WriteCurrentRow(session, 1, prompter, &busy));
    EXPECT_FALSE(session.rows[1].Checked);
    session.settings.Set(Option::WitEndClr, true);
    EXPECT_TRUE(WriteCurrentRow(session, 2, prompter, &busy));
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(session.rows.size(), 2);
    EXPECT_EQ(test::ReadFile(b).size(), originals[b].size() + kId3v1Size);
    EXPECT_EQ(busy.begun, 3);
    EXPECT_EQ(busy.ended, 3);

    EXPECT_FALSE(WriteCurrentRow(session, 2, prompter, &busy));
    EXPECT_FALSE(WriteCurrentRow(session, -1, prompter, &busy));
    EXPECT_EQ(busy.begun, 3);
}

// --- the writer of each kind, on real RIFF and SoundVQ files

namespace {

std::array<std::string, kFieldCount> InfoTexts(const std::string& path, FileKind kind) {
    fs::File file;
    EXPECT_TRUE(file.Open(path, fs::File::Mode::Read));
    return ReadRiffInfo(file, kind).texts;
}

std::string Id3Chunk(const Id3v1Tag& block) {
    return std::string("IID3") + std::string("\x80\0\0\0", 4) + std::string(block.begin(), block.end());
}

}  // namespace

TEST_F(WriteTest, RiffRowsGetTheirInfoListAndTheId3ChunkByWitID3Add) {
    const std::string rmp = AddFile("riff/rmp3_full_info_script.rmp", "a.rmp", FileKind::RiffRmp3, "New RMP");
    const std::string wav = AddFile("riff/wave_mp3_info_after_data_script.wav", "b.wav", FileKind::RiffWave, "New WAV");
    session.rows.Mutable(1).FileName = "renamed.wav";
    session.settings.Set(Option::WitID3Add, false);
    session.rows.Mutable(0).Checked = false;
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));

    // Without WitID3Add the WAVE file gets no IID3 chunk; its pending rename follows.
    EXPECT_TRUE(Unchanged(rmp));
    const std::string renamed = dir / "renamed.wav";
    EXPECT_EQ(session.rows[1].Path, renamed);
    EXPECT_EQ(InfoTexts(renamed, FileKind::RiffWave)[kTitle], "New WAV");
    EXPECT_EQ(InfoTexts(renamed, FileKind::RiffWave)[kArtist], "Artist of New WAV");
    EXPECT_EQ(test::ReadFile(renamed).find("IID3"), std::string::npos);
    EXPECT_EQ(fs::ReadLastWriteTime(renamed).value().mtime.tv_sec, kOldTime);

    session.settings.Set(Option::WitID3Add, true);
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());
    const auto texts = InfoTexts(rmp, FileKind::RiffRmp3);
    EXPECT_EQ(texts[kTitle], "New RMP");
    EXPECT_EQ(texts[kGenre], "Blues");
    EXPECT_EQ(texts[kAlbum], "");
    const Id3v1Tag block = BuildId3v1Tag(session.rows[0], session.genres);
    EXPECT_NE(test::ReadFile(rmp).find(Id3Chunk(block)), std::string::npos);
    EXPECT_EQ(fs::ReadLastWriteTime(rmp).value().mtime.tv_sec, kOldTime);
    EXPECT_FALSE(session.rows[0].Checked);
}

TEST_F(WriteTest, SoundVqRowsGetTheirHeaderChunks) {
    const std::string vqf = AddFile("vqf/vqf_full_script.vqf", "a.vqf", FileKind::SoundVq, "New VQF");
    session.rows.Mutable(0).Fields[kCopyright] = "Owner";
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());

    fs::File file;
    ASSERT_TRUE(file.Open(vqf, fs::File::Mode::Read));
    std::array<std::string, kFieldCount> fields;
    ReadSoundVqTags(file, fields);
    EXPECT_EQ(fields[kTitle], "New VQF");
    EXPECT_EQ(fields[kArtist], "Artist of New VQF");
    EXPECT_EQ(fields[kCopyright], "Owner");
    EXPECT_EQ(fields[kComment], "");
    // The audio after "DATA" is kept byte for byte.
    const std::string before = originals[vqf], after = test::ReadFile(vqf);
    EXPECT_EQ(after.substr(after.find("DATA")), before.substr(before.find("DATA")));
    EXPECT_EQ(fs::ReadLastWriteTime(vqf).value().mtime.tv_sec, kOldTime);
    EXPECT_FALSE(session.rows[0].Checked);
}
