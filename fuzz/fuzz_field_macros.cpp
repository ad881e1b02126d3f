// ExpandFieldMacros over a fuzzed pattern, row, running number and options. Input: one byte of
// option bits and kind, eight bytes of number, then the pattern and the row's texts by lines.
#include <cstring>

#include "FuzzSupport.h"
#include "formats/FieldMacros.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 9) return 0;
    const uint8_t bits = data[0];
    long long number;
    std::memcpy(&number, data + 1, sizeof number);
    std::string_view rest(reinterpret_cast<const char*>(data + 9), size - 9);
    auto line = [&rest] {
        const size_t end = std::min(rest.find('\n'), rest.size());
        std::string text(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        return text;
    };
    const std::string pattern = line();
    TrackInfo row;
    row.FileName = line();
    row.Path = line();
    for (std::string& field : row.Fields) field = line();
    row.AudioSize = line();
    row.Seconds = line();
    row.Kind = std::to_string(bits >> 4);
    const MacroOptions options{.UnderscoreSpaces = (bits & 1) != 0,
                               .SafeChars = (bits & 2) != 0,
                               .RmpAsMp3 = (bits & 4) != 0,
                               .HalfWidth = (bits & 8) != 0};
    const std::string name = ExpandFieldMacros(pattern, number, row, options);
    // Without macros in it a pattern comes out as it is, but for the translations asked for.
    if (pattern.find('%') == std::string::npos && bits == 0) WVR_FUZZ_EXPECT(name == pattern);
    return 0;
}
