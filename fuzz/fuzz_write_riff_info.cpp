// The RIFF INFO writer as a property: a fuzzed file and fuzzed texts either fail and leave the
// file as it was, or keep the bytes before the form and every chunk of the form other than
// INFO lists (the audio among them) in order, and the INFO list reads back as the row's texts.
// Flags: bit 0 the kind (RMP3 or WAVE), bit 1 the IID3 chunk.
#include <vector>

#include "FuzzSupport.h"
#include "formats/RiffInfo.h"

using namespace wvr;

namespace {

struct FormChunks {
    bool found = false;
    uint64_t formOffset = 0;
    std::vector<std::pair<std::string, std::string>> chunks;  // id and data, INFO lists left out
};

// The chunks as the readers see them: an ID3v1 block that ends the form is the tag, which the
// writer replaces, not a chunk.
FormChunks ChunksOf(const std::string& bytes, riff::FourCC formType) {
    FormChunks result;
    riff::BufferSource source(bytes);
    const auto walk = riff::WalkForm(source, formType);
    if (!walk) return result;
    result.found = true;
    result.formOffset = walk->form.offset;
    for (const riff::Chunk& chunk : walk->chunks) {
        if (chunk.id == riff::kList && chunk.type == info::kListType) continue;
        result.chunks.emplace_back(std::string(chunk.id.view()), bytes.substr(chunk.DataOffset(), chunk.size));
    }
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("song.rmp");
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    fuzz::WriteScratch(path, input.image);
    const FileKind kind = (input.flags & 1) ? FileKind::RiffWave : FileKind::RiffRmp3;
    const riff::FourCC formType = kind == FileKind::RiffWave ? riff::FourCC("WAVE") : riff::FourCC("RMP3");
    TrackInfo row;
    row.Path = path;
    row.Kind = std::to_string(static_cast<int>(kind));
    row.Fields = input.fields;
    GenreTable genres;
    fuzz::YesPrompter prompter;

    const bool written = WriteRiffInfo(row, BuildId3v1Tag(row, genres), (input.flags & 2) != 0, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return 0;
    }
    const FormChunks old = ChunksOf(input.image, formType);
    const FormChunks now = ChunksOf(after, formType);
    WVR_FUZZ_EXPECT(old.found && now.found);
    WVR_FUZZ_EXPECT(after.compare(0, now.formOffset, input.image, 0, old.formOffset) == 0);
    WVR_FUZZ_EXPECT(now.chunks == old.chunks);

    riff::BufferSource source(after);
    const RiffInfoList list = ReadRiffInfo(source, kind);
    WVR_FUZZ_EXPECT(list.infoFound);
    for (int i = 0; i < kFieldCount; ++i) WVR_FUZZ_EXPECT(list.texts[i] == row.Fields[i]);
    return 0;
}
