#include "app/commands/Utf8Text.h"

#include "formats/PathText.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"
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

std::string Utf8FileAsCp932(const std::string& rowPath, std::string_view bytes, Prompter& prompter) {
    Utf8Reading reading = Utf8AsCp932(bytes);
    if (reading.lacking > 0)
        prompter.Warning(cp932::ToUtf8(path::FileName(rowPath)) + " には Shift-JIS で表せない文字が " +
                         std::to_string(reading.lacking) + " 個あり、「?」に置き換えました。");
    return std::move(reading.cp932);
}

}  // namespace wvr
