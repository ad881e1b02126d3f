// The conversion writer as a property: a fuzzed file of one kind and fuzzed texts, converted to
// another kind, either fail and leave no new file, or give a new file whose audio is the
// source's MPEG data byte for byte and whose tags read back as the row's texts. The source is
// never changed. Flags: bits 0-1 the source kind (MPEG, WAVE, RMP3), bits 2-3 the target,
// bit 4 any stream into WAVE.
#include "FuzzSupport.h"
#include "app/commands/Convert.h"
#include "formats/Id3v1.h"
#include "formats/MpegRiff.h"
#include "formats/RiffInfo.h"

using namespace wvr;

namespace {

const char* const kExtensions[] = {".mp3", ".wav", ".rmp"};
const FileKind kKinds[] = {FileKind::Mpeg, FileKind::RiffWave, FileKind::RiffRmp3};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    const int from = (input.flags & 3) % 3;
    const int to = ((input.flags >> 2) & 3) % 3;
    if (from == to) return 0;
    const std::string sourcePath = fuzz::ScratchPath(std::string("song") + kExtensions[from]);
    fuzz::WriteScratch(sourcePath, input.image);
    TrackInfo row;
    row.Path = sourcePath;
    row.Kind = std::to_string(static_cast<int>(kKinds[from]));
    row.Fields = input.fields;
    GenreTable genres;
    fuzz::YesPrompter prompter;
    const auto target = static_cast<ConvertTarget>(to);
    const std::string targetPath = ConvertTargetPath(sourcePath, target);
    const int flags = (input.flags & 16) ? kConvertAnyStream : 0;

    const int result = ConvertRow(row, targetPath, target, flags, false, genres, prompter);
    WVR_FUZZ_EXPECT(fuzz::ReadScratch(sourcePath) == input.image);
    if (result != 0) {
        WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
        std::remove(sourcePath.c_str());
        return 0;
    }
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 2);
    const std::string converted = fuzz::ReadScratch(targetPath);
    std::remove(sourcePath.c_str());
    std::remove(targetPath.c_str());

    riff::BufferSource source(input.image);
    const auto range = MpegDataRange(source, kKinds[from]);
    WVR_FUZZ_EXPECT(range.has_value());
    const std::string audio = input.image.substr(range->offset, range->size);
    if (target == ConvertTarget::Mp3) {
        const Id3v1Tag block = BuildId3v1Tag(row, genres);
        WVR_FUZZ_EXPECT(converted == audio + std::string(block.begin(), block.end()));
        return 0;
    }
    riff::BufferSource made(converted);
    const auto madeRange = MpegDataRange(made, kKinds[to]);
    WVR_FUZZ_EXPECT(madeRange && converted.compare(madeRange->offset, madeRange->size, audio) == 0);
    const RiffInfoList list = ReadRiffInfo(made, kKinds[to]);
    WVR_FUZZ_EXPECT(list.infoFound);
    for (int i = 0; i < kFieldCount; ++i) WVR_FUZZ_EXPECT(list.texts[i] == row.Fields[i]);
    return 0;
}
