#include "formats/id3v2/Latin1Guess.h"

#include <cstdint>

#include "platform/base/Cp932.h"

namespace wvr::id3v2 {
namespace {

bool IsAsciiLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsHalfWidthKana(uint8_t c) { return c >= 0xA1 && c <= 0xDF; }

// How much a double-byte character speaks for Japanese. The user-defined area (lead F0 to F9)
// never does: Western letters such as ö and ó followed by an ASCII letter land there.
double JapaneseWeight(uint8_t lead, uint8_t trail) {
    const unsigned code = lead << 8 | trail;
    if (lead >= 0xF0 && lead <= 0xF9) return -1;
    if ((code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396)) return 2;  // kana
    double weight = code >= 0x889F && code <= 0x9872 ? 1.5 : 1;  // common kanji; the rest
    // Latin-1 has only control codes at 0x80 to 0x9F, and seldom two accented letters side by side.
    if (lead <= 0x9F) weight += 0.5;
    if (trail >= 0x80) weight += 0.5;
    return weight;
}

struct Evidence {
    double japanese = 0;
    double western = 0;
    bool impossible = false;  // no Shift-JIS text has these bytes
};

// A run of non-ASCII characters is one island. A lone character that touches an ASCII letter
// is how an accented letter sits in a Western word ("Début", "Éric", "Händel").
void Weigh(std::string_view text, Evidence& e) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t start = i;
        double islandJapanese = 0, islandWestern = 0;
        int characters = 0, kanaRun = 0;
        while (i < n && p[i] >= 0x80) {
            if (IsHalfWidthKana(p[i])) {
                ++kanaRun;
                ++i;
            } else if (cp932::IsLeadByte(p[i]) && i + 1 < n && cp932::IsTrailByte(p[i + 1])) {
                const double w = JapaneseWeight(p[i], p[i + 1]);
                (w < 0 ? islandWestern : islandJapanese) += w < 0 ? 2 : w;
                i += 2;
            } else {
                e.impossible = true;
                return;
            }
            ++characters;
        }
        // Half-width katakana count only in runs: one alone is a Latin-1 letter or sign.
        if (kanaRun >= 2) islandJapanese += kanaRun;
        const bool touchesLetter = (start > 0 && IsAsciiLetter(p[start - 1])) || (i < n && IsAsciiLetter(p[i]));
        if (characters == 1 && touchesLetter) {
            e.western += 2;
            continue;
        }
        e.japanese += islandJapanese;
        e.western += islandWestern;
    }
}

}  // namespace

Latin1Reading GuessLatin1Texts(const std::vector<std::string_view>& texts) {
    Evidence e;
    for (std::string_view text : texts) {
        Weigh(text, e);
        if (e.impossible) return Latin1Reading::Western;
    }
    if (e.japanese >= 2 && e.japanese >= 3 * e.western) return Latin1Reading::Japanese;
    if (e.japanese == 0 || e.western >= e.japanese) return Latin1Reading::Western;
    return Latin1Reading::Uncertain;
}

}  // namespace wvr::id3v2
