#include "platform/core/FileNameOrder.h"

#include <QChar>
#include <utility>

#include "platform/base/Utf8.h"

namespace wvr {

ListedName::ListedName(std::string native) : native_(std::move(native)) {
    // A name has no more UTF-16 units than bytes: the key is written in place, then cut.
    key_.resize(native_.size());
    char16_t* out = key_.data();
    for (size_t i = 0; i < native_.size();) {
        // Most names are mostly ASCII: their upper case needs no table.
        if (const auto byte = static_cast<unsigned char>(native_[i]); byte < 0x80) {
            *out++ = static_cast<char16_t>(byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte);
            ++i;
            continue;
        }
        const size_t start = i;
        const char32_t c = utf8::Next(native_, i);
        if (c == utf8::kInvalid) {
            // In the range of lone trail surrogates, which no valid name's key holds alone.
            *out++ = static_cast<char16_t>(0xDC00 | static_cast<unsigned char>(native_[start]));
        } else if (c < 0x10000) {
            const char32_t upper = QChar::toUpper(c);
            *out++ = static_cast<char16_t>(upper < 0x10000 ? upper : c);
        } else {
            *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    key_.resize(out - key_.data());
}

}  // namespace wvr
