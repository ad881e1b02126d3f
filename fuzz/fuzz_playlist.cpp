// The playlist reader: every line of a playlist becomes one entry of the work list.
#include "FuzzSupport.h"
#include "app/commands/FileScan.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("list.m3u");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::WriteScratch(path, bytes);
    WorkList work;
    const bool read = ReadPlaylist(path, work);
    WVR_FUZZ_EXPECT(read == !bytes.empty());
    // Lines end at CR, LF or CR LF; a last line without an end counts too; a line that begins
    // with "#" is a comment or extended-M3U line and names no file.
    size_t lines = 0;
    bool comment = !bytes.empty() && bytes[0] == '#';
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n' || i + 1 == bytes.size()) {
            if (!comment) ++lines;
            comment = i + 1 < bytes.size() && bytes[i + 1] == '#';
        }
    }
    WVR_FUZZ_EXPECT(work.size() == lines);
    return 0;
}
