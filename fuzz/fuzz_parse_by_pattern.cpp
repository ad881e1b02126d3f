// ParseByPattern: a fuzzed pattern against a fuzzed text. Input: a byte of options, the
// pattern, a line break, the text. What a pattern without codes takes is nothing, and a text
// that is the pattern's literal matches it.
#include "FuzzSupport.h"
#include "formats/PatternParser.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t bits = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = std::min(rest.find('\n'), rest.size());
    const std::string_view pattern = rest.substr(0, split);
    const std::string_view text = rest.substr(std::min(split + 1, rest.size()));
    const ParseOptions options{.overwrite = (bits & 1) != 0,
                               .underscoresToSpaces = (bits & 2) != 0,
                               .halfWidth = (bits & 4) != 0};
    std::array<std::string, kFieldCount> fields;
    for (size_t i = 0; i < fields.size(); ++i) fields[i] = "old" + std::to_string(i);
    const auto before = fields;
    ParseByPattern(text, pattern, fields, options);
    // Only "%1" to "%6" store, into the first six fields.
    for (size_t i = 6; i < fields.size(); ++i) WVR_FUZZ_EXPECT(fields[i] == before[i]);
    if (pattern.find('%') == std::string_view::npos) {
        WVR_FUZZ_EXPECT(fields == before);
        auto again = before;
        WVR_FUZZ_EXPECT(ParseByPattern(pattern, pattern, again, options));
    }
    return 0;
}
