// FullToHalfWidth: never longer than its input, ends at the first zero byte, and a text
// without full-width characters (no byte of 0x80 or above) comes back unchanged.
#include "FuzzSupport.h"
#include "formats/FieldMacros.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string half = FullToHalfWidth(text);
    const std::string_view upToZero = text.substr(0, text.find('\0'));
    WVR_FUZZ_EXPECT(half.size() <= upToZero.size());
    WVR_FUZZ_EXPECT(half.find('\0') == std::string::npos);
    bool ascii = true;
    for (unsigned char c : upToZero) ascii = ascii && c < 0x80;
    if (ascii) WVR_FUZZ_EXPECT(half == upToZero);
    return 0;
}
