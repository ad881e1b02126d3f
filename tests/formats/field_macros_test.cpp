#include <gtest/gtest.h>

#include "formats/CommaText.h"
#include "formats/FieldMacros.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

TrackInfo Row(const std::string& artist, const std::string& title, int kind = 1, const std::string& path = "/m/old.mp3") {
    TrackInfo row;
    row.Fields[kArtist] = artist;
    row.Fields[kTitle] = title;
    row.Fields[kAlbum] = "Alb";
    row.Fields[kDate] = "1999";
    row.Fields[kComment] = "Com";
    row.Kind = std::to_string(kind);
    row.Path = path;
    row.FileName = "pending.mp3";
    return row;
}

}  // namespace

TEST(FieldMacros, CodesExtensionsAndNumbers) {
    EXPECT_EQ(ExpandFieldMacros("[%1] %2%e", 1, Row("A", "B"), {}), "[A] B.mp3");
    EXPECT_EQ(ExpandFieldMacros("[%1] %2%e", 1, Row("A", "B", 3), {}), "[A] B.rmp");
    EXPECT_EQ(ExpandFieldMacros("[%1] %2%e", 1, Row("A", "B", 3), {.RmpAsMp3 = true}), "[A] B.mp3");
    EXPECT_EQ(ExpandFieldMacros("[%1] %2%e", 1, Row("A", "B", 5), {}), "[A] B");
    for (auto [kind, ext] : {std::pair{0, ""}, {2, ".wav"}, {4, ".mp3"}, {15, ".vqf"}})
        EXPECT_EQ(KindExtension(kind, true), ext);
    EXPECT_EQ(ExpandFieldMacros("%3|%4|%5", 1, Row("", ""), {}), "Alb|1999|Com");
    // Only the name vocabulary is expanded, case-sensitively.
    EXPECT_EQ(ExpandFieldMacros("%6 %A %E %N %8 %%", 1, Row("A", "B"), {}), "%6 %A %E %N %8 %%");
    EXPECT_EQ(ExpandFieldMacros("%n", 7, Row("", ""), {}), "07");
    EXPECT_EQ(ExpandFieldMacros("%n", 12, Row("", ""), {}), "12");
    EXPECT_EQ(ExpandFieldMacros("%n-%n", 123, Row("", ""), {}), "123-123");
    // Fixed pass order: a value holding a later code is expanded again, an earlier one is not.
    EXPECT_EQ(ExpandFieldMacros("%1", 1, Row("%2", "T"), {}), "T");
    EXPECT_EQ(ExpandFieldMacros("%2", 1, Row("A", "%1%e"), {}), "%1.mp3");
}

TEST(FieldMacros, NameCodesReadThePathNotThePendingName) {
    EXPECT_EQ(ExpandFieldMacros("%7|%f|%9", 1, Row("", "", 3, "/m/old.rmp"), {}), "old|old|.rmp");
    EXPECT_EQ(ExpandFieldMacros("%7|%9", 1, Row("", "", 1, "/m/v1.0/readme"), {}), "readme|");
    EXPECT_EQ(ExpandFieldMacros("%7|%9", 1, Row("", "", 1, "/m/a.b.c"), {}), "a.b|.c");
}

TEST(FieldMacros, OptionsRunHalfWidthThenSpacesThenSafeChars) {
    EXPECT_EQ(ExpandFieldMacros("%1/%2", 1, Row("A", "B"), {}), "A/B");
    EXPECT_EQ(ExpandFieldMacros("%1/%2", 1, Row("A", "B"), {.SafeChars = true}), Sjis("A／B"));
    EXPECT_EQ(ExpandFieldMacros("d\\%2.x", 1, Row("A", "B"), {.SafeChars = true}), Sjis("d￥B.x"));
    const TrackInfo wide = Row("", Sjis("ＡＢＣ　１２３"));
    EXPECT_EQ(ExpandFieldMacros("%2", 1, wide, {.HalfWidth = true}), "ABC 123");
    EXPECT_EQ(ExpandFieldMacros("%2", 1, wide, {.UnderscoreSpaces = true, .HalfWidth = true}), "ABC_123");
    EXPECT_EQ(ExpandFieldMacros("%2", 1, wide, {.UnderscoreSpaces = true}), Sjis("ＡＢＣ　１２３"));
    // "？" becomes "?" and "？" again; the pattern's own characters are converted after expansion.
    const MacroOptions all{.UnderscoreSpaces = true, .SafeChars = true, .HalfWidth = true};
    EXPECT_EQ(ExpandFieldMacros(Sjis("％２") + "%2", 1, Row("", Sjis("Ｑ？　ｚ！")), all), Sjis("％") + Sjis("2Q？_z!"));
}

TEST(FieldMacros, SafeCharTableGoesCharacterByCharacter) {
    EXPECT_EQ(ApplySafeCharTable("/\\?:;,*\"<>|."), Sjis("／￥？：；，＊”＜＞｜."));
    // "ソ" (83 5C) and "ポ" (83 7C) end in "\" and "|"; a lone lead byte at the end stays.
    EXPECT_EQ(ApplySafeCharTable(Sjis("ソポ\\|") + "\x83"), Sjis("ソポ￥｜") + "\x83");
}

TEST(FieldMacros, FullToHalfWidthWalksByCharacters) {
    EXPECT_EQ(FullToHalfWidth(Sjis("０９ＡＺａｚ　，：；？！／｜”＜＞￥＊")), "09AZaz ,:;?!/|\"<>\\*");
    EXPECT_EQ(FullToHalfWidth(Sjis("あ～＃ｱＡ曲Ｂ")), Sjis("あ～＃ｱA曲B"));
    EXPECT_EQ(FullToHalfWidth("\xB1\x82\x60"), "\xB1" "A");
    // A byte that is neither ASCII nor a lead byte stands alone: what follows is still read
    // from its character starts.
    for (char first : {'\x01', '\x7F', '\x80', '\xA0', '\xFD', '\xFF'})
        EXPECT_EQ(FullToHalfWidth(std::string{first} + "\x82\x60\x82\x60"), std::string{first} + "AA");
    // "\x04求^": the trail byte of "求" and the next byte were once taken for "／" and became "/".
    EXPECT_EQ(FullToHalfWidth("\x04\x8B\x81\x5E"), "\x04\x8B\x81\x5E");
    EXPECT_EQ(FullToHalfWidth("\x88\x82\x60"), "\x88\x82\x60");
    EXPECT_EQ(FullToHalfWidth("a\x82"), "a\x82");
    EXPECT_EQ(FullToHalfWidth(Sjis("Ａ") + std::string(1, '\0') + Sjis("Ｂ")), "A");
}

TEST(FieldMacros, PlayTimeAndRuleTexts) {
    for (auto [seconds, text] : {std::pair{0LL, "00:00"}, {59LL, "00:59"}, {3599LL, "59:59"}, {3600LL, "01:00:00"},
                                 {3661LL, "01:01:01"}, {360000LL, "100:00:00"}})
        EXPECT_EQ(FormatPlayTime(seconds), text);
    // An exception rule kept as one comma text, double-byte texts and blanks included.
    const std::vector<std::string> rule = {Sjis("ソ　表"), "[%1] %2%e", "2"};
    EXPECT_EQ(JoinCommaText(rule), Sjis("ソ　表") + ",\"[%1] %2%e\",2");
    EXPECT_EQ(SplitCommaText(JoinCommaText(rule)), rule);
    EXPECT_EQ(SplitCommaText("\tabc ,\r\n%2%e,\n2"), (std::vector<std::string>{"abc", "%2%e", "2"}));
}
