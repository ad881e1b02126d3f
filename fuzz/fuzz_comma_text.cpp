// The comma-text splitter, and that joining what it split splits to the same items, but that
// a text cut after the first byte of a double-byte character (only the last item can be) loses
// that byte, and a last item that is empty is written as nothing after the last comma, which
// adds no item.
#include "FuzzSupport.h"
#include "formats/CommaText.h"
#include "platform/base/Cp932.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> items = SplitCommaText(text);
    std::vector<std::string> expected = items;
    if (!expected.empty()) {
        std::string& last = expected.back();
        size_t i = 0;
        while (i < last.size()) i += cp932::IsLeadByte(static_cast<unsigned char>(last[i])) ? 2 : 1;
        if (i > last.size()) last.pop_back();
    }
    if (expected.size() > 1 && expected.back().empty()) expected.pop_back();
    WVR_FUZZ_EXPECT(SplitCommaText(JoinCommaText(items)) == expected);
    return 0;
}
