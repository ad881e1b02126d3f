#include "formats/CsvRecords.h"

#include <algorithm>

#include "formats/CommaText.h"
#include "formats/SjisText.h"

namespace wvr {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The line breaks in a text; CR LF is one.
int LineBreaks(std::string_view text) {
    int breaks = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++breaks;
    return breaks;
}

// Steps over the line end at `p` (CR, LF or CR LF).
size_t AfterLineEnd(std::string_view text, size_t p) {
    return p + (text[p] == '\r' && p + 1 < text.size() && text[p + 1] == '\n' ? 2 : 1);
}

// Whether the quoted value that holds the line break at `p` is closed at the end of a value:
// by a quote followed by blanks and then a comma, a line end or the end of the text. Gives
// the position of that quote, or npos.
size_t ClosingQuoteAtValueEnd(std::string_view text, size_t p) {
    const size_t n = text.size();
    for (; p < n; p += sjis::CharWidth(text, p)) {
        if (text[p] != '"') continue;
        if (p + 1 < n && text[p + 1] == '"') ++p;  // a doubled quote stands for one
        else break;
    }
    if (p >= n) return std::string_view::npos;
    size_t after = p + 1;
    while (after < n && !IsLineEnd(text[after]) && IsBlank(text[after])) ++after;
    return after == n || text[after] == ',' || IsLineEnd(text[after]) ? p : std::string_view::npos;
}

// Where the line that starts at `start` ends (its line end or the end of the text). A quote is
// opened only where a value starts, as the splitting of a line reads it; blanks before it
// still count as the value's start.
size_t CommaTextLineEnd(std::string_view text, size_t start) {
    const size_t n = text.size();
    size_t p = start;
    bool quoted = false, valueStart = true;
    while (p < n) {
        const char c = text[p];
        if (quoted && IsLineEnd(c)) {
            const size_t close = ClosingQuoteAtValueEnd(text, p);
            quoted = close != std::string_view::npos;
            if (quoted) p = close;  // the value runs on to its closing quote
            continue;
        }
        if (quoted) {
            if (c == '"' && p + 1 < n && text[p + 1] == '"') {
                p += 2;
            } else if (c == '"') {
                quoted = false;
                valueStart = true;  // text right after a closing quote starts a new value
                ++p;
            } else {
                p += sjis::CharWidth(text, p);
            }
        } else if (IsLineEnd(c)) {
            return p;
        } else if (c == '"' && valueStart) {
            quoted = true;
            ++p;
        } else {
            valueStart = c == ',' || IsBlank(c);
            p += sjis::CharWidth(text, p);
        }
    }
    return n;
}

CsvRecord Record(std::vector<std::string> values, int line, std::string_view source) {
    return {std::move(values), line, std::all_of(source.begin(), source.end(), IsBlank)};
}

}  // namespace

std::vector<CsvRecord> CommaTextRecords(std::string_view text) {
    std::vector<CsvRecord> records;
    int line = 1;
    for (size_t start = 0; start < text.size();) {
        const size_t end = CommaTextLineEnd(text, start);
        const std::string_view source = text.substr(start, end - start);
        records.push_back(Record(SplitCommaText(source), line, source));
        line += LineBreaks(source) + 1;
        start = end < text.size() ? AfterLineEnd(text, end) : end;
    }
    return records;
}

std::vector<CsvRecord> Rfc4180Records(std::string_view text) {
    // Only the bytes quote, comma, CR and LF mean anything here, and none of them is ever the
    // second byte of a CP932 character: the text can be walked byte by byte.
    std::vector<CsvRecord> records;
    const size_t n = text.size();
    int line = 1;
    for (size_t start = 0; start < n;) {
        std::vector<std::string> values;
        size_t p = start;
        while (true) {
            std::string& value = values.emplace_back();
            if (p < n && text[p] == '"') {
                for (++p; p < n; ++p) {
                    if (text[p] != '"') {
                        value += text[p];
                    } else if (p + 1 < n && text[p + 1] == '"') {
                        value += '"';
                        ++p;
                    } else {
                        ++p;
                        break;
                    }
                }
            }
            // An unquoted value, or what stands between a closing quote and the next comma.
            const size_t from = p;
            while (p < n && text[p] != ',' && !IsLineEnd(text[p])) ++p;
            value.append(text.substr(from, p - from));
            if (p < n && text[p] == ',') {
                ++p;
                continue;
            }
            break;
        }
        const std::string_view source = text.substr(start, p - start);
        if (source.empty()) values.clear();  // an empty line holds no value
        records.push_back(Record(std::move(values), line, source));
        line += LineBreaks(source) + 1;
        start = p < n ? AfterLineEnd(text, p) : p;
    }
    return records;
}

}  // namespace wvr
