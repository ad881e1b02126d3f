// The ini reader, and that what it wrote reads back as the same sections, keys and values
// (but for a section name cut after the first byte of a double-byte character, which takes
// the closing bracket for its second byte).
#include "FuzzSupport.h"
#include "platform/base/Cp932.h"
#include "platform/base/IniFile.h"

using namespace wvr;

namespace {

bool EndsInCutLeadByte(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    return i > text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const IniFile ini = IniFile::Parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const std::string& section : ini.SectionNames())
        if (EndsInCutLeadByte(section)) return 0;
    const IniFile again = IniFile::Parse(ini.Render());
    WVR_FUZZ_EXPECT(again.SectionNames() == ini.SectionNames());
    for (const std::string& section : ini.SectionNames()) {
        WVR_FUZZ_EXPECT(again.HasSection(section));
        WVR_FUZZ_EXPECT(again.Keys(section) == ini.Keys(section));
        for (const std::string& key : ini.Keys(section)) WVR_FUZZ_EXPECT(again.Value(section, key) == ini.Value(section, key));
    }
    return 0;
}
