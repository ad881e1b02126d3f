#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/commands/Rename.h"
#include "formats/PathText.h"
#include "platform/base/FileOps.h"
#include "platform/base/Cp932.h"
#include "support/FaultInjection.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;
using test::Sjis;
using Names = std::vector<std::string>;

namespace {

constexpr time_t kOldTime = 1000000000;

// A row for `path` (a real copy or a made-up one), checked, of kind 1.
TrackInfo Row(const std::string& path, const std::string& artist = "", bool checked = true) {
    TrackInfo row;
    row.Path = path;
    row.FileName = path::FileName(path);
    row.Fields[kArtist] = artist;
    row.Fields[kTitle] = path::WithoutExtension(row.FileName);
    row.Kind = "1";
    row.Checked = checked;
    return row;
}

// The name translations off, so that patterns come out as written.
Session PlainSession(std::vector<TrackInfo> rows) {
    Session session;
    for (Option o : {Option::RenSpcTrs, Option::RenChaTrs, Option::Zen2Han}) session.settings.Set(o, false);
    session.rows.Append(std::move(rows));
    return session;
}

Names FileNames(const Session& session) {
    Names names;
    for (const TrackInfo& row : session.rows) names.push_back(row.FileName);
    return names;
}

time_t WriteTime(const std::string& path) { return fs::ReadLastWriteTime(path).value().mtime.tv_sec; }

}  // namespace

TEST(RenameCommand, RowNumbersHaveTwoDigitsUpToNineAndTheirOwnFromTen) {
    std::vector<TrackInfo> rows;
    for (int i = 1; i <= 100; ++i) rows.push_back(Row("/m/" + std::to_string(i) + ".mp3"));
    Session session = PlainSession(std::move(rows));
    session.settings.RenString = {"%n"};
    ScriptedPrompter prompter;
    ASSERT_TRUE(RenameCommand(session, prompter, Questions::Skip));
    const Names names = FileNames(session);
    EXPECT_EQ(names[0], "01");
    EXPECT_EQ(names[8], "09");
    EXPECT_EQ(names[9], "10");
    EXPECT_EQ(names[98], "99");
    EXPECT_EQ(names[99], "100");
}

TEST(RenameCommand, AsksThenNamesCheckedRowsByTheirPositionInTheList) {
    Session session = PlainSession({Row("/m/x.mp3", "A", false), Row("/m/y.mp3", "B"), Row("/m/z.mp3", "C")});
    session.settings.RenString = {"[%1] %2%e", "%n %2"};
    session.settings.RenStrIdx = 1;
    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(RenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (Names{"x.mp3", "y.mp3", "z.mp3"}));

    ASSERT_TRUE(RenameCommand(session, prompter));
    ASSERT_EQ(prompter.shown().size(), 2u);
    const Prompt& asked = prompter.shown()[1];
    EXPECT_EQ(asked.text, "チェックされているアイテムは、2個あります。\nリネームしてもよろしいですか？");
    EXPECT_EQ(asked.icon, PromptIcon::Question);
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(FileNames(session), (Names{"x.mp3", "02 y", "03 z"}));
    EXPECT_EQ(session.rows[1].Path, "/m/y.mp3");
    EXPECT_FALSE(session.rows[0].Checked);
    EXPECT_TRUE(session.rows[1].Checked);
}

TEST(RenameCommand, NothingCheckedInformsAndRenChkOffTakesEveryRow) {
    Session session = PlainSession({Row("/m/x.mp3", "A", false)});
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(prompter.texts(), Names{"チェックされているアイテムはありません。"});
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Information);
    EXPECT_EQ(session.rows[0].FileName, "x.mp3");

    session.settings.Set(Option::RenChkOff, true);
    RenameCommand(session, prompter);
    EXPECT_EQ(session.rows[0].FileName, "[A] x.mp3");
    EXPECT_FALSE(session.rows[0].Checked);

    // No box at all with RenInfOff, or when the caller already has the go-ahead.
    prompter.Clear();
    session.settings.RenString = {"%1"};
    RenameCommand(session, prompter, Questions::Skip);
    EXPECT_EQ(session.rows[0].FileName, "A");
    session.settings.Set(Option::RenInfOff, true);
    RenameCommand(session, prompter);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(RenameCommand, OptionsAndExceptionRulesComeFromTheSettings) {
    Session session;  // RenSpcTrs, RenChaTrs and Zen2Han are on by default
    session.settings.RenString = {"%1/%2%e"};
    session.rows.Append({Row("/m/t.rmp", Sjis("ＡＢ　Ｃ")), Row("/m/u.mp3", "abc"), Row("/m/v.mp3", "abcd")});
    session.rows.Mutable(0).Kind = "3";
    session.settings.Set(Option::RenOther, true);
    session.settings.ReName = {
        {"short", "rule"},                     // a malformed rule never matches
        {"ABC", "%2%e", "2"},                  // the artist, ignoring case
        {"abc", "never", "2"},                 // a later match is not looked at
        {Sjis("ｖ．ｍｐ３"), "file %2", "0"},  // the file-name column, full-width letters
    };
    session.rows.Mutable(2).FileName = Sjis("Ｖ．ＭＰ３");
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(FileNames(session), (Names{Sjis("AB_C／t.rmp"), "u.mp3", "file_v"}));

    session.settings.Set(Option::RenOther, false);
    session.settings.Set(Option::RenRmpMp3, true);
    session.settings.Set(Option::RenChaTrs, false);
    RenameCommand(session, prompter);
    EXPECT_EQ(FileNames(session), (Names{"AB_C/t.mp3", "abc/u.mp3", "abcd/v.mp3"}));
}

TEST(UndoRename, RestoresCheckedRowsAfterTheQuestion) {
    Session session = PlainSession({Row("/m/x.mp3"), Row("/m/y.mp3", "", false)});
    session.settings.Set(Option::RenChkOff, true);  // undo ignores it
    session.rows.Mutable(0).FileName = "new1.mp3";
    session.rows.Mutable(1).FileName = "new2.mp3";
    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(UndoRenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (Names{"new1.mp3", "new2.mp3"}));
    EXPECT_EQ(prompter.texts(), Names{"ファイル名を元に戻します。よろしいですか？"});

    session.settings.Set(Option::UdoInfOff, true);
    EXPECT_TRUE(UndoRenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (Names{"x.mp3", "new2.mp3"}));
    EXPECT_EQ(prompter.shown().size(), 1u);
}

// --- the rename step on copies of real files

class RenameStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "x.mp3");
        bytes = test::ReadFile(file);
        ASSERT_TRUE(fs::SetLastWriteTime(file, {{kOldTime, 0}}));
        for (const char* name : {"x.lrc", "x.txt", "lyrics/x.lrc", "lyrics/x.txt"}) test::WriteFile(dir / name, name);
        ASSERT_TRUE(fs::SetLastWriteTime(dir / "x.lrc", {{kOldTime, 0}}));
        settings.RenLrcFld = dir / "lyrics/";
    }

    bool Rename(const std::string& to) {
        row = Row(file);
        row.FileName = to;
        return RenameStep(row, settings, prompter);
    }

    test::TempDir dir;
    std::string file, bytes;
    TrackInfo row;
    Settings settings;  // RenLrc on, RenLrcTxt and RenLrcDir off
    ScriptedPrompter prompter;
};

TEST_F(RenameStepTest, MovesWithItsTimeAndItsLyricsFile) {
    ASSERT_TRUE(Rename(Sjis("[A] 春.mp3")));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(row.Path, Sjis(dir / "[A] 春.mp3"));
    EXPECT_EQ(test::ReadFile(dir / "[A] 春.mp3"), bytes);
    EXPECT_EQ(WriteTime(dir / "[A] 春.mp3"), kOldTime);
    EXPECT_FALSE(fs::Exists(file));
    EXPECT_EQ(test::ReadFile(dir / "[A] 春.lrc"), "x.lrc");
    EXPECT_EQ(WriteTime(dir / "[A] 春.lrc"), kOldTime);
    EXPECT_TRUE(fs::Exists(dir / "x.txt"));
    EXPECT_TRUE(fs::Exists(dir / "lyrics/x.lrc"));
}

TEST_F(RenameStepTest, TxtFilesAndTheLyricsFolderWhenAskedFor) {
    settings.Set(Option::RenLrcTxt, true);
    settings.Set(Option::RenLrcDir, true);
    test::WriteFile(dir / "y.txt", "in the way");
    ASSERT_TRUE(Rename("y.rmp"));
    for (const char* name : {"y.lrc", "lyrics/y.lrc", "lyrics/y.txt", "x.txt"}) EXPECT_TRUE(fs::Exists(dir / name)) << name;
    EXPECT_EQ(test::ReadFile(dir / "y.txt"), "in the way");  // never replaced, and silent
    EXPECT_TRUE(prompter.shown().empty());

    // Without a lyrics folder nothing is looked for relative to the current folder.
    settings.RenLrcFld.clear();
    file = row.Path;
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir / "lyrics");
    EXPECT_TRUE(Rename("z.mp3"));
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(fs::Exists(dir / "lyrics/y.lrc"));
    EXPECT_TRUE(fs::Exists(dir / "z.lrc"));

    settings.Set(Option::RenLrc, false);
    file = row.Path;
    EXPECT_TRUE(Rename("w.mp3"));
    EXPECT_TRUE(fs::Exists(dir / "z.lrc"));
}

TEST_F(RenameStepTest, AFileOnAnotherFileSystemMovesAsACopy) {
    // A lyrics file dropped from another drive is moved beside its song, as a rename cannot.
    test::SmallFileSystem other(256 * 1024);
    if (!other.mounted()) GTEST_SKIP() << other.reason();
    test::WriteFile(other / "song.txt", "lyrics");
    ASSERT_TRUE(MoveFileStep(other / "song.txt", dir / "x.txt.new", prompter));
    EXPECT_EQ(test::ReadFile(dir / "x.txt.new"), "lyrics");
    EXPECT_FALSE(fs::Exists(other / "song.txt"));
    // An existing target is never replaced, across file systems either.
    test::WriteFile(other / "song.txt", "other");
    EXPECT_FALSE(MoveFileStep(other / "song.txt", dir / "x.txt.new", prompter));
    EXPECT_EQ(test::ReadFile(dir / "x.txt.new"), "lyrics");
    EXPECT_EQ(test::ReadFile(other / "song.txt"), "other");
    EXPECT_TRUE(prompter.texts().size() == 1 && prompter.texts()[0].find("x.txt.new") != std::string::npos);
}

TEST_F(RenameStepTest, ExistingTargetsAndMissingFilesAreNamed) {
    const std::string other = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "y.mp3");
    EXPECT_FALSE(Rename("y.mp3"));
    EXPECT_EQ(prompter.texts(), Names{"同じ名前のファイルが存在します。\n" + other});
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(row.Path, file);
    EXPECT_EQ(row.FileName, "y.mp3");
    EXPECT_EQ(test::ReadFile(file), bytes);
    EXPECT_TRUE(fs::Exists(dir / "x.lrc"));

    prompter.Clear();
    file = dir / "gone.mp3";
    EXPECT_FALSE(Rename("z.mp3"));
    EXPECT_EQ(prompter.texts(), Names{"ファイルが存在しません。\n" + file});
}

TEST_F(RenameStepTest, NamesThatLeaveTheFolderOrCannotBeSpelledAreRefused) {
    for (const std::string name : {"", "../x2.mp3", "/tmp/x2.mp3", "a/../../x2.mp3", "a//b.mp3", "d/", ".", "\xFF.mp3"}) {
        prompter.Clear();
        EXPECT_FALSE(Rename(name)) << name;
        EXPECT_EQ(prompter.texts(), Names{"ファイル名「" + cp932::ToUtf8(name) + "」は使用できません。"}) << name;
        EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
        EXPECT_EQ(row.Path, file);
    }
    EXPECT_EQ(test::ReadFile(file), bytes);
}

TEST_F(RenameStepTest, LetterCaseSubfoldersAndFailuresHalfWay) {
    ASSERT_TRUE(Rename("X.mp3"));
    EXPECT_TRUE(fs::Exists(dir / "X.mp3"));
    EXPECT_FALSE(fs::Exists(dir / "x.mp3"));

    // A subfolder that does not exist fails without a word; one that exists is entered.
    file = row.Path;
    EXPECT_FALSE(Rename("disc1/X.mp3"));
    std::filesystem::create_directory(dir / "disc1");
    ASSERT_TRUE(Rename("disc1/X.mp3"));
    EXPECT_EQ(row.Path, dir / "disc1/X.mp3");
    EXPECT_EQ(row.FileName, "X.mp3");
    EXPECT_TRUE(prompter.shown().empty());

    // A move that fails leaves the file; a time that cannot be set back is only reported,
    // once for the file and once for its lyrics file.
    file = row.Path;
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "rename") == 0; });
    EXPECT_FALSE(Rename("Y.mp3"));
    fs::SetFaultHook([](const char* op, uint64_t) { return std::strcmp(op, "utime") == 0; });
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(fs::Exists(file));
    EXPECT_TRUE(Rename("Y.mp3"));
    fs::SetFaultHook(nullptr);
    ASSERT_EQ(prompter.shown().size(), 2u);
    for (const Prompt& shown : prompter.shown()) EXPECT_EQ(shown.text.rfind("FileTime SetError.\n", 0), 0u);
    EXPECT_EQ(row.Path, dir / "disc1/Y.mp3");
    EXPECT_TRUE(fs::Exists(dir / "disc1/Y.lrc"));
}
