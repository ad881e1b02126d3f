#include <gtest/gtest.h>

#include "platform/base/Cp932.h"

using namespace wvr;

TEST(Cp932, RoundTripsJapaneseAndBackslash) {
    std::string utf8 = "春の小川 ソ表\\ ｱｲｳ";
    std::string sjis = cp932::FromUtf8(utf8);
    EXPECT_EQ(sjis.substr(0, 2), "\x8F\x74");
    EXPECT_EQ(cp932::ToUtf8(sjis), utf8);
    EXPECT_EQ(cp932::ToUtf8Exact(sjis), utf8);
}

TEST(Cp932, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(cp932::FromUtf8("a😀b"), "a?b");
    EXPECT_FALSE(cp932::FromUtf8Exact("a😀b"));
    EXPECT_EQ(cp932::FromUtf8Exact("abc"), "abc");
}

TEST(Cp932, InvalidBytesAreEscapedOrReplaced) {
    std::string bytes = "A\x82";  // a lone lead byte at the end
    EXPECT_EQ(cp932::ToUtf8(bytes, cp932::InvalidBytes::Escape), "A\\x82");
    EXPECT_EQ(cp932::ToUtf8(bytes), "A\xEF\xBF\xBD");
    EXPECT_FALSE(cp932::ToUtf8Exact(bytes));
}
