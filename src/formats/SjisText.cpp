#include "formats/SjisText.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace wvr::sjis {

namespace {

// The part of a text left after removing characters with a code of 32 or less from both ends.
std::pair<size_t, size_t> TrimmedBounds(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
    return {b, e};
}

}  // namespace

std::string Trim(std::string_view text) {
    const auto [b, e] = TrimmedBounds(text);
    return std::string(text.substr(b, e - b));
}

void TrimInPlace(std::string& text) {
    const auto [b, e] = TrimmedBounds(text);
    text.resize(e);
    text.erase(0, b);
}

size_t Find(std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty()) return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= text.size();) {
        // The first byte decides most positions without a call.
        if (text[i] == needle[0] && text.compare(i, needle.size(), needle) == 0) return i;
        i += CharWidth(text, i);
    }
    return std::string_view::npos;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    return *ReplaceAllWithin(text, from, to, SIZE_MAX);
}

std::optional<std::string> ReplaceAllWithin(std::string_view text, std::string_view from, std::string_view to,
                                            size_t maxBytes) {
    if (from.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == from[0] && text.compare(i, from.size(), from) == 0) {
            if (to.size() > maxBytes - std::min(out.size(), maxBytes)) return std::nullopt;
            out += to;
            i += from.size();
            continue;
        }
        const size_t step = CharWidth(text, i);
        out.append(text.substr(i, step));
        i += step;
    }
    return out;
}

size_t FindLastChar(std::string_view text, char c) {
    // A byte below every trail byte is always a character of its own ("/", ".").
    if (static_cast<unsigned char>(c) < 0x40) return text.rfind(c);
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c) found = i;
        i += CharWidth(text, i) - 1;
    }
    return found;
}

std::string_view WholeCharsWithin(std::string_view text, size_t limit) {
    size_t end = 0;
    while (end < text.size() && end + CharWidth(text, end) <= limit) end += CharWidth(text, end);
    return text.substr(0, end);
}

std::string_view WithoutLoneLeadByte(std::string_view text) {
    size_t last = 0;  // start of the last character
    for (size_t i = 0; i < text.size(); i += CharWidth(text, i)) last = i;
    const bool lone = !text.empty() && last == text.size() - 1 && IsLeadByte(static_cast<unsigned char>(text[last]));
    return lone ? text.substr(0, last) : text;
}

}  // namespace wvr::sjis
