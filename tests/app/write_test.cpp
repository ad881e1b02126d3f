#include <gtest/gtest.h>

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
using Texts = std::vector<std::string>;

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
    // Copies a corpus file under `name` with an old time and adds a checked row for it.
    std::string Add(const std::string& name, FileKind kind = FileKind::Mpeg,
                    const std::string& corpus = "mpeg/cbr128_44k_notag.mp3") {
        const std::string path = test::CopyCorpusFile(corpus, dir, name);
        EXPECT_TRUE(fs::SetLastWriteTime(path, {{kOldTime, 0}}));
        TrackInfo row;
        row.FileName = name;
        row.Path = path;
        row.Kind = std::to_string(static_cast<int>(kind));
        row.Fields[kTitle] = "Title of " + name;
        row.Fields[kGenre] = "Blues";
        row.Checked = true;
        session.rows.Append(row);
        originals[path] = test::ReadFile(path);
        return path;
    }

    bool Unchanged(const std::string& path) { return test::ReadFile(path) == originals.at(path); }

    // The file is its original bytes followed by the row's ID3v1 block, with its old time.
    void ExpectTagAppended(const TrackInfo& row, const std::string& original) {
        const std::string bytes = test::ReadFile(row.Path);
        const std::string& before = originals.at(original);
        const Id3v1Tag block = BuildId3v1Tag(row, session.genres);
        EXPECT_EQ(bytes, before + std::string(block.begin(), block.end()));
        EXPECT_EQ(fs::ReadLastWriteTime(row.Path).value().mtime.tv_sec, kOldTime);
    }
    void ExpectTagAppended(const TrackInfo& row) { ExpectTagAppended(row, row.Path); }

    std::vector<bool> Checks() const {
        std::vector<bool> checks;
        for (const TrackInfo& row : session.rows) checks.push_back(row.Checked);
        return checks;
    }

    test::TempDir dir;
    Session session;
    ScriptedPrompter prompter;
    CountingBusy busy;
    std::map<std::string, std::string> originals;
};

}  // namespace

TEST_F(WriteTest, AsksThenWritesCheckedRowsInTheBusyState) {
    const std::string a = Add("a.mp3"), b = Add("b.mp3"), c = Add("c.mp3");
    session.rows.Mutable(1).Checked = false;
    session.rows.Mutable(2).FileName = "renamed.mp3";
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(WriteCommand(session, prompter, &busy));
    EXPECT_TRUE(Unchanged(a) && Unchanged(c) && fs::Exists(c));
    EXPECT_EQ(busy.begun, 0);

    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    ASSERT_EQ(prompter.shown().size(), 2u);
    const Prompt& asked = prompter.shown()[1];
    EXPECT_EQ(asked.text, "チェックされているアイテムは、2個あります。\n書き込んでもよろしいですか？");
    EXPECT_EQ(asked.icon, PromptIcon::Question);
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(busy.begun, 1);
    EXPECT_EQ(busy.ended, 1);
    ExpectTagAppended(session.rows[0]);
    EXPECT_TRUE(Unchanged(b));
    // The tags first, then the move.
    EXPECT_EQ(session.rows[2].Path, dir / "renamed.mp3");
    ExpectTagAppended(session.rows[2], c);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false}));
}

TEST_F(WriteTest, NothingCheckedInformsAndWitChkOffWritesEveryRow) {
    const std::string a = Add("a.mp3"), b = Add("b.mp3");
    session.rows.Mutable(0).Checked = session.rows.Mutable(1).Checked = false;
    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    EXPECT_EQ(prompter.texts(), Texts{"チェックされているアイテムはありません。"});
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Information);
    EXPECT_TRUE(Unchanged(a) && Unchanged(b));

    // The same box, then every row is written and check marks are left as they are.
    session.settings.Set(Option::WitChkOff, true);
    session.rows.Mutable(1).Checked = true;
    ASSERT_TRUE(WriteCommand(session, prompter, &busy));
    ExpectTagAppended(session.rows[0]);
    ExpectTagAppended(session.rows[1]);
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true}));

    // No box at all with WitInfOff, or when the caller already has the go-ahead.
    prompter.Clear();
    WriteCommand(session, prompter, nullptr, Questions::Skip);
    session.settings.Set(Option::WitInfOff, true);
    WriteCommand(session, prompter, nullptr);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(WriteTest, Id3v2RowsOnlyGetTheMessageAndCountAsWritten) {
    const std::string v2 = Add("v2.mp3", FileKind::Id3v2Mpeg, "id3v2/v23_latin1_mutagen.mp3");
    session.rows.Mutable(0).FileName = "v2-new.mp3";
    Add("a.mp3");
    session.settings.Set(Option::WitEndClr, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_EQ(prompter.texts(), Texts{kNotSupported});
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(test::ReadFile(dir / "v2-new.mp3"), originals[v2]);  // its pending rename is carried out
    EXPECT_TRUE(session.rows.empty());
}

TEST_F(WriteTest, FailuresStayCheckedInTheListAndTheRunGoesOn) {
    const std::string tiny = Add("short.mp3", FileKind::Mpeg, "mpeg/truncated_100_bytes.mp3");
    const std::string unknown = Add("unknown.mp3", static_cast<FileKind>(7));
    session.rows.Mutable(1).FileName = "never.mp3";  // a row not written is not renamed either
    const std::string x = Add("x.mp3");
    const std::string y = Add("y.mp3");
    session.rows.Mutable(2).FileName = "y.mp3";
    session.rows.Mutable(3).Checked = false;
    Add("good.mp3");
    session.settings.Set(Option::WitEndClr, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));

    // The short and the unknown file fail silently; the taken name after its tags were written.
    EXPECT_EQ(prompter.texts(), Texts{"同じ名前のファイルが存在します。\n" + y});
    EXPECT_TRUE(Unchanged(tiny) && Unchanged(unknown) && Unchanged(y));
    ASSERT_EQ(session.rows.size(), 4);
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true, false}));
    const TrackInfo& pending = session.rows[2];
    EXPECT_EQ(pending.Path, x);
    EXPECT_EQ(pending.FileName, "y.mp3");
    ExpectTagAppended(pending);
}

TEST_F(WriteTest, WitUnChkKeepsWrittenRowsChecked) {
    Add("a.mp3");
    session.settings.Set(Option::WitUnChk, true);
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(session.rows[0].Checked);
    ExpectTagAppended(session.rows[0]);
}

TEST_F(WriteTest, CurrentRowWriteDiffersInThreeWays) {
    const std::string v2 = Add("v2.mp3", FileKind::Id3v2Mpeg, "id3v2/v23_latin1_mutagen.mp3");
    session.rows.Mutable(0).FileName = "v2-new.mp3";
    Add("a.mp3");
    const std::string b = Add("b.mp3");

    // An ID3v2 row counts as not written: it stays checked and its rename waits.
    EXPECT_FALSE(WriteCurrentRow(session, 0, prompter, &busy));
    EXPECT_EQ(prompter.texts(), Texts{kNotSupported});
    EXPECT_TRUE(session.rows[0].Checked);
    EXPECT_TRUE(Unchanged(v2));

    // No question; a written row loses its mark, or with WitEndClr leaves the list at once.
    prompter.Clear();
    EXPECT_TRUE(WriteCurrentRow(session, 1, prompter, &busy));
    EXPECT_FALSE(session.rows[1].Checked);
    session.settings.Set(Option::WitEndClr, true);
    EXPECT_TRUE(WriteCurrentRow(session, 2, prompter, &busy));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(session.rows.size(), 2);
    EXPECT_EQ(test::ReadFile(b).size(), originals[b].size() + kId3v1Size);
    EXPECT_FALSE(WriteCurrentRow(session, 2, prompter, &busy));
    EXPECT_EQ(busy.begun, 3);
    EXPECT_EQ(busy.ended, 3);
}

TEST_F(WriteTest, RiffRowsGetTheirInfoListAndTheId3ChunkByWitID3Add) {
    const std::string rmp = Add("a.rmp", FileKind::RiffRmp3, "riff/rmp3_full_info_script.rmp");
    const std::string wav = Add("b.wav", FileKind::RiffWave, "riff/wave_mp3_info_after_data_script.wav");
    session.settings.Set(Option::WitID3Add, false);
    session.rows.Mutable(0).Checked = false;
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    session.settings.Set(Option::WitID3Add, true);
    session.rows.Mutable(0).Checked = true;
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());

    for (auto [path, kind] : {std::pair{rmp, FileKind::RiffRmp3}, {wav, FileKind::RiffWave}}) {
        fs::File file;
        ASSERT_TRUE(file.Open(path, fs::File::Mode::Read));
        const auto texts = ReadRiffInfo(file, kind).texts;
        EXPECT_EQ(texts[kTitle], "Title of " + path::FileName(path));
        EXPECT_EQ(texts[kGenre], "Blues");
        EXPECT_EQ(texts[kAlbum], "");
        EXPECT_EQ(fs::ReadLastWriteTime(path).value().mtime.tv_sec, kOldTime);
    }
    const Id3v1Tag block = BuildId3v1Tag(session.rows[0], session.genres);
    const std::string iid3 = std::string("IID3\x80\0\0\0", 8) + std::string(block.begin(), block.end());
    EXPECT_NE(test::ReadFile(rmp).find(iid3), std::string::npos);
    EXPECT_EQ(test::ReadFile(wav).find("IID3"), std::string::npos);
}

TEST_F(WriteTest, SoundVqRowsGetTheirHeaderChunks) {
    const std::string vqf = Add("a.vqf", FileKind::SoundVq, "vqf/vqf_full_script.vqf");
    session.rows.Mutable(0).Fields[kCopyright] = "Owner";
    ASSERT_TRUE(WriteCommand(session, prompter, nullptr, Questions::Skip));
    EXPECT_TRUE(prompter.shown().empty());

    fs::File file;
    ASSERT_TRUE(file.Open(vqf, fs::File::Mode::Read));
    std::array<std::string, kFieldCount> fields;
    ReadSoundVqTags(file, fields);
    EXPECT_EQ(fields[kTitle], "Title of a.vqf");
    EXPECT_EQ(fields[kCopyright], "Owner");
    EXPECT_EQ(fields[kComment], "");
    const std::string before = originals[vqf], after = test::ReadFile(vqf);
    EXPECT_EQ(after.substr(after.find("DATA")), before.substr(before.find("DATA")));
    EXPECT_EQ(fs::ReadLastWriteTime(vqf).value().mtime.tv_sec, kOldTime);
}
