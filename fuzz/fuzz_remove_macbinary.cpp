// MacBinary removal as a property: a fuzzed file either fails and stays as it was, or becomes
// exactly the data fork its header describes.
#include "FuzzSupport.h"
#include "app/commands/DetectKind.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("wrapped.mp3");
    const std::string before(reinterpret_cast<const char*>(data), size);
    fuzz::WriteScratch(path, before);
    fuzz::YesPrompter prompter;
    const bool removed = RemoveMacBinary(path, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!removed) {
        WVR_FUZZ_EXPECT(after == before && prompter.shown == 1);
        return 0;
    }
    WVR_FUZZ_EXPECT(before.size() >= 128);
    uint64_t length = 0;
    for (size_t i = 83; i < 87; ++i) length = length << 8 | static_cast<uint8_t>(before[i]);
    WVR_FUZZ_EXPECT(after == before.substr(128, length));
    return 0;
}
