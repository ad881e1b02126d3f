// Fill and copy all on rows, and the find: byte-wise, ASCII-only folding, never from the
// second byte of a double-byte character, over fields with and without a column.
#include <gtest/gtest.h>

#include "app/commands/Fill.h"
#include "app/commands/Find.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::ScriptedPrompter;
using test::Sjis;

namespace {

Session Rows(int count) {
    Session session;
    for (int i = 0; i < count; ++i) {
        TrackInfo row;
        row.FileName = "f" + std::to_string(i) + ".mp3";
        row.Path = "/m/" + row.FileName;
        row.Kind = "1";
        row.Fields[kTitle] = "t" + std::to_string(i);
        session.rows.Append(row);
    }
    return session;
}

void Check(Session& session, std::initializer_list<int> rows) {
    for (int r : rows) session.rows.Mutable(r).Checked = true;
}

TEST(Fill, ReplaceFillsOnlyCheckedRowsAndMacrosCountOverTheWholeList) {
    Session s = Rows(4);
    Check(s, {1, 2, 3});
    s.settings.Set(Option::FilUseMcr, false);
    EXPECT_EQ(FillRows(s, kAlbum, "ABC %n", FillMode::Replace), 3);
    EXPECT_EQ(s.rows[0].Fields[kAlbum], "");
    for (int r : {1, 2, 3}) EXPECT_EQ(s.rows[r].Fields[kAlbum], "ABC %n");

    s.settings.Set(Option::FilUseMcr, true);
    FillRows(s, kTitle, "%n-%2 ", FillMode::Front);
    EXPECT_EQ(s.rows[0].Fields[kTitle], "t0");
    EXPECT_EQ(s.rows[1].Fields[kTitle], "02-t1 t1");  // the unchecked first row still counts as 1
    EXPECT_EQ(s.rows[3].Fields[kTitle], "04-t3 t3");

    FillRows(s, kComment, "x", FillMode::Back);
    EXPECT_EQ(s.rows[2].Fields[kComment], "x");
    FillRows(s, kComment, "y", FillMode::Back);
    EXPECT_EQ(s.rows[2].Fields[kComment], "xy");
}

// A field cut mid-character loses its dangling lead byte when a text is put after it, which
// would otherwise pair with the text's first byte.
TEST(Fill, TextPutAfterAFieldEndingInALoneLeadByteStaysWhole) {
    Session s = Rows(1);
    Check(s, {0});
    s.rows.Mutable(0).Fields[kTitle] = "T\x82";
    FillRows(s, kTitle, Sjis("山"), FillMode::Back);
    EXPECT_EQ(s.rows[0].Fields[kTitle], "T" + Sjis("山"));
}

TEST(Fill, FilChkOffFillsAndChecksEveryRow) {
    Session s = Rows(3);
    s.settings.Set(Option::FilChkOff, true);
    EXPECT_EQ(FillRows(s, kCommission, "c", FillMode::Replace), 3);
    for (const TrackInfo& row : s.rows) {
        EXPECT_EQ(row.Fields[kCommission], "c");
        EXPECT_TRUE(row.Checked);
    }
    EXPECT_EQ(FillRows(s, 14, "no column", FillMode::Replace), 0);
}

TEST(CopyAll, CopiesFieldsZeroToFourteenToEveryRowAfterOk) {
    Session s = Rows(5);
    TrackInfo& current = s.rows.Mutable(2);
    for (int f = 0; f < kFieldCount; ++f) current.Fields[f] = "v" + std::to_string(f);
    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::Cancel);
    EXPECT_FALSE(CopyAllFields(s, 2, prompter));
    EXPECT_EQ(s.rows[0].Fields[kTitle], "t0");
    EXPECT_TRUE(prompter.shown()[0].buttons == PromptButtons::OkCancel);
    EXPECT_EQ(prompter.texts()[0], "すべての項目を選択されてるファイルと同じにします。\n");

    ASSERT_TRUE(CopyAllFields(s, 2, prompter));
    for (int r = 0; r < 5; ++r) {
        for (int f = 0; f < 15; ++f) EXPECT_EQ(s.rows[r].Fields[f], "v" + std::to_string(f));
        if (r != 2) {
            EXPECT_EQ(s.rows[r].Fields[15], "");
        }
        EXPECT_EQ(s.rows[r].FileName, "f" + std::to_string(r) + ".mp3");
        EXPECT_TRUE(s.rows[r].Checked);
    }
    EXPECT_FALSE(CopyAllFields(s, 7, prompter));
}

TEST(ContainsText, MatchesStartOnlyWhereACharacterStarts) {
    const std::string a = Sjis("ア"), ze = Sjis("ゼ");
    ASSERT_EQ(a, "\x83\x41");
    ASSERT_EQ(ze, "\x83\x5b");
    EXPECT_FALSE(ContainsText(a, "A", true));
    EXPECT_FALSE(ContainsText(a, "a", false));
    EXPECT_FALSE(ContainsText(ze, "[", false));
    EXPECT_TRUE(ContainsText(Sjis("アA"), "a", false));
    EXPECT_TRUE(ContainsText(Sjis("ｱA"), "A", true));  // half-width kana is one byte
    EXPECT_TRUE(ContainsText(ze + "[", "[", true));
    EXPECT_TRUE(ContainsText(Sjis("xアy"), a, true));
}

TEST(ContainsText, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(ContainsText("xABCx", "abc", false));
    EXPECT_TRUE(ContainsText("aBc", "AbC", false));
    EXPECT_FALSE(ContainsText("ABC", "abc", true));
    EXPECT_FALSE(ContainsText(Sjis("ＡＢＣ"), Sjis("ａｂｃ"), false));
    EXPECT_TRUE(ContainsText(Sjis("ＡＢＣ"), Sjis("ＡＢＣ"), false));
    // The second byte of a kana is no letter: "ア" (83 41) does not find "ヂ" (83 61).
    EXPECT_FALSE(ContainsText(Sjis("ヂ"), Sjis("ア"), false));
    EXPECT_TRUE(ContainsText(Sjis("xアB"), Sjis("アb"), false));
    EXPECT_FALSE(ContainsText("[", "{", false));  // 0x5B and 0x7B are no letters
    EXPECT_FALSE(ContainsText("abc", "", false));
    EXPECT_FALSE(ContainsText("ab", "abc", false));
}

TEST(FindRow, SearchesEveryFieldFromTheStartWithoutWrapping) {
    Session s = Rows(4);
    s.rows.Mutable(1).Fields[kSubject] = "hidden";  // a field without a column
    s.rows.Mutable(3).Fields[kMp3Field] = "hidden";
    EXPECT_EQ(FindRow(s.rows, 0, "HIDDEN", false), 1);
    EXPECT_EQ(FindRow(s.rows, 2, "hidden", true), 3);
    EXPECT_EQ(FindRow(s.rows, 0, "f2.mp3", true), 2);
    EXPECT_EQ(FindRow(s.rows, 4, "f", true), -1);
    EXPECT_EQ(FindRow(s.rows, 3, "t0", true), -1);
}

TEST(FindFromDialog, StartsAfterTheFocusOrAtTheLastFoundAndRemembersTheCaseChoice) {
    Session s = Rows(4);
    s.rows.Mutable(0).Fields[kArtist] = "Abc";
    s.rows.Mutable(2).Fields[kArtist] = "abc";
    ScriptedPrompter prompter;
    SearchState state;
    // No focused row: from LastFoundIndex (0) itself.
    EXPECT_EQ(FindFromDialog(s.rows, state, "abc", false, false, -1, prompter), 0);
    EXPECT_EQ(FindFromDialog(s.rows, state, "abc", false, false, 0, prompter), 2);
    EXPECT_EQ(state.LastFoundIndex, 2);
    EXPECT_EQ(FindFromDialog(s.rows, state, "abc", false, false, 2, prompter), -1);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].title, "検索");
    EXPECT_EQ(prompter.shown()[0].text, "abc が見つかりません。");
    EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Information);
    EXPECT_EQ(state.LastFoundIndex, 2);
    EXPECT_EQ(FindFromDialog(s.rows, state, "abc", false, true, 3, prompter), 0);

    // Find next keeps the case choice of the last successful search, not of the last typed.
    EXPECT_EQ(FindFromDialog(s.rows, state, "abc", true, true, -1, prompter), 2);
    EXPECT_EQ(FindFromDialog(s.rows, state, "ABC", false, false, 2, prompter), -1);
    state.SearchText = "abc";
    EXPECT_EQ(FindNext(s.rows, state, 0, prompter), 2);
    EXPECT_EQ(FindNext(s.rows, state, -1, prompter), -1);
}

}  // namespace
