// Frames marked ISO-8859-1 hold Western text, or, from old Japanese taggers, Shift-JIS. Which
// one is decided from all the tag's texts taken together: a tagger wrote them all one way.
#pragma once

#include <string_view>
#include <vector>

namespace wvr::id3v2 {

enum class Latin1Reading {
    Western,    // read as ISO-8859-1
    Japanese,   // far more likely Shift-JIS than Western: read as Shift-JIS
    Uncertain,  // read as ISO-8859-1, but a rewrite leaves such frames as they are
};

// The reading of a tag's Latin-1 texts (their raw bytes). Texts of ASCII only tell nothing.
Latin1Reading GuessLatin1Texts(const std::vector<std::string_view>& texts);

}  // namespace wvr::id3v2
