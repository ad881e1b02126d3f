// CP932 conversion by tables. The tables are made once, on first use, by asking glibc's
// iconv about every code; after that a text converts without a library call per byte.
#include "platform/base/Cp932.h"
#include "platform/base/Utf8.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <vector>

namespace wvr::cp932 {
namespace {

constexpr char32_t kNone = 0xFFFFFFFF;
// Packed UTF-8 forms are stored and written as little-endian words.
static_assert(std::endian::native == std::endian::little);

// Writes the UTF-8 form of c at p; returns the end.
char* PutUtf8(char32_t c, char* p) {
    if (c < 0x80) {
        *p++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *p++ = static_cast<char>(0xC0 | c >> 6);
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        // CP932 holds nothing beyond the basic plane.
        *p++ = static_cast<char>(0xE0 | c >> 12);
        *p++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *p++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return p;
}

class Tables {
public:
    static const Tables& Get() {
        static const Tables tables;
        return tables;
    }

    // The UTF-8 form of a single byte or of a lead and a trail byte, packed: the bytes from
    // the lowest up, their count in the top byte; 0 when the code decodes to nothing.
    uint32_t Single(unsigned char b) const { return single_[b]; }
    uint32_t Double(unsigned char lead, unsigned char trail) const {
        return double_[static_cast<size_t>(lead) << 8 | trail];
    }
    // The CP932 code of a character (one byte below 0x100), or 0 when there is none. Only
    // codes that decode to the same character again, as file names need.
    uint16_t Code(char32_t c) const { return c < reverse_.size() ? reverse_[c] : 0; }
    // Also the encoder's one-way choices for characters CP932 lacks but has a near form of
    // (U+301C WAVE DASH as 81 60, U+00A5 YEN SIGN as 5C), as typed text wants them.
    uint16_t NearCode(char32_t c) const {
        if (uint16_t code = Code(c)) return code;
        if (c >= near_.size()) return 0;
        // The encoder is asked a block of 256 characters at a time, as texts need them: asking
        // about all 65,536 takes longer than listing a folder of tagged files.
        const size_t block = c >> 8;
        std::call_once(nearAsked_[block], [this, block] { AskNearCodes(block); });
        return near_[c];
    }

private:
    Tables() : double_(0x10000, 0), reverse_(0x10000, 0), near_(0x10000, 0) {
        iconv_t decode = iconv_open("UTF-32LE", "CP932");
        iconv_t encode = iconv_open("CP932", "UTF-32LE");
        single_.fill(0);
        for (int b = 0; b < 0x100; ++b) {
            if (IsLeadByte(static_cast<unsigned char>(b))) continue;
            const unsigned char in[1] = {static_cast<unsigned char>(b)};
            const char32_t c = Decode(decode, in, 1);
            single_[b] = Packed(c);
            Note(c, static_cast<uint16_t>(b), encode);
        }
        // A lead byte's codes are decoded together: one library call for the lot, and one
        // more after each code that does not decode.
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            std::vector<unsigned char> pairs;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                pairs.push_back(static_cast<unsigned char>(lead));
                pairs.push_back(static_cast<unsigned char>(trail));
            }
            const std::vector<char32_t> decoded = DecodePairs(decode, pairs);
            for (size_t k = 0; k < decoded.size(); ++k) {
                const int trail = 0x40 + static_cast<int>(k);
                double_[static_cast<size_t>(lead) << 8 | trail] = Packed(decoded[k]);
                Note(decoded[k], static_cast<uint16_t>(lead << 8 | trail), encode);
            }
        }
        iconv_close(decode);
        iconv_close(encode);
    }

    void AskNearCodes(size_t block) const {
        iconv_t encode = iconv_open("CP932", "UTF-32LE");
        for (char32_t c = std::max<char32_t>(0x80, block << 8); c < (block + 1) << 8; ++c) {
            if (reverse_[c] != 0 || (c >= 0xD800 && c < 0xE000)) continue;
            near_[c] = EncodeOne(encode, c);
        }
        iconv_close(encode);
    }

    static uint16_t EncodeOne(iconv_t encode, char32_t c) {
        unsigned char out[4];
        char* src = reinterpret_cast<char*>(&c);
        char* dst = reinterpret_cast<char*>(out);
        size_t inLeft = sizeof c, outLeft = sizeof out;
        iconv(encode, nullptr, nullptr, nullptr, nullptr);
        if (iconv(encode, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1)) return 0;
        const size_t len = sizeof out - outLeft;
        return len == 1 ? out[0] : static_cast<uint16_t>(out[0] << 8 | out[1]);
    }

    // The characters of the two-byte codes in `pairs`, kNone for a code that does not decode.
    // The conversion stops at such a code and goes on after it.
    static std::vector<char32_t> DecodePairs(iconv_t cd, std::vector<unsigned char>& pairs) {
        const size_t count = pairs.size() / 2;
        std::vector<char32_t> out(count, kNone);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        for (size_t k = 0; k < count;) {
            char* src = reinterpret_cast<char*>(pairs.data() + 2 * k);
            char* dst = reinterpret_cast<char*>(out.data() + k);
            const size_t inBytes = 2 * (count - k), outBytes = sizeof(char32_t) * (count - k);
            size_t inLeft = inBytes, outLeft = outBytes;
            const bool stopped = iconv(cd, &src, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1);
            const size_t produced = (outBytes - outLeft) / sizeof(char32_t);
            if (inBytes - inLeft != 2 * produced) {
                // Not one character for each code: the codes left are asked one at a time.
                for (; k < count; ++k) out[k] = Decode(cd, pairs.data() + 2 * k, 2);
                break;
            }
            k += produced + stopped;  // past the code that stopped it, which stays kNone
            if (!stopped) break;
        }
        return out;
    }

    static char32_t Decode(iconv_t cd, const unsigned char* bytes, size_t n) {
        char32_t out = 0;
        char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(bytes));
        char* dst = reinterpret_cast<char*>(&out);
        size_t inLeft = n, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &in, &inLeft, &dst, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 || outLeft != 0)
            return kNone;
        return out;
    }

    // Several codes may decode to one character; the encoder's own choice wins then.
    void Note(char32_t c, uint16_t code, iconv_t encode) {
        if (c == kNone || c >= reverse_.size()) return;
        if (reverse_[c] == 0 && !(c == 0 && code != 0)) {
            reverse_[c] = code;
            return;
        }
        if (uint16_t chosen = EncodeOne(encode, c)) reverse_[c] = chosen;
    }

    static uint32_t Packed(char32_t c) {
        if (c == kNone) return 0;
        char bytes[4] = {};
        const uint32_t length = static_cast<uint32_t>(PutUtf8(c, bytes) - bytes);
        uint32_t packed = 0;
        std::memcpy(&packed, bytes, 3);
        return packed | length << 24;
    }

    std::array<uint32_t, 0x100> single_;
    std::vector<uint32_t> double_;
    std::vector<uint16_t> reverse_;
    mutable std::vector<uint16_t> near_;  // the encoder's one-way choices, block by block
    mutable std::array<std::once_flag, 0x100> nearAsked_;
};

// How ASCII comes out in a form of UTF-8: the escape of each byte that has one, and which
// bytes go out as they are.
struct AsciiForm {
    std::array<const char*, 0x80> escapes{};
    std::array<bool, 0x100> plain{};

    constexpr explicit AsciiForm(std::array<const char*, 0x80> e) : escapes(e) {
        for (int c = 0; c < 0x80; ++c) plain[c] = escapes[c] == nullptr;
    }
};

// Every ASCII byte as itself: the form of every conversion but the command line's.
constexpr AsciiForm kPlainAscii{std::array<const char*, 0x80>{}};

// The command line's form: "\", tabs and line breaks escaped, so that a row stays one line.
constexpr AsciiForm kLineEscapes{[] {
    std::array<const char*, 0x80> escapes{};
    escapes['\\'] = "\\\\";
    escapes['\t'] = "\\t";
    escapes['\r'] = "\\r";
    escapes['\n'] = "\\n";
    return escapes;
}()};

char* PutHexEscape(unsigned char b, char* p) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    *p++ = '\\';
    *p++ = 'x';
    *p++ = kHex[b >> 4];
    *p++ = kHex[b & 0xF];
    return p;
}

bool IsAscii(std::string_view s) {
    // Eight bytes at a time: a path or a tag text is mostly plain bytes.
    size_t i = 0;
    for (uint64_t word; i + 8 <= s.size(); i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080u) return false;
    }
    for (; i < s.size(); ++i)
        if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
    return true;
}

// Decodes to `p`, which has room for four bytes for each byte of `cp932`; returns the end.
// An undecodable byte is handed to `invalid`, which writes its replacement (at most four
// bytes) at the pointer it gets and returns the new end, or nullptr to give up.
template <typename OnInvalid>
char* DecodeTo(std::string_view cp932, char* p, const AsciiForm& ascii, OnInvalid invalid) {
    const Tables& t = Tables::Get();
    const auto* bytes = reinterpret_cast<const unsigned char*>(cp932.data());
    const size_t size = cp932.size();
    for (size_t i = 0; i < size;) {
        // Bytes that go out as they are, most of most texts, in a tight loop.
        while (i < size && ascii.plain[bytes[i]]) *p++ = static_cast<char>(bytes[i++]);
        if (i == size) break;
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            for (const char* escape = ascii.escapes[b]; *escape;) *p++ = *escape++;
            ++i;
            continue;
        }
        uint32_t utf8 = 0;
        size_t width = 1;
        if (IsLeadByte(b)) {
            if (i + 1 < size) utf8 = t.Double(b, bytes[i + 1]);
            width = 2;
        } else {
            utf8 = t.Single(b);
        }
        if (utf8 == 0) {
            if (!(p = invalid(b, p))) return nullptr;
            ++i;
            continue;
        }
        // Four bytes go out, of which the count says how many stay: there is always room.
        std::memcpy(p, &utf8, 4);
        p += utf8 >> 24;
        i += width;
    }
    return p;
}

// DecodeTo appending to `out`; false (and `out` as it was) when `invalid` gives up.
template <typename OnInvalid>
bool Decode(std::string_view cp932, std::string& out, const AsciiForm& ascii, OnInvalid invalid) {
    const size_t start = out.size();
    out.resize(start + cp932.size() * kMostUtf8PerByte);
    char* end = DecodeTo(cp932, out.data() + start, ascii, invalid);
    out.resize(end ? end - out.data() : start);
    return end != nullptr;
}

// Encodes into `out`; a character with no code is handed to `missing`, which writes "?" at
// the pointer it gets and returns the new end, or nullptr to give up. No CP932 form is longer
// than the UTF-8 it comes from, so the text is written in room made once.
template <typename OnMissing>
bool Encode(std::string_view utf8, std::string& out, bool near, OnMissing missing) {
    const Tables& t = Tables::Get();
    out.resize(utf8.size());
    char* p = out.data();
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = utf8::Next(utf8, i);
        const uint16_t code = c == utf8::kInvalid ? 0 : near ? t.NearCode(c) : t.Code(c);
        if (code == 0 && c != 0) {
            if (!(p = missing(p))) return false;
            continue;
        }
        if (code >= 0x100) *p++ = static_cast<char>(code >> 8);
        *p++ = static_cast<char>(code & 0xFF);
    }
    out.resize(p - out.data());
    return true;
}

}  // namespace

std::string ToUtf8(std::string_view cp932, InvalidBytes invalid) {
    if (IsAscii(cp932)) return std::string(cp932);
    std::string out;
    Decode(cp932, out, kPlainAscii, [invalid](unsigned char b, char* p) {
        return invalid == InvalidBytes::Escape ? PutHexEscape(b, p) : PutUtf8(0xFFFD, p);
    });
    return out;
}

bool AppendUtf8Exact(std::string_view cp932, std::string& out) {
    if (IsAscii(cp932)) {
        out.append(cp932);
        return true;
    }
    return Decode(cp932, out, kPlainAscii, [](unsigned char, char*) -> char* { return nullptr; });
}

void AppendEscapedUtf8(std::string_view cp932, std::string& out) {
    Decode(cp932, out, kLineEscapes, PutHexEscape);
}

char* WriteEscapedUtf8(std::string_view cp932, char* out) {
    return DecodeTo(cp932, out, kLineEscapes, PutHexEscape);
}

std::optional<std::string> ToUtf8Exact(std::string_view cp932) {
    std::string out;
    if (!AppendUtf8Exact(cp932, out)) return std::nullopt;
    return out;
}

std::string FromUtf8(std::string_view utf8, size_t* lacking) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    Encode(utf8, out, true, [lacking](char* p) {
        *p++ = '?';
        if (lacking) ++*lacking;
        return p;
    });
    return out;
}

std::optional<std::string> FromUtf8Exact(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    if (!Encode(utf8, out, false, [](char*) -> char* { return nullptr; })) return std::nullopt;
    return out;
}

}  // namespace wvr::cp932
