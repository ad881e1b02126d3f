#include "formats/CommaText.h"

#include "formats/SjisText.h"

namespace wvr {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

bool NeedsQuotes(const std::string& item) {
    for (size_t i = 0; i < item.size(); ++i) {
        char c = item[i];
        if (IsBlank(c) || c == '"' || c == ',') return true;
        i += sjis::CharWidth(item, i) - 1;
    }
    return false;
}

std::string Quote(const std::string& item) {
    std::string out = "\"";
    for (size_t i = 0; i < item.size(); ++i) {
        out += item[i];
        if (item[i] == '"') {
            out += '"';
        } else if (sjis::CharWidth(item, i) == 2) {
            out += item[++i];
        }
    }
    return out + "\"";
}

}  // namespace

std::string JoinCommaText(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        // A text cut after the first byte of a double-byte character loses that byte, as
        // every joiner of texts drops it.
        const std::string item(sjis::WithoutLoneLeadByte(items[i]));
        if (items.size() == 1 && item.empty()) return "\"\"";
        if (i > 0) out += ',';
        out += NeedsQuotes(item) ? Quote(item) : item;
    }
    return out;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
    // The text ends at its first zero byte, as a C string would.
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> items;
    size_t p = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p])) ++p;
    };
    skipBlanks();
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                if (sjis::CharWidth(text, p) == 2) item += text[p++];
                item += text[p++];
            }
        } else {
            while (p < n && !IsBlank(text[p]) && text[p] != ',') {
                if (sjis::CharWidth(text, p) == 2) item += text[p++];
                item += text[p++];
            }
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < n && text[p] == ',') {
            ++p;
            skipBlanks();
        }
    }
    return items;
}

}  // namespace wvr
