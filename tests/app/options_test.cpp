// What the options dialog opens on when stored values are out of range, and what its OK
// carries into the settings.
#include <gtest/gtest.h>

#include "app/commands/Options.h"
#include "formats/PathText.h"

using namespace wvr;

// The dialog shows a rule's three texts; a field number it cannot show opens as the file name.
TEST(OptionsWorkingCopy, RulesGetTheirThreeTexts) {
    Settings s;
    s.ReName = {{"text"}, {"x", "%2%e", "99"}, {"y", "%1", "14"}};
    const Settings copy = OptionsWorkingCopy(s);
    EXPECT_EQ(copy.ReName[0], (std::vector<std::string>{"text", "", "0"}));
    EXPECT_EQ(copy.ReName[1][kRuleField], "0");
    EXPECT_EQ(copy.ReName[2][kRuleField], "14");
}

TEST(OptionsWorkingCopy, NoPatternsSelectsNothingAndAFilterAlwaysHasItsInclusionEntry) {
    Settings s;
    s.RenString.clear();
    s.RenStrIdx = 0;
    s.Filter.clear();
    const Settings copy = OptionsWorkingCopy(s);
    EXPECT_EQ(copy.RenStrIdx, -1);
    ASSERT_EQ(copy.Filter.size(), 1u);
    EXPECT_EQ(copy.Filter[0], (FilterEntry{false, 0, ""}));
}

// The last field (Index 17) is a field; beyond it the entry opens as the file name.
TEST(OptionsWorkingCopy, FilterEntriesKeepEveryFieldIndex) {
    Settings s;
    s.Filter = {{true, 17, "a"}, {false, 18, "b"}, {true, -1, "c"}};
    const Settings copy = OptionsWorkingCopy(s);
    EXPECT_EQ(copy.Filter, (std::vector<FilterEntry>{{true, 17, "a"}, {false, 0, "b"}, {true, 0, "c"}}));
}

TEST(ApplyOptions, TakesWhatTheDialogEditsAndLeavesWindowState) {
    Settings target;
    Settings edited;
    edited.bits.flip();
    edited.EdtClmIdx = 2;
    edited.PlyPlayer = "/usr/bin/player";
    edited.CnvEngineer = "me";
    edited.RenLrcFld = "/lyrics/";
    edited.RenString = {"%2%e"};
    edited.RenStrIdx = 0;
    edited.fonts[2] = {"Serif", 14, 0x123456};
    edited.FilterSel = true;
    edited.ReName = {{"a", "b", "2"}};
    edited.Filter = {{true, 3, "x"}, {true, 1, "y"}};
    edited.csvColumns = {0, 15};
    edited.CsvUtf8 = edited.CsvHeader = true;
    // Values the dialog does not show must not travel with it.
    edited.WndWidth = 999;
    edited.columnWidths[3] = 1;
    edited.editWindow.f1Width = 1;
    edited.StatusBarVis = false;

    ApplyOptions(target, edited);
    Settings expected = edited;
    expected.WndWidth = Settings().WndWidth;
    expected.columnWidths = Settings().columnWidths;
    expected.editWindow = Settings().editWindow;
    expected.StatusBarVis = true;
    EXPECT_EQ(target, expected);
}

TEST(LyricsFolder, GainsOneSeparatorWhenItHasNone) {
    const std::string sep(1, path::kSeparator);
    EXPECT_EQ(path::WithTrailingSeparator(""), "");
    EXPECT_EQ(path::WithTrailingSeparator("lyrics"), "lyrics" + sep);
    EXPECT_EQ(path::WithTrailingSeparator("lyrics" + sep), "lyrics" + sep);
}
