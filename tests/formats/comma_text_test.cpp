#include <gtest/gtest.h>

#include "formats/CommaText.h"
#include "support/TestSupport.h"

using namespace wvr;
using Items = std::vector<std::string>;

TEST(CommaText, JoinQuotesOnlyWhereNeeded) {
    EXPECT_EQ(JoinCommaText({"a b", "", "c"}), "\"a b\",,c");
    EXPECT_EQ(JoinCommaText({""}), "\"\"");
    EXPECT_EQ(JoinCommaText({}), "");
    EXPECT_EQ(JoinCommaText({"say \"hi\"", "x,y", "plain"}), "\"say \"\"hi\"\"\",\"x,y\",plain");
    EXPECT_EQ(JoinCommaText({"[%1] %2%e"}), "\"[%1] %2%e\"");
    EXPECT_EQ(JoinCommaText({"tab\there"}), "\"tab\there\"");
}

TEST(CommaText, SplitExamples) {
    EXPECT_EQ(SplitCommaText("\"a b\",,c"), (Items{"a b", "", "c"}));
    EXPECT_EQ(SplitCommaText("x,y,"), (Items{"x", "y"}));
    EXPECT_EQ(SplitCommaText("a b"), (Items{"a", "b"}));
    EXPECT_EQ(SplitCommaText(""), Items{});
    EXPECT_EQ(SplitCommaText("\"\""), Items{""});
    EXPECT_EQ(SplitCommaText(",a"), (Items{"", "a"}));
    EXPECT_EQ(SplitCommaText("  a ,  b  "), (Items{"a", "b"}));
    EXPECT_EQ(SplitCommaText("\"a\"b"), (Items{"a", "b"}));
    EXPECT_EQ(SplitCommaText("\"open"), Items{"open"});
    EXPECT_EQ(SplitCommaText("\"q\"\"q\""), Items{"q\"q"});
    EXPECT_EQ(SplitCommaText(std::string("a\0b", 3)), Items{"a"});
}

TEST(CommaText, RoundTripsAnyList) {
    std::vector<Items> lists = {
        {"a b", "", "c"}, {"[%1] %2%e", "%2%e"}, {"\"", ",", " "}, {"x"}, {"", "a"},
    };
    for (const Items& items : lists) EXPECT_EQ(SplitCommaText(JoinCommaText(items)), items);
}

TEST(CommaText, DoubleByteCharactersStayWhole) {
    // "ソ" is 83 5C: its second byte is "\" and must not end or split anything.
    std::string so = test::Sjis("ソ表");
    EXPECT_EQ(JoinCommaText({so}), so);
    EXPECT_EQ(SplitCommaText(so + "," + so), (Items{so, so}));
    EXPECT_EQ(SplitCommaText("\"" + so + " x\""), Items{so + " x"});
}

TEST(CommaText, ATextCutAfterALeadByteCannotSwallowTheNextItem) {
    // Found by fuzzing: "\xED" is the first byte of a double-byte character, so the closing
    // quote or comma written after it was read as its second byte.
    const std::string cut = "\xD2\"\xED";
    EXPECT_EQ(SplitCommaText(JoinCommaText({cut, "next"})), (Items{"\xD2\"", "next"}));
    EXPECT_EQ(SplitCommaText(JoinCommaText({"a\x81", "b"})), (Items{"a", "b"}));
    EXPECT_EQ(JoinCommaText({"\x81"}), "\"\"");
    // Written by another program: the lead byte pairs with no quote or comma when read.
    EXPECT_EQ(SplitCommaText("\"a\x82\",b\x82,c"), (Items{"a\x82", "b\x82", "c"}));
}

TEST(CommaText, TrailingEmptyItemIsLostAsInEveryReaderOfThisForm) {
    EXPECT_EQ(JoinCommaText({"a", ""}), "a,");
    EXPECT_EQ(SplitCommaText("a,"), Items{"a"});
}
