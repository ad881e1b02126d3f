#include "app/commands/Utf8Text.h"

#include "platform/base/Cp932.h"
#include "platform/base/Utf8.h"

namespace wvr {

bool StartsWithUtf8ByteOrderMark(std::string_view bytes) { return bytes.starts_with(kUtf8ByteOrderMark); }

bool LooksLikeUtf8(std::string_view bytes) {
    bool above7F = false;
    for (size_t i = 0; i < bytes.size();) {
        above7F = above7F || static_cast<unsigned char>(bytes[i]) > 0x7F;
        if (utf8::Next(bytes, i) == utf8::kInvalid) return false;
    }
    return above7F;
}

Utf8Reading Utf8AsCp932(std::string_view bytes) {
    if (StartsWithUtf8ByteOrderMark(bytes)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    Utf8Reading reading;
    reading.cp932 = cp932::FromUtf8(bytes, &reading.lacking);
    return reading;
}

}  // namespace wvr
