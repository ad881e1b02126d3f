// The CP932 conversions both ways. The input is read as CP932 and as UTF-8: what decodes
// exactly encodes back to text that decodes to the same, and the lenient forms always give
// text of the other side.
#include "FuzzSupport.h"
#include "platform/base/Cp932.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // As CP932.
    const std::string replaced = cp932::ToUtf8(bytes);
    const std::string escaped = cp932::ToUtf8(bytes, cp932::InvalidBytes::Escape);
    std::string lines;
    cp932::AppendEscapedUtf8(bytes, lines);
    if (const auto utf8 = cp932::ToUtf8Exact(bytes)) {
        WVR_FUZZ_EXPECT(*utf8 == replaced);
        const auto back = cp932::FromUtf8Exact(*utf8);
        WVR_FUZZ_EXPECT(back && cp932::ToUtf8Exact(*back) == utf8);
    }
    WVR_FUZZ_EXPECT(cp932::FromUtf8Exact(replaced).has_value() || replaced.find("\xEF\xBF\xBD") != std::string::npos);

    // As UTF-8.
    const std::string typed = cp932::FromUtf8(bytes);
    WVR_FUZZ_EXPECT(cp932::ToUtf8Exact(typed).has_value());
    if (const auto exact = cp932::FromUtf8Exact(bytes)) WVR_FUZZ_EXPECT(cp932::ToUtf8Exact(*exact) == bytes);
    return 0;
}
