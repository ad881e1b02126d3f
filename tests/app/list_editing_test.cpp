#include <gtest/gtest.h>

#include "app/commands/ListEditing.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

Session WithTitles(const std::vector<std::string>& titles) {
    Session s;
    for (const std::string& t : titles) {
        TrackInfo row;
        row.Fields[kTitle] = t;
        row.FileName = t + ".mp3";
        s.rows.Append(row);
    }
    return s;
}

std::vector<std::string> Titles(const Session& s) {
    std::vector<std::string> out;
    for (const TrackInfo& r : s.rows) out.push_back(r.Fields[kTitle]);
    return out;
}

}  // namespace

TEST(SortRows, CollatesByLocaleNotByBytes) {
    Session s = WithTitles({"b", "B", "a", "", "10", "9"});
    SortRows(s, 1);
    // Letters compare alphabetically with lower case first; digits as text, not as numbers.
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"", "10", "9", "a", "b", "B"}));
    EXPECT_TRUE(s.sortDescending);
}

TEST(SortRows, DirectionIsSharedAndFlipsEveryTime) {
    Session s = WithTitles({"x", "z", "y"});
    SortRows(s, 1);
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"x", "y", "z"}));
    SortRows(s, 0);  // another column sorts descending
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"z", "y", "x"}));
    SortRows(s, 0);
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"x", "y", "z"}));
}

TEST(SortRows, JapaneseTextsAndWholeRowsMove) {
    Session s = WithTitles({test::Sjis("春"), test::Sjis("あ"), "Z"});
    s.rows.Mutable(0).Checked = true;
    SortRows(s, 1);
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"Z", test::Sjis("あ"), test::Sjis("春")}));
    EXPECT_TRUE(s.rows[2].Checked);
    EXPECT_EQ(s.rows[2].FileName, test::Sjis("春") + ".mp3");
}

TEST(SortRows, EmptyListKeepsItsDirection) {
    Session s;
    SortRows(s, 1);
    EXPECT_FALSE(s.sortDescending);
}

TEST(MoveRow, SwapsWithNeighbourAtTheEndsNothing) {
    Session s = WithTitles({"a", "b", "c"});
    EXPECT_EQ(MoveRow(s.rows, 0, true), -1);
    EXPECT_EQ(MoveRow(s.rows, 2, false), -1);
    EXPECT_EQ(MoveRow(s.rows, -1, false), -1);
    EXPECT_EQ(MoveRow(s.rows, 1, false), 2);
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"a", "c", "b"}));
    Session one = WithTitles({"only"});
    EXPECT_EQ(MoveRow(one.rows, 0, true), -1);
    EXPECT_EQ(MoveRow(one.rows, 0, false), -1);
}

TEST(DeleteCheckedRows, RemovesExactlyTheCheckedRowsInOrder) {
    Session s = WithTitles({"a", "b", "c", "d", "e"});
    for (int i : {0, 2, 3}) s.rows.Mutable(i).Checked = true;
    test::ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(DeleteCheckedRows(s.rows, prompter));
    EXPECT_EQ(s.rows.size(), 5);
    EXPECT_TRUE(DeleteCheckedRows(s.rows, prompter));
    EXPECT_EQ(Titles(s), (std::vector<std::string>{"b", "e"}));
    EXPECT_EQ(prompter.texts().back(), "チェックされているアイテムは、3個あります。\nリストから削除してもよろしいですか？");
}

TEST(CommitFileNameEdit, ChecksOnlyWhenTheTextChanged) {
    Session s = WithTitles({"a"});
    EXPECT_FALSE(CommitFileNameEdit(s.rows, 0, "a.mp3"));
    EXPECT_FALSE(s.rows[0].Checked);
    EXPECT_TRUE(CommitFileNameEdit(s.rows, 0, "new.mp3"));
    EXPECT_TRUE(s.rows[0].Checked);
    EXPECT_EQ(s.rows[0].FileName, "new.mp3");
}
