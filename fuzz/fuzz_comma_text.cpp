// The comma-text splitter, and that joining what it split splits to the same items, but that
// an item cut after the first byte of a double-byte character loses that byte, and a last item
// that is empty is written as nothing after the last comma, which adds no item.
#include "FuzzSupport.h"
#include "formats/CommaText.h"
#include "formats/SjisText.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> items = SplitCommaText(text);
    std::vector<std::string> expected;
    for (const std::string& item : items) expected.emplace_back(sjis::WithoutLoneLeadByte(item));
    if (expected.size() > 1 && expected.back().empty()) expected.pop_back();
    WVR_FUZZ_EXPECT(SplitCommaText(JoinCommaText(items)) == expected);
    return 0;
}
