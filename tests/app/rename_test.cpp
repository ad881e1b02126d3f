#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/commands/Rename.h"
#include "formats/PathText.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;
using test::Sjis;
using test::TempDir;

namespace {

constexpr time_t kOldTime = 1000000000;  // 2001-09-09, far from "now"

TrackInfo Row(const std::string& artist, const std::string& title, bool checked, FileKind kind = FileKind::Mpeg) {
    TrackInfo row;
    row.Fields[kArtist] = artist;
    row.Fields[kTitle] = title;
    row.Kind = std::to_string(static_cast<int>(kind));
    row.Path = "/music/" + title + ".mp3";
    row.FileName = path::FileName(row.Path);
    row.Checked = checked;
    return row;
}

// Settings with the name translations off, so that patterns come out as written.
Session PlainSession() {
    Session session;
    for (Option o : {Option::RenSpcTrs, Option::RenChaTrs, Option::Zen2Han}) session.settings.Set(o, false);
    return session;
}

std::vector<std::string> FileNames(const Session& session) {
    std::vector<std::string> names;
    for (const TrackInfo& row : session.rows) names.push_back(row.FileName);
    return names;
}

// A row for a real file: the copy's path (ASCII, so the same in CP932) and its name.
TrackInfo FileRow(const std::string& path) {
    TrackInfo row;
    row.Path = path;
    row.FileName = path::FileName(path);
    row.Kind = "1";
    row.Checked = true;
    return row;
}

void Age(const std::string& path) { ASSERT_TRUE(fs::SetLastWriteTime(path, {{kOldTime, 0}})); }
time_t WriteTime(const std::string& path) { return fs::ReadLastWriteTime(path).value().mtime.tv_sec; }

}  // namespace

// --- the rename command

TEST(RenameCommand, AsksWithTheCountAndChangesOnlyTheColumn) {
    Session session = PlainSession();
    session.rows.Append({Row("A", "B", true), Row("C", "D", false)});
    ScriptedPrompter prompter;
    ASSERT_TRUE(RenameCommand(session, prompter));

    ASSERT_EQ(prompter.shown().size(), 1u);
    const Prompt& asked = prompter.shown()[0];
    EXPECT_EQ(asked.text, "チェックされているアイテムは、1個あります。\nリネームしてもよろしいですか？");
    EXPECT_EQ(asked.title, "wvr");
    EXPECT_EQ(asked.icon, PromptIcon::Question);
    EXPECT_EQ(asked.buttons, PromptButtons::YesNo);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"[A] B.mp3", "D.mp3"}));
    EXPECT_EQ(session.rows[0].Path, "/music/B.mp3");
    EXPECT_TRUE(session.rows[0].Checked);
    EXPECT_FALSE(session.rows[1].Checked);
}

TEST(RenameCommand, NoAnswerChangesNothing) {
    Session session = PlainSession();
    session.rows.Append({Row("A", "B", true), Row("C", "D", true)});
    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(RenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"B.mp3", "D.mp3"}));
}

TEST(RenameCommand, NumberIsThePositionInTheWholeList) {
    Session session = PlainSession();
    session.settings.RenString = {"[%1] %2%e", "%n %2"};
    session.settings.RenStrIdx = 1;
    session.rows.Append({Row("A", "x", false), Row("A", "y", true), Row("A", "z", true)});
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"x.mp3", "02 y", "03 z"}));
}

TEST(RenameCommand, NothingCheckedInformsThenRenamesAllOnlyWithRenChkOff) {
    Session session = PlainSession();
    session.rows.Append({Row("A", "B", false), Row("C", "D", false)});
    ScriptedPrompter prompter;
    ASSERT_TRUE(RenameCommand(session, prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "チェックされているアイテムはありません。");
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Information);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"B.mp3", "D.mp3"}));

    session.settings.Set(Option::RenChkOff, true);
    prompter.Clear();
    RenameCommand(session, prompter);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"チェックされているアイテムはありません。"});
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"[A] B.mp3", "[C] D.mp3"}));
    EXPECT_FALSE(session.rows[0].Checked);
}

TEST(RenameCommand, NoQuestionWithRenInfOffOrWhenTheCallerSkipsIt) {
    Session session = PlainSession();
    session.rows.Append(Row("A", "B", true));
    ScriptedPrompter prompter;
    prompter.SetDefault(PromptAnswer::No);
    ASSERT_TRUE(RenameCommand(session, prompter, Questions::Skip));
    EXPECT_EQ(session.rows[0].FileName, "[A] B.mp3");

    session.settings.Set(Option::RenInfOff, true);
    session.settings.RenString = {"%2%e"};
    ASSERT_TRUE(RenameCommand(session, prompter));
    EXPECT_EQ(session.rows[0].FileName, "B.mp3");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST(RenameCommand, OptionsComeFromTheSettings) {
    Session session;  // defaults: RenSpcTrs, RenChaTrs and Zen2Han on, RenRmpMp3 off
    session.settings.RenString = {"%1/%2%e"};
    session.rows.Append(Row(Sjis("ＡＢ　Ｃ"), "t?", true, FileKind::RiffRmp3));
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(session.rows[0].FileName, Sjis("AB_C／t？.rmp"));

    session.settings.Set(Option::RenRmpMp3, true);
    session.settings.Set(Option::RenChaTrs, false);
    RenameCommand(session, prompter);
    EXPECT_EQ(session.rows[0].FileName, "AB_C/t?.mp3");
}

TEST(RenameCommand, ExceptionRulesCompareTheirFieldIgnoringCase) {
    Session session = PlainSession();
    session.settings.Set(Option::RenOther, true);
    session.settings.ReName = {
        {"abc", "%2%e", "2"},                   // artist
        {Sjis("ｘ．ｍｐ３"), "file %2", "0"},  // file-name column, full-width letters
        {"abc", "never", "2"},                  // a later match is not looked at
        {"short", "rule"},                      // malformed rules never match
        {"B", "field out of range", "15"},
    };
    session.rows.Append({Row("ABC", "T1", true), Row("abcd", "T2", true), Row("", "T3", true)});
    session.rows.Mutable(2).FileName = Sjis("Ｘ．ＭＰ３");
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"T1.mp3", "[abcd] T2.mp3", "file T3"}));

    session.settings.Set(Option::RenOther, false);
    RenameCommand(session, prompter);
    EXPECT_EQ(session.rows[0].FileName, "[ABC] T1.mp3");
}

TEST(RenameCommand, PatternIndexOutOfRangeFallsBackToTheDefault) {
    Session session = PlainSession();
    session.settings.RenString = {"%2"};
    session.settings.RenStrIdx = 3;
    session.rows.Append(Row("A", "B", true));
    ScriptedPrompter prompter;
    RenameCommand(session, prompter);
    EXPECT_EQ(session.rows[0].FileName, "[A] B.mp3");
}

// --- the undo command

TEST(UndoRename, RestoresCheckedRowsOnlyAfterTheQuestion) {
    Session session = PlainSession();
    session.settings.Set(Option::RenChkOff, true);
    session.rows.Append({Row("A", "B", true), Row("C", "D", false)});
    session.rows.Mutable(0).FileName = "new1.mp3";
    session.rows.Mutable(1).FileName = "new2.mp3";

    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(UndoRenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"new1.mp3", "new2.mp3"}));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "ファイル名を元に戻します。よろしいですか？");
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Question);

    EXPECT_TRUE(UndoRenameCommand(session, prompter));
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"B.mp3", "new2.mp3"}));
    EXPECT_TRUE(session.rows[0].Checked);

    session.settings.Set(Option::UdoInfOff, true);
    session.rows.Mutable(0).FileName = "again.mp3";
    prompter.Clear();
    UndoRenameCommand(session, prompter);
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(session.rows[0].FileName, "B.mp3");
}

// --- the rename step on real files

TEST(RenameStep, MovesTheFileKeepsItsTimeAndSetsPath) {
    TempDir dir;
    const std::string from = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "x.mp3");
    const std::string bytes = test::ReadFile(from);
    Age(from);
    TrackInfo row = FileRow(from);
    row.FileName = "[A] B.mp3";
    ScriptedPrompter prompter;
    ASSERT_TRUE(RenameStep(row, Settings{}, prompter));
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_EQ(row.Path, dir / "[A] B.mp3");
    EXPECT_EQ(row.FileName, "[A] B.mp3");
    EXPECT_FALSE(fs::Exists(from));
    EXPECT_EQ(test::ReadFile(row.Path), bytes);
    EXPECT_EQ(WriteTime(row.Path), kOldTime);
}

TEST(RenameStep, JapaneseNamesAreConvertedForTheFileSystem) {
    TempDir dir;
    test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "曲.mp3");
    TrackInfo row = FileRow(Sjis(dir / "曲.mp3"));
    row.FileName = Sjis("春の小川.mp3");
    ScriptedPrompter prompter;
    ASSERT_TRUE(RenameStep(row, Settings{}, prompter));
    EXPECT_TRUE(fs::Exists(dir / "春の小川.mp3"));
    EXPECT_EQ(row.Path, Sjis(dir / "春の小川.mp3"));
}

TEST(RenameStep, ATargetThatExistsIsNeverReplaced) {
    TempDir dir;
    const std::string from = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "x.mp3");
    const std::string other = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "y.mp3");
    const std::string otherBytes = test::ReadFile(other);
    TrackInfo row = FileRow(from);
    row.FileName = "y.mp3";
    ScriptedPrompter prompter;
    EXPECT_FALSE(RenameStep(row, Settings{}, prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "同じ名前のファイルが存在します。\n" + other);
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_EQ(row.Path, from);
    EXPECT_EQ(row.FileName, "y.mp3");
    EXPECT_TRUE(fs::Exists(from));
    EXPECT_EQ(test::ReadFile(other), otherBytes);
}

TEST(RenameStep, AMissingFileIsNamed) {
    TempDir dir;
    TrackInfo row = FileRow(dir / "gone.mp3");
    row.FileName = "new.mp3";
    ScriptedPrompter prompter;
    EXPECT_FALSE(RenameStep(row, Settings{}, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルが存在しません。\n" + dir / "gone.mp3"});
    EXPECT_EQ(row.Path, dir / "gone.mp3");
}

TEST(RenameStep, NamesThatLeaveTheFolderOrCannotBeSpelledAreRefused) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    const std::string from = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "sub/x.mp3");
    for (const std::string name : {"", "../x2.mp3", "/tmp/x2.mp3", "a/../../x2.mp3", "a//b.mp3", "dir/", ".",
                                   "\xFF\xFF.mp3"}) {
        TrackInfo row = FileRow(from);
        row.FileName = name;
        ScriptedPrompter prompter;
        EXPECT_FALSE(RenameStep(row, Settings{}, prompter)) << name;
        EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ファイルへアクセスできませんでした。\n" + from}) << name;
        EXPECT_EQ(row.Path, from);
        EXPECT_EQ(row.FileName, name);
        EXPECT_TRUE(fs::Exists(from));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(RenameStep, SubfolderNamesAndLetterCaseChanges) {
    TempDir dir;
    const std::string from = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "a.mp3");
    TrackInfo row = FileRow(from);
    ScriptedPrompter prompter;

    row.FileName = "A.mp3";
    ASSERT_TRUE(RenameStep(row, Settings{}, prompter));
    EXPECT_EQ(row.Path, dir / "A.mp3");
    EXPECT_TRUE(fs::Exists(dir / "A.mp3"));
    EXPECT_FALSE(fs::Exists(dir / "a.mp3"));

    // A subfolder that does not exist fails without a word; one that exists is entered.
    row.FileName = "disc1/A.mp3";
    EXPECT_FALSE(RenameStep(row, Settings{}, prompter));
    EXPECT_TRUE(prompter.shown().empty());
    std::filesystem::create_directory(dir / "disc1");
    ASSERT_TRUE(RenameStep(row, Settings{}, prompter));
    EXPECT_EQ(row.Path, dir / "disc1/A.mp3");
    EXPECT_EQ(row.FileName, "A.mp3");
}

TEST(RenameStep, AFailedMoveLeavesEverythingAndAFailedTimeIsOnlyReported) {
    TempDir dir;
    const std::string from = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "x.mp3");
    TrackInfo row = FileRow(from);
    row.FileName = "y.mp3";
    ScriptedPrompter prompter;

    fs::SetFaultHook([](const char* op) { return std::strcmp(op, "rename") == 0; });
    EXPECT_FALSE(RenameStep(row, Settings{}, prompter));
    fs::SetFaultHook(nullptr);
    EXPECT_TRUE(prompter.shown().empty());  // an error of no listed kind says nothing
    EXPECT_EQ(row.Path, from);
    EXPECT_TRUE(fs::Exists(from));

    fs::SetFaultHook([](const char* op) { return std::strcmp(op, "utime") == 0; });
    EXPECT_TRUE(RenameStep(row, Settings{}, prompter));
    fs::SetFaultHook(nullptr);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text.rfind("FileTime SetError.\n", 0), 0u);
    EXPECT_EQ(row.Path, dir / "y.mp3");
}

// --- lyrics files

class LyricsFollow : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir / "lyrics");
        music = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "x.mp3");
        for (const char* name : {"x.lrc", "x.txt", "lyrics/x.lrc", "lyrics/x.txt"}) {
            test::WriteFile(dir / name, std::string("words of ") + name);
            Age(dir / name);
        }
        settings.RenLrcFld = dir / "lyrics/";
    }

    bool Rename(const std::string& to) {
        TrackInfo row = FileRow(music);
        row.FileName = to;
        return RenameStep(row, settings, prompter);
    }

    TempDir dir;
    std::string music;
    Settings settings;  // RenLrc on, RenLrcTxt off, RenLrcDir off by default
    ScriptedPrompter prompter;
};

TEST_F(LyricsFollow, LrcBesideTheFileFollowsWithItsTime) {
    ASSERT_TRUE(Rename("y.mp3"));
    EXPECT_EQ(test::ReadFile(dir / "y.lrc"), "words of x.lrc");
    EXPECT_EQ(WriteTime(dir / "y.lrc"), kOldTime);
    EXPECT_FALSE(fs::Exists(dir / "x.lrc"));
    EXPECT_TRUE(fs::Exists(dir / "x.txt"));
    EXPECT_TRUE(fs::Exists(dir / "lyrics/x.lrc"));
}

TEST_F(LyricsFollow, TxtAndTheLyricsFolderWhenAskedFor) {
    settings.Set(Option::RenLrcTxt, true);
    settings.Set(Option::RenLrcDir, true);
    ASSERT_TRUE(Rename("y.rmp"));
    for (const char* name : {"y.lrc", "y.txt", "lyrics/y.lrc", "lyrics/y.txt"}) EXPECT_TRUE(fs::Exists(dir / name)) << name;
    for (const char* name : {"x.lrc", "x.txt", "lyrics/x.lrc", "lyrics/x.txt"}) EXPECT_FALSE(fs::Exists(dir / name)) << name;
    EXPECT_EQ(test::ReadFile(dir / "lyrics/y.txt"), "words of lyrics/x.txt");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(LyricsFollow, NothingFollowsWithRenLrcOff) {
    settings.Set(Option::RenLrc, false);
    settings.Set(Option::RenLrcTxt, true);
    ASSERT_TRUE(Rename("y.mp3"));
    EXPECT_TRUE(fs::Exists(dir / "x.lrc"));
    EXPECT_TRUE(fs::Exists(dir / "x.txt"));
}

TEST_F(LyricsFollow, ALyricsFileInTheWayIsKeptAndSaysNothing) {
    test::WriteFile(dir / "y.lrc", "other words");
    ASSERT_TRUE(Rename("y.mp3"));
    EXPECT_EQ(test::ReadFile(dir / "y.lrc"), "other words");
    EXPECT_EQ(test::ReadFile(dir / "x.lrc"), "words of x.lrc");
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(LyricsFollow, AnEmptyLyricsFolderIsNotTheCurrentFolder) {
    settings.Set(Option::RenLrcDir, true);
    settings.RenLrcFld.clear();
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir / "lyrics");
    const bool renamed = Rename("y.mp3");
    std::filesystem::current_path(cwd);
    ASSERT_TRUE(renamed);
    EXPECT_TRUE(fs::Exists(dir / "lyrics/x.lrc"));
}
