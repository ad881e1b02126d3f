#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>

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

namespace {

// What glibc's converter says, for comparing the tables against it.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    std::string out(in.size() * 4 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    char* dst = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t r = iconv(cd, &src, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string Utf8Of(char32_t c) {
    std::string s;
    if (c < 0x80) s += static_cast<char>(c);
    else if (c < 0x800) s += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    else
        s += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    return s;
}

}  // namespace

TEST(Cp932, TablesAgreeWithTheSystemConverterOnEveryCode) {
    for (const auto& [to, from] : {std::pair{"UTF-8", "CP932"}, {"CP932", "UTF-8"}}) {
        const iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1))
            GTEST_SKIP() << "the system's iconv cannot convert from " << from << " to " << to
                         << " (glibc's gconv modules are not installed)";
        iconv_close(cd);
    }
    int checked = 0;
    for (int lead = 0; lead < 0x100; ++lead) {
        for (int trail = -1; trail < 0x100; ++trail) {
            std::string bytes(1, static_cast<char>(lead));
            if (trail >= 0) bytes += static_cast<char>(trail);
            auto expected = Iconv("UTF-8", "CP932", bytes);
            EXPECT_EQ(cp932::ToUtf8Exact(bytes), expected) << std::hex << lead << " " << trail;
            ++checked;
        }
    }
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;
        const std::string utf8 = Utf8Of(c);
        const auto encoded = Iconv("CP932", "UTF-8", utf8);
        EXPECT_EQ(cp932::FromUtf8(utf8), encoded.value_or("?")) << std::hex << uint32_t(c);
        // File names take only codes that read back as the same character.
        const bool roundTrips = encoded && Iconv("UTF-8", "CP932", *encoded) == utf8;
        EXPECT_EQ(cp932::FromUtf8Exact(utf8), roundTrips ? encoded : std::nullopt) << std::hex << uint32_t(c);
    }
    EXPECT_GT(checked, 60000);
}

TEST(Cp932, NearFormsForTypedTextButNotForFileNames) {
    EXPECT_EQ(cp932::FromUtf8("\u301C"), "\x81\x60");  // WAVE DASH as the code page's tilde
    EXPECT_FALSE(cp932::FromUtf8Exact("\u301C"));
    EXPECT_EQ(cp932::FromUtf8Exact("\uFF5E"), "\x81\x60");
}

TEST(Cp932, MalformedUtf8BecomesQuestionMarks) {
    EXPECT_EQ(cp932::FromUtf8("a\xE3\x81" "b"), "a??b");
    EXPECT_EQ(cp932::FromUtf8("\xFF"), "?");
    EXPECT_FALSE(cp932::FromUtf8Exact("a\xC3"));
}

TEST(Cp932, OverlongFormsAndSurrogatesAreNoCharacters) {
    // A file name holding these bytes must not read as a path with "/" or a zero byte in it.
    EXPECT_FALSE(cp932::FromUtf8Exact("a\xE0\x80\xAF" "b"));
    EXPECT_FALSE(cp932::FromUtf8Exact("a\xE0\x80\x80" "b"));
    EXPECT_FALSE(cp932::FromUtf8Exact("a\xF0\x80\x80\xAF" "b"));
    EXPECT_FALSE(cp932::FromUtf8Exact("\xED\xA0\x80"));
    EXPECT_EQ(cp932::FromUtf8("a\xE0\x80\xAF" "b"), "a???b");
    EXPECT_EQ(cp932::FromUtf8Exact("\xE3\x81\x82"), "\x82\xA0");
}

TEST(Cp932, LeadsThatNoCharacterHasAreRefused) {
    // F9 91 A0 once read as U+9460 (CP932 E8 6A), which comes back as E9 91 A0: another file.
    EXPECT_FALSE(cp932::FromUtf8Exact("\xF9\x91\xA0"));
    for (const char* bytes : {"\xC0\xAF", "\xC1\xBF", "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xFE", "\xFF"})
        EXPECT_FALSE(cp932::FromUtf8Exact(std::string("a") + bytes)) << bytes;
    EXPECT_EQ(cp932::FromUtf8("\xF9\x91\xA0"), "???");
    EXPECT_EQ(cp932::FromUtf8Exact("\xF0\x9F\x8E\xB5"), std::nullopt);  // a real character CP932 lacks
}
