// The ID3v1 writer as a property: a fuzzed file and fuzzed texts either fail and leave the file
// as it was, or give the file's bytes before its old block (the audio) followed by the row's
// block, which reads back as the row's texts.
#include "FuzzSupport.h"
#include "formats/Id3v1.h"

using namespace wvr;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("song.mp3");
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    fuzz::WriteScratch(path, input.image);
    TrackInfo row;
    row.Fields = input.fields;
    GenreTable genres;
    genres.ownGenres = (input.flags & 1) != 0;
    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    fuzz::YesPrompter prompter;

    const bool written = WriteId3v1Tag(path, block, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return 0;
    }
    const std::string& before = input.image;
    const bool hadBlock = before.size() >= kId3v1Size && before.compare(before.size() - kId3v1Size, 3, "TAG") == 0;
    const std::string audio = hadBlock ? before.substr(0, before.size() - kId3v1Size) : before;
    WVR_FUZZ_EXPECT(after == audio + std::string(block.begin(), block.end()));
    const auto texts = ParseId3v1(reinterpret_cast<const uint8_t*>(after.data()) + audio.size(), genres);
    WVR_FUZZ_EXPECT(texts && sjis::Trim(texts->title) == sjis::Trim(row.Fields[kTitle].substr(0, texts->title.size())));
    return 0;
}
