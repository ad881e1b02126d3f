#include <gtest/gtest.h>

#include "formats/CommaText.h"
#include "formats/FieldMacros.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

TrackInfo Row(const std::string& artist, const std::string& title, FileKind kind,
              const std::string& path = "/music/old.mp3") {
    TrackInfo row;
    row.Fields[kArtist] = artist;
    row.Fields[kTitle] = title;
    row.Kind = std::to_string(static_cast<int>(kind));
    row.Path = path;
    row.FileName = "x.mp3";
    return row;
}

std::string Expand(std::string_view pattern, const TrackInfo& row, MacroOptions options = {}, long long n = 1) {
    return ExpandFieldMacros(pattern, n, row, options);
}

}  // namespace

TEST(FieldMacros, DefaultPatternAndExtensionByKind) {
    EXPECT_EQ(Expand("[%1] %2%e", Row("A", "B", FileKind::Mpeg)), "[A] B.mp3");
    EXPECT_EQ(Expand("[%1] %2%e", Row("A", "B", FileKind::RiffRmp3)), "[A] B.rmp");
    EXPECT_EQ(Expand("[%1] %2%e", Row("A", "B", FileKind::RiffRmp3), {.RmpAsMp3 = true}), "[A] B.mp3");
    EXPECT_EQ(Expand("%e", Row("", "", FileKind::RiffWave), {.RmpAsMp3 = true}), ".wav");
    EXPECT_EQ(Expand("%e", Row("", "", FileKind::Id3v2Mpeg)), ".mp3");
    EXPECT_EQ(Expand("%e", Row("", "", FileKind::SoundVq)), ".vqf");
    EXPECT_EQ(Expand("[%1] %2%e", Row("A", "B", FileKind::Unsupported)), "[A] B");
    EXPECT_EQ(Expand("[%1] %2%e", Row("A", "B", static_cast<FileKind>(5))), "[A] B");
}

TEST(FieldMacros, EveryNameCodeAndItsField) {
    TrackInfo row = Row("Art", "Tit", FileKind::Mpeg);
    row.Fields[kAlbum] = "Alb";
    row.Fields[kDate] = "1999";
    row.Fields[kComment] = "Com";
    EXPECT_EQ(Expand("%1|%2|%3|%4|%5", row), "Art|Tit|Alb|1999|Com");
    // Codes outside the name vocabulary, and codes written in the other case, stay as written.
    EXPECT_EQ(Expand("%6 %A %E %N %8 %t %%", row), "%6 %A %E %N %8 %t %%");
    EXPECT_EQ(Expand("", row), "");
    EXPECT_EQ(Expand("%3%4", Row("", "", FileKind::Mpeg)), "");
}

TEST(FieldMacros, RunningNumberHasAtLeastTwoDigits) {
    TrackInfo row = Row("A", "B", FileKind::Mpeg);
    EXPECT_EQ(Expand("%n", row, {}, 7), "07");
    EXPECT_EQ(Expand("%n", row, {}, 0), "00");
    EXPECT_EQ(Expand("%n", row, {}, 10), "10");
    EXPECT_EQ(Expand("%n", row, {}, 12), "12");
    EXPECT_EQ(Expand("%n-%n", row, {}, 123), "123-123");
}

TEST(FieldMacros, NameCodesComeFromThePathOnDisk) {
    // The file-name column holds a pending "x.mp3"; the codes read the name in Path.
    TrackInfo row = Row("A", "B", FileKind::RiffRmp3, "/music/old.rmp");
    EXPECT_EQ(Expand("%7|%f|%9", row), "old|old|.rmp");
    row.Path = "/music/v1.0/readme";
    EXPECT_EQ(Expand("%7|%9", row), "readme|");
    row.Path = "/music/a.b.c";
    EXPECT_EQ(Expand("%7|%9", row), "a.b|.c");
    row.Path = Sjis("/music/曲.mp3");
    EXPECT_EQ(Expand("%7", row), Sjis("曲"));
}

TEST(FieldMacros, PassesRunInTheirFixedOrder) {
    // A value that holds a later code is expanded again; one that holds an earlier code is not.
    EXPECT_EQ(Expand("%1", Row("%2", "T", FileKind::Mpeg)), "T");
    EXPECT_EQ(Expand("%2", Row("A", "%1%e", FileKind::Mpeg)), "%1.mp3");
}

TEST(FieldMacros, SafeCharsTranslateEvenThePatternItself) {
    TrackInfo row = Row("A", "B", FileKind::Mpeg);
    EXPECT_EQ(Expand("%1/%2", row), "A/B");
    EXPECT_EQ(Expand("%1/%2", row, {.SafeChars = true}), Sjis("A／B"));
    EXPECT_EQ(Expand("sub\\%2", row, {.SafeChars = true}), Sjis("sub￥B"));
    EXPECT_EQ(Expand("%2.x", row, {.SafeChars = true}), "B.x");
}

TEST(FieldMacros, HalfWidthThenSpacesThenSafeChars) {
    TrackInfo row = Row("", Sjis("ＡＢＣ　１２３"), FileKind::Mpeg);
    EXPECT_EQ(Expand("%2", row, {.HalfWidth = true}), "ABC 123");
    EXPECT_EQ(Expand("%2", row, {.UnderscoreSpaces = true, .HalfWidth = true}), "ABC_123");
    EXPECT_EQ(Expand("%2", row, {.UnderscoreSpaces = true}), Sjis("ＡＢＣ　１２３"));

    // "？" goes to "?" and back; letters, the ideographic space and "！" stay ASCII.
    TrackInfo mixed = Row("", Sjis("Ｑ？　ｚ！"), FileKind::Mpeg);
    MacroOptions all{.UnderscoreSpaces = true, .SafeChars = true, .HalfWidth = true};
    EXPECT_EQ(Expand("%2", mixed, all), Sjis("Q？_z!"));
    // The pattern's own full-width characters are converted as well, after the codes were
    // expanded, so a full-width "２" never becomes a code.
    EXPECT_EQ(Expand(Sjis("％２　Ｘ%2"), mixed, {.HalfWidth = true}), Sjis("％") + "2 XQ? z!");
}

TEST(SafeCharTable, EveryCharacterInOrderAndSecondBytesUntouched) {
    EXPECT_EQ(ApplySafeCharTable("/\\?:;,*\"<>|."), Sjis("／￥？：；，＊”＜＞｜."));
    // "ソ" is 83 5C and "ポ" is 83 7C: their second bytes are "\" and "|".
    EXPECT_EQ(ApplySafeCharTable(Sjis("ソポ\\|")), Sjis("ソポ￥｜"));
    // A lone lead byte at the end is kept as it is.
    EXPECT_EQ(ApplySafeCharTable("a/\x83"), Sjis("a／") + "\x83");
}

TEST(FullToHalfWidth, LettersDigitsAndSymbols) {
    EXPECT_EQ(FullToHalfWidth(Sjis("０９ＡＺａｚ")), "09AZaz");
    EXPECT_EQ(FullToHalfWidth(Sjis("　，：；？！／｜”＜＞￥＊")), " ,:;?!/|\"<>\\*");
    // Full-width characters outside the list stay.
    EXPECT_EQ(FullToHalfWidth(Sjis("あ～＃（")), Sjis("あ～＃（"));
    EXPECT_EQ(FullToHalfWidth(Sjis("ｱＡ曲Ｂ")), Sjis("ｱA曲B"));
}

TEST(FullToHalfWidth, CharacterStartsFollowTheByteWalk) {
    // ASCII and half-width katakana count as single bytes, so "Ａ" after them is still seen.
    EXPECT_EQ(FullToHalfWidth("a\x82\x60"), "aA");
    EXPECT_EQ(FullToHalfWidth("\xB1\x82\x60"), "\xB1" "A");
    // Control characters, 7F, 80, A0 and E0..FF take the next byte with them.
    for (const char* first : {"\x01", "\x7F", "\x80", "\xA0", "\xFF"}) {
        std::string text = std::string(first) + "\x82\x60\x82\x60";
        EXPECT_EQ(FullToHalfWidth(text), std::string(first) + "\x82" "\x60" "A") << int(first[0] & 0xFF);
    }
    // A lead byte with a trail that looks like a lead is one character.
    EXPECT_EQ(FullToHalfWidth("\x88\x82\x60"), "\x88\x82\x60");
    // A lead byte at the very end stays.
    EXPECT_EQ(FullToHalfWidth("a\x82"), "a\x82");
}

TEST(FullToHalfWidth, EndsAtTheFirstZeroByte) {
    EXPECT_EQ(FullToHalfWidth(Sjis("Ａ") + std::string(1, '\0') + Sjis("Ｂ")), "A");
    EXPECT_EQ(FullToHalfWidth(""), "");
}

TEST(FormatPlayTime, MinutesBelowAnHourThenHours) {
    EXPECT_EQ(FormatPlayTime(0), "00:00");
    EXPECT_EQ(FormatPlayTime(59), "00:59");
    EXPECT_EQ(FormatPlayTime(61), "01:01");
    EXPECT_EQ(FormatPlayTime(3599), "59:59");
    EXPECT_EQ(FormatPlayTime(3600), "01:00:00");
    EXPECT_EQ(FormatPlayTime(3661), "01:01:01");
    EXPECT_EQ(FormatPlayTime(360000), "100:00:00");
}

TEST(CommaText, RenameRulesKeepTheirTexts) {
    // An exception rule is held as one comma text: comparison text, pattern, field number.
    using Items = std::vector<std::string>;
    Items rule = {Sjis("ソ　表"), "[%1] %2%e", "2"};
    std::string stored = JoinCommaText(rule);
    EXPECT_EQ(stored, Sjis("ソ　表") + ",\"[%1] %2%e\",2");
    EXPECT_EQ(SplitCommaText(stored), rule);
    EXPECT_EQ(SplitCommaText("\tabc ,\r\n%2%e,\n2"), (Items{"abc", "%2%e", "2"}));
}
