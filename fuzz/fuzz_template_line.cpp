// ExpandTemplateLine: a fuzzed template line over a fuzzed row. Input: eight bytes of the row
// number, then the line, the context's output folder and stand-in text, and the row's texts,
// one per line.
#include <cstring>

#include "FuzzSupport.h"
#include "formats/TemplateMacros.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 8) return 0;
    long long number;
    std::memcpy(&number, data, sizeof number);
    const auto lines = fuzz::InputLines({reinterpret_cast<const char*>(data + 8), size - 8});
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    const TemplateContext context{.outputFolder = line(1), .replacement = line(2), .totalSeconds = number / 3};
    const TrackInfo row = fuzz::RowOfLines(lines, 3);
    const std::string text = ExpandTemplateLine(line(0), context, row, number);
    if (line(0).find('%') == std::string::npos) WVR_FUZZ_EXPECT(text == line(0));
    return 0;
}
