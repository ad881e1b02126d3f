// DetectKind and the readers of every kind on a whole file image, as a file is read into the
// list: MPEG header, ID3v1, RIFF INFO, SoundVQ header, MacBinary unwrapping (answered yes) and
// the ID3v2 path through id3lib.
#include "FuzzSupport.h"
#include "app/commands/AddFiles.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("file.mp3");
    fuzz::WriteScratch(path, {reinterpret_cast<const char*>(data), size});
    Session session;
    WorkList work{path};
    fuzz::YesPrompter prompter;
    const int added = AddFiles(session, work, AddOptions{}, prompter);
    WVR_FUZZ_EXPECT(added == session.rows.size() && added <= 1);
    if (added == 1) {
        const TrackInfo& row = session.rows[0];
        WVR_FUZZ_EXPECT(row.Path == path && row.FileName == "file.mp3");
        WVR_FUZZ_EXPECT(row.KindCode() != 0 && std::stoll(row.Seconds) >= 0);
        for (const std::string& field : row.Fields) WVR_FUZZ_EXPECT(field == sjis::Trim(field));
    }
    return 0;
}
