// The order of a folder's names: letters by their upper case, whatever their byte, and bytes
// that are no UTF-8 in a place of their own.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/core/FileNameOrder.h"

using namespace wvr;

TEST(ListedName, LettersByTheirUpperCaseAndBytesThatAreNoUtf8AfterTheBasicLetters) {
    // In order. "z" is "Z" (5A), before "_" (5F), and names equal in upper case go by their
    // bytes; a byte that is no UTF-8 comes after every
    // letter of the basic plane below the surrogates ("é" C9 upper case) and before the
    // full-width forms (FF21); two such names go by that byte.
    const std::vector<std::string> ordered = {
        "a.mp3",        "B.mp3",          "y.mp3",       "Za.mp3",       "za.mp3", "_a.mp3",
        "\xC3\xA9z.mp3", "\xE9" "a.mp3", "\xE9z.mp3",   "\xFF" "a.mp3", "\xEF\xBC\xA1.mp3"};
    std::vector<ListedName> names;
    for (const std::string& name : ordered) names.emplace_back(name);
    std::shuffle(names.begin(), names.end(), std::mt19937(7));
    std::sort(names.begin(), names.end());
    std::vector<std::string> sorted;
    for (const ListedName& name : names) sorted.push_back(name.Native());
    EXPECT_EQ(sorted, ordered);
}
