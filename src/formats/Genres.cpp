#include "formats/Genres.h"

#include <iterator>

namespace wvr {
namespace {

// Spelled exactly as stored in files written by the program and its peers of the time.
constexpr const char* kStandard[] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "Alt.Rock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electonic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",
    "Chritian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave",
    "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock&Roll", "Hard Rock", "Folk", "Folk / Rock", "National Folk", "Swing", "Fusion", "Bebob", "Latin",
    "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech",
    "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove",
    "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhythmic Soul",
    "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Cappella", "Euro-House", "Dance Hall", "Goa",
    "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk", "Best",
    "Christian Gangsta Rap", "Heaby Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime", "JPop", "Synthpop",
};
static_assert(std::size(kStandard) == 148);

constexpr int kFirstOwn = 251;
constexpr const char* kOwn[] = {"Seiyu", "TechnoAmbient", "MoeMoe", "Tokusatsu", "Anime"};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return i == a.size() && b[i] == '\0';
}

}  // namespace

GenreLookup GenreTable::GenreName(int number) const {
    if (number >= 0 && number < static_cast<int>(std::size(kStandard))) return {kStandard[number], true};
    if (ownGenres && number >= kFirstOwn && number <= 255) return {kOwn[number - kFirstOwn], true};
    return {};
}

GenreNumberLookup GenreTable::GenreNumber(const std::string& name) const {
    if (name.empty()) return {};
    if (ownGenres) {
        for (int i = 0; i < static_cast<int>(std::size(kOwn)); ++i)
            if (EqualsIgnoringCase(name, kOwn[i])) return {kFirstOwn + i, true};
    }
    for (int i = 0; i < static_cast<int>(std::size(kStandard)); ++i)
        if (EqualsIgnoringCase(name, kStandard[i])) return {i, true};
    return {};
}

}  // namespace wvr
