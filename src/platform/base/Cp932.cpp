// CP932 conversion through glibc iconv. One converter per direction and thread, reset per call.
#include "platform/base/Cp932.h"

#include <cerrno>
#include <cstdio>
#include <iconv.h>

namespace wvr::cp932 {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as possible; on an unconvertible or invalid sequence it stops and
    // returns false with `in` pointing at the offending bytes.
    bool Convert(const char*& in, size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(cd_, const_cast<char**>(&in), &inLeft, &dst, &dstLeft);
            out.append(buffer, dst - buffer);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

Converter& ToUtf8Converter() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

Converter& FromUtf8Converter() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}

bool IsAscii(std::string_view s) {
    for (unsigned char ch : s)
        if (ch >= 0x80) return false;
    return true;
}

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::string ToUtf8(std::string_view cp932, InvalidBytes invalid) {
    if (IsAscii(cp932)) return std::string(cp932);
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    const char* in = cp932.data();
    size_t left = cp932.size();
    while (!ToUtf8Converter().Convert(in, left, out)) {
        if (invalid == InvalidBytes::Escape) {
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\x%02X", static_cast<unsigned char>(*in));
            out += esc;
        } else {
            out += "\xEF\xBF\xBD";
        }
        ++in;
        --left;
    }
    return out;
}

std::optional<std::string> ToUtf8Exact(std::string_view cp932) {
    if (IsAscii(cp932)) return std::string(cp932);
    std::string out;
    const char* in = cp932.data();
    size_t left = cp932.size();
    if (!ToUtf8Converter().Convert(in, left, out)) return std::nullopt;
    return out;
}

std::string FromUtf8(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (!FromUtf8Converter().Convert(in, left, out)) {
        out += '?';
        size_t skip = std::min(Utf8Length(static_cast<unsigned char>(*in)), left);
        in += skip;
        left -= skip;
    }
    return out;
}

std::optional<std::string> FromUtf8Exact(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    const char* in = utf8.data();
    size_t left = utf8.size();
    if (!FromUtf8Converter().Convert(in, left, out)) return std::nullopt;
    return out;
}

}  // namespace wvr::cp932
