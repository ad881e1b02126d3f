// The SoundVQ writer as a property: a fuzzed file and fuzzed texts either fail and leave the
// file as it was, or keep the magic, "COMM", every header chunk the writer does not write and
// the audio after "DATA", and the header reads back as the row's texts with the audio's size:
// the size "DSIZ" declared when the file holds that much after "DATA", else all of it.
#include <vector>

#include "FuzzSupport.h"
#include "formats/Id3v1.h"
#include "formats/SoundVq.h"

using namespace wvr;

namespace {

uint32_t Be32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

// What the writer keeps, read independently: COMM, the chunks it does not write, the audio.
struct Kept {
    std::string comm;
    std::vector<std::string> carried;
    std::string audio;
    bool trailingBlock = false;
};

std::optional<Kept> KeptOf(const std::string& bytes) {
    if (bytes.size() < soundvq::kCommDataOffset) return std::nullopt;
    const uint64_t dataId = soundvq::kChunksOffset + Be32(bytes, soundvq::kHeaderSizeOffset);
    if (dataId + 4 > bytes.size() || bytes.compare(dataId, 4, "DATA") != 0) return std::nullopt;
    Kept kept;
    uint64_t at = soundvq::kChunksOffset;
    for (bool first = true; at + 8 <= dataId; first = false) {
        const uint64_t end = at + 8 + Be32(bytes, at + 4);
        if (end > dataId) return std::nullopt;
        const std::string chunk = bytes.substr(at, end - at);
        const std::string id = chunk.substr(0, 4);
        if (first) kept.comm = chunk;
        else if (id != "NAME" && id != "COMT" && id != "(c) " && id != "FILE" && id != "AUTH" && id != "DSIZ")
            kept.carried.push_back(chunk);
        at = end;
    }
    if (at != dataId) return std::nullopt;
    kept.audio = bytes.substr(dataId + 4);
    if (kept.audio.size() >= kId3v1Size && kept.audio.compare(kept.audio.size() - kId3v1Size, 3, "TAG") == 0) {
        kept.trailingBlock = true;
        kept.audio.resize(kept.audio.size() - kId3v1Size);
    }
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("song.vqf");
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    fuzz::WriteScratch(path, input.image);
    TrackInfo row;
    row.Path = path;
    row.FileName = "song.vqf";
    row.Kind = std::to_string(static_cast<int>(FileKind::SoundVq));
    row.Fields = input.fields;
    GenreTable genres;
    fuzz::YesPrompter prompter;

    const bool written = WriteSoundVqTags(row, genres, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return 0;
    }
    const auto old = KeptOf(input.image);
    const auto now = KeptOf(after);
    WVR_FUZZ_EXPECT(old && now);
    WVR_FUZZ_EXPECT(after.compare(0, soundvq::kMagicSize, input.image, 0, soundvq::kMagicSize) == 0);
    WVR_FUZZ_EXPECT(now->comm == old->comm && now->carried == old->carried && now->audio == old->audio);
    WVR_FUZZ_EXPECT(now->trailingBlock == old->trailingBlock);

    std::array<std::string, kFieldCount> fields;
    fuzz::WriteScratch(path, input.image);
    fs::File file;
    WVR_FUZZ_EXPECT(file.Open(path, fs::File::Mode::Read));
    const auto declared = ReadSoundVqTags(file, fields);
    const long long held = static_cast<long long>(old->audio.size() + (old->trailingBlock ? kId3v1Size : 0));
    const long long expected =
        declared && *declared >= 0 && *declared <= held ? *declared : static_cast<long long>(old->audio.size());
    fuzz::WriteScratch(path, after);
    WVR_FUZZ_EXPECT(file.Open(path, fs::File::Mode::Read));
    const auto dsiz = ReadSoundVqTags(file, fields);
    WVR_FUZZ_EXPECT(dsiz && *dsiz == expected);
    for (int field : {kTitle, kArtist, kComment, kCopyright}) WVR_FUZZ_EXPECT(fields[field] == row.Fields[field]);
    if (!row.Fields[kMp3Field].empty()) WVR_FUZZ_EXPECT(fields[kMp3Field] == row.FileName);
    return 0;
}
