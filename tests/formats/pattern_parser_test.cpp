// Reading fields out of names by pattern: literals, skipped codes, the storing rules, and
// literals that must not match inside a double-byte character.
#include <gtest/gtest.h>

#include <array>

#include "formats/PatternParser.h"
#include "formats/TrackInfo.h"
#include "support/TestSupport.h"

using namespace wvr;
using wvr::test::Sjis;

namespace {

using Fields = std::array<std::string, kFieldCount>;

Fields Parse(const std::string& text, const std::string& pattern, ParseOptions options = {}, bool* ok = nullptr,
             Fields fields = {}) {
    const bool matched = ParseByPattern(text, pattern, fields, options);
    if (ok) *ok = matched;
    return fields;
}

}  // namespace

TEST(ParseByPattern, CodesTakeTheTextBetweenLiterals) {
    Fields f = Parse("[Artist] Title", "[%1]%?%2");
    EXPECT_EQ(f[kArtist], "Artist");
    EXPECT_EQ(f[kTitle], "Title");  // "%?" skipped the space

    EXPECT_EQ(Parse("01 - Song", "%0 - %2")[kTitle], "Song");
    f = Parse("[Band] Album", "[%1]%?%3");
    EXPECT_EQ(f[kArtist], "Band");
    EXPECT_EQ(f[kAlbum], "Album");

    // The trailing literal matches its first occurrence; the rest of the name is dropped.
    f = Parse("Love (Live) (Band)", "%2 (%1)");
    EXPECT_EQ(f[kTitle], "Love");
    EXPECT_EQ(f[kArtist], "Live");

    // Every code maps to its field; an unknown code skips like "%0"; values are trimmed.
    f = Parse("a|b|c|d|e|f|g", "%1|%2|%3|%4|%5|%6|%x");
    EXPECT_EQ((std::vector<std::string>{f[kTitle], f[kArtist], f[kAlbum], f[kComment], f[kDate], f[kGenre]}),
              (std::vector<std::string>{"b", "a", "c", "e", "d", "f"}));
    EXPECT_EQ(Parse(" x - y ", "%2-%1")[kTitle], "x");
}

TEST(ParseByPattern, AMissingLiteralFailsAndKeepsWhatWasStored) {
    bool ok = true;
    Fields f = Parse("Song", "[%1]%?%2", {}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(f, Fields{});

    f = Parse("A-B", "%1-%2=%3", {}, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(f[kArtist], "A");  // stored when "%2" was reached
    EXPECT_EQ(f[kTitle], "");
}

TEST(ParseByPattern, OverwriteUnderscoresAndHalfWidth) {
    Fields old{};
    old[kTitle] = "Old";
    EXPECT_EQ(Parse("New", "%2", {}, nullptr, old)[kTitle], "Old");
    EXPECT_EQ(Parse("New", "%2", {.overwrite = true}, nullptr, old)[kTitle], "New");
    EXPECT_EQ(Parse("A_B_C", "%2", {.underscoresToSpaces = true})[kTitle], "A B C");
    EXPECT_EQ(Parse("A_B_C", "%2")[kTitle], "A_B_C");
    EXPECT_EQ(Parse(Sjis("ＡＢＣ"), "%2", {.halfWidth = true})[kTitle], "ABC");
}

TEST(ParseByPattern, LiteralsNeverMatchTheSecondByteOfACharacter) {
    // "ソ" is 83 5C and "ー" is 81 5B: their second bytes are "\" and "[".
    Fields f = Parse(Sjis("ソX\\Y"), "%2\\%1");
    EXPECT_EQ(f[kTitle], Sjis("ソX"));
    EXPECT_EQ(f[kArtist], "Y");
    f = Parse(Sjis("ー[A]B"), "%0[%1]%2");
    EXPECT_EQ(f[kArtist], "A");
    EXPECT_EQ(f[kTitle], "B");
    // A lead byte followed by no valid second byte stands alone and hides no literal.
    f = Parse("X\x82-Y", "%1-%2");
    EXPECT_EQ(f[kArtist], "X\x82");
    EXPECT_EQ(f[kTitle], "Y");
}
