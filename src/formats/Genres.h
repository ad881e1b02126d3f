// The ID3v1 genre table: 148 standard names (0..147) and five own names (251..255) that
// count only while the own-genre switch is on. 250 is the no-genre number.
#pragma once

#include <string>

namespace wvr {

inline constexpr int kNoGenre = 250;

struct GenreLookup {
    std::string name;
    bool found = false;
};

struct GenreNumberLookup {
    int number = kNoGenre;
    bool found = false;
};

// The switch that decides whether 251..255 have names. Each load of files sets it.
struct GenreTable {
    bool ownGenres = false;

    GenreLookup GenreName(int number) const;
    GenreNumberLookup GenreNumber(const std::string& name) const;
};

}  // namespace wvr
