// DetectKind and the readers of every kind on a whole file image, as a file is read into the
// list: MPEG header, ID3v1, RIFF INFO, SoundVQ header, MacBinary unwrapping (answered yes) and
// ID3v2 tags both ways: the six texts the listing reads by default, and every field by the
// ID3v2 reader.
#include "FuzzSupport.h"
#include "app/commands/AddFiles.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("file.mp3");
    for (const TagReader reader : {TagReader::Kind, TagReader::Id3v2}) {
        // Anew each time: a MacBinary file is unwrapped in place.
        fuzz::WriteScratch(path, {reinterpret_cast<const char*>(data), size});
        Session session;
        WorkList work{path};
        fuzz::YesPrompter prompter;
        AddOptions options;
        options.tagReader = reader;
        const int added = AddFiles(session, work, options, prompter);
        WVR_FUZZ_EXPECT(added == session.rows.size() && added <= 1);
        if (added == 1) {
            const TrackInfo& row = session.rows[0];
            WVR_FUZZ_EXPECT(row.Path == path && row.FileName == "file.mp3");
            WVR_FUZZ_EXPECT(row.KindCode() != 0 && std::stoll(row.Seconds) >= 0);
            for (const std::string& field : row.Fields) WVR_FUZZ_EXPECT(field == sjis::Trim(field));
        }
    }
    return 0;
}
