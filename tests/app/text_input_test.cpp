// Text input by format: the common lines and the block, step by step, on the examples of a
// track list; formats stored in "wvr_In.ini"; the line ends of a text file, and one that
// cannot be read.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "app/commands/SettingsIo.h"
#include "app/commands/TextInput.h"
#include "platform/core/Registry.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

const std::vector<std::string> kDefault = {"%3 / %1", "{", "%0.%2", "}"};

class TextInputTest : public ::testing::Test {
protected:
    void Rows(int count) {
        for (int i = 0; i < count; ++i) {
            TrackInfo row;
            row.Fields[kTitle] = "old";
            row.Fields[kAlbum] = "X";
            rows.Append(row);
        }
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> titles;
        for (const TrackInfo& row : rows) titles.push_back(row.Fields[kTitle]);
        return titles;
    }

    RowList rows;
};

}  // namespace

TEST_F(TextInputTest, CommonValuesGoIntoEveryRowOfTheBlock) {
    Rows(3);
    rows.Mutable(2).Checked = true;
    RunTextInput(rows, kDefault, {"Best Album / The Band", "", "1.First", "2.Second"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First", "Second", "old"}));
    for (int i : {0, 1}) {
        EXPECT_EQ(rows[i].Fields[kAlbum], "Best Album");  // replaced the album "X"
        EXPECT_EQ(rows[i].Fields[kArtist], "The Band");
        EXPECT_FALSE(rows[i].Checked);
    }
    EXPECT_EQ(rows[2].Fields[kAlbum], "X");
    EXPECT_TRUE(rows[2].Checked);
}

TEST_F(TextInputTest, ALineThatFailsACommonLineIsPassedOver) {
    Rows(1);
    RunTextInput(rows, kDefault, {"Track list", "Best Album / The Band", "1.First"});
    EXPECT_EQ(rows[0].Fields[kAlbum], "Best Album");
    EXPECT_EQ(rows[0].Fields[kTitle], "First");
}

TEST_F(TextInputTest, ALineThatFailsInTheBlockEndsIt) {
    Rows(4);
    RunTextInput(rows, kDefault, {"A / B", "1.First", "3 Third", "4.Fourth"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First", "old", "old", "old"}));
    // An empty line inside the block ends it the same way.
    RunTextInput(rows, kDefault, {"A / B", "1.One", "", "2.Two"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"One", "old", "old", "old"}));
}

// The format goes on after the failed block line: here with the next block, on the same text
// line and the next row.
TEST_F(TextInputTest, ABlockLineThatFailsGivesWayToTheFormatLinesAfterIt) {
    Rows(3);
    RunTextInput(rows, {"{", "T:%2", "}", "{", "%1", "}"}, {"T:a", "x", "y"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a", "old", "old"}));
    EXPECT_EQ(rows[1].Fields[kArtist], "x");
    EXPECT_EQ(rows[2].Fields[kArtist], "y");
}

TEST_F(TextInputTest, EveryCommonValueReachesEveryRow) {
    Rows(2);
    RunTextInput(rows, {"%1|%3|%5|%4|%6", "{", "%2", "}"}, {"A|L|C|1999|Jazz", "x", "y"});
    for (const TrackInfo& row : rows)
        EXPECT_EQ((std::vector<std::string>(row.Fields.begin() + 1, row.Fields.begin() + 6)),
                  (std::vector<std::string>{"A", "L", "C", "1999", "Jazz"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"x", "y"}));
}

TEST_F(TextInputTest, TheRunStopsWhenRowsOrLinesRunOut) {
    Rows(2);
    RunTextInput(rows, kDefault, {"A / B", "1.a", "2.b", "3.c"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a", "b"}));
    Rows(1);
    RunTextInput(rows, kDefault, {"A / B", "1.x"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"x", "b", "old"}));
}

TEST_F(TextInputTest, SkippedLinesAndBlocksThatTakeNothing) {
    Rows(3);
    RunTextInput(rows, {"{", "%0", "%2", "}"}, {"skip", "one", "skip", "two", "skip"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"one", "two", "old"}));
    // Blocks that take no line and no row end without looping.
    RunTextInput(rows, {"{", "}", "%2"}, {"a", "b"});
    EXPECT_EQ(rows[0].Fields[kTitle], "one");
    RunTextInput(rows, {"{", "%0", "}"}, {"a", "b"});
    RunTextInput(rows, {"{"}, {"a"});
    EXPECT_EQ(Titles(), (std::vector<std::string>{"one", "two", "old"}));
}

TEST(TextInputFormats, StoredFormatsComeBackAndRefusedNamesWriteNothing) {
    test::IsolatedConfig config;
    test::ScriptedPrompter prompter;
    const InputFormat tracks{"Tracks", {"  %3", "{", "%2", "}"}, "lst"};
    ASSERT_TRUE(StoreInputFormat(tracks, prompter));
    EXPECT_EQ(InputFormatChoices(), (std::vector<std::string>{"Default", "Tracks"}));
    EXPECT_EQ(LoadInputFormat("Tracks"), tracks);
    EXPECT_EQ(test::ReadFile(IniFilePath(kInputIni)),
              "[Tracks]\r\nDATA_0=\"  %3\"\r\nDATA_1=\"{\"\r\nDATA_2=\"%2\"\r\nDATA_3=\"}\"\r\nEXT=lst\r\n");
    EXPECT_EQ(LoadInputFormat("Default"), DefaultInputFormat());

    for (const char* name : {"wvr", "Default"}) EXPECT_FALSE(StoreInputFormat({name, {"%2"}, "txt"}, prompter));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>(2, "この名前は使用出来ません。変更してください。"));
    ASSERT_TRUE(DeleteInputFormat("Tracks", prompter));
    EXPECT_EQ(InputFormatChoices(), std::vector<std::string>{"Default"});
}

TEST(TextInputFormats, TextFilesAreReadAtEveryLineEndAndAnUnreadableOneIsNamed) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    Session session;
    session.rows.Append(TrackInfo{});
    session.rows.Append(TrackInfo{});
    EXPECT_FALSE(TextInputCommand(session, kDefault, dir / "none.txt", prompter));
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"ファイルを読み込めませんでした。\n" + dir / "none.txt" + "\n" + std::strerror(ENOENT)});
    // Lines end at CR LF, LF or a lone CR.
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        test::WriteFile(dir / "list.txt", "A / B" + end + "1.T" + end + "2.U" + end);
        EXPECT_TRUE(TextInputCommand(session, kDefault, dir / "list.txt", prompter));
        EXPECT_EQ(session.rows[0].Fields[kTitle], "T");
        EXPECT_EQ(session.rows[1].Fields[kTitle], "U");
        for (int i : {0, 1}) session.rows.Mutable(i).Fields[kTitle].clear();
    }
}

// An editor's track list in UTF-8, with or without a byte-order mark; a CP932 one stays CP932.
// Characters CP932 lacks become "?", said once for the file.
TEST(TextInputFormats, AUtf8TextFileIsReadAsUtf8) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    Session session;
    for (int i = 0; i < 2; ++i) session.rows.Append(TrackInfo{});
    const std::pair<std::string, std::string> files[] = {
        {"春\nCafé ñ\n", "Caf? ?"}, {"\xEF\xBB\xBF春\nB\n", "B"}, {test::Sjis("春\nB\n"), "B"}};
    for (const auto& [bytes, second] : files) {
        test::WriteFile(dir / "list.txt", bytes);
        ASSERT_TRUE(TextInputCommand(session, {"{", "%2", "}"}, dir / "list.txt", prompter));
        EXPECT_EQ(session.rows[0].Fields[kTitle], test::Sjis("春"));
        EXPECT_EQ(session.rows[1].Fields[kTitle], second);
    }
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "list.txt には Shift-JIS で表せない文字が 2 個あり、「?」に置き換えました。");
    EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Warning);
}
