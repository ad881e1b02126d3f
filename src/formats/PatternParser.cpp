#include "formats/PatternParser.h"

#include "formats/FieldMacros.h"
#include "formats/SjisText.h"
#include "formats/TrackInfo.h"

namespace wvr {
namespace {

// The field a parser code names, or -1: "%1" artist, "%2" title, "%3" album, "%4" date,
// "%5" comment, "%6" genre.
int FieldOfCode(char code) {
    switch (code) {
    case '1': return kArtist;
    case '2': return kTitle;
    case '3': return kAlbum;
    case '4': return kDate;
    case '5': return kComment;
    case '6': return kGenre;
    default: return -1;
    }
}

class Parser {
public:
    Parser(std::span<std::string> target, ParseOptions options) : target_(target), options_(options) {}

    // Stores `value_` under `code`; a code that names no field keeps the value for the next one.
    void Store(char code) {
        const int field = FieldOfCode(code);
        if (field < 0) return;
        std::string v = options_.halfWidth ? FullToHalfWidth(value_) : value_;
        if (options_.underscoresToSpaces) v = sjis::ReplaceAll(v, "_", " ");
        if (target_[field].empty() || options_.overwrite) target_[field] = sjis::Trim(v);
        value_.clear();
    }

    bool Run(std::string_view rest, std::string_view pat) {
        char pending = 0;  // no code yet
        for (;;) {
            const size_t percent = pat.find('%');  // never a second byte in CP932
            if (percent == std::string_view::npos) {
                const size_t end = pat.empty() ? std::string_view::npos : sjis::Find(rest, pat);
                value_ = std::string(end == std::string_view::npos ? rest : rest.substr(0, end));
                Store(pending);
                return true;
            }
            const std::string_view literal = pat.substr(0, percent);
            pat.remove_prefix(percent + 1);
            if (!literal.empty()) {
                const size_t at = sjis::Find(rest, literal);
                if (at == std::string_view::npos) return false;
                value_ = std::string(rest.substr(0, at));
                rest.remove_prefix(at + literal.size());
            }
            if (pat.empty()) continue;
            // The code is one character; a double-byte one is taken whole and names no field.
            const char code = pat[0];
            pat.remove_prefix(sjis::CharWidth(pat, 0));
            if (code == '?') {
                if (!rest.empty()) rest.remove_prefix(1);
                continue;
            }
            const char previous = pending;
            pending = code;
            Store(previous);
        }
    }

private:
    std::span<std::string> target_;
    ParseOptions options_;
    std::string value_;
};

}  // namespace

bool ParseByPattern(std::string_view text, std::string_view pattern, std::span<std::string> target,
                    ParseOptions options) {
    return Parser(target, options).Run(text, pattern);
}

}  // namespace wvr
