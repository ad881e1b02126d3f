// The ID3v2 reader and writer as a property: any tag bytes are read without a crash, and a
// write either fails and leaves the file as it was, or gives a file whose audio (what follows
// the tag, up to the ID3v1 block) is the same bytes, whose tag reads back as the row for the
// fields written, and which holds every frame it did not mean to change byte for byte. A file
// without a tag is given a new one, in front of the file's bytes as they were.
#include "FuzzSupport.h"
#include "formats/Id3v1.h"
#include "formats/Id3v2Tag.h"
#include "formats/Id3v2Writer.h"

using namespace wvr;

namespace {

std::string Audio(const std::string& bytes, const GenreTable&) {
    auto layout = id3v2::ParseLayout(bytes);
    const size_t start = layout ? static_cast<size_t>(std::min<uint64_t>(layout->size, bytes.size())) : 0;
    const bool v1 = bytes.size() >= start + kId3v1Size && bytes.compare(bytes.size() - kId3v1Size, 3, "TAG") == 0;
    return bytes.substr(start, bytes.size() - start - (v1 ? kId3v1Size : 0));
}

// The frames of a tag, byte for byte and in order, but for those that hold the fields in `skip`.
std::vector<std::string> OtherFrames(const std::string& bytes, const id3v2::TagTexts& tag,
                                     std::bitset<kFieldCount> skip) {
    std::vector<std::string> frames;
    for (size_t i = 0; i < tag.frames.size(); ++i) {
        bool skipped = false;
        for (int f = 0; f < kFieldCount; ++f) skipped = skipped || (skip[f] && tag.frameOf[f] == static_cast<int>(i));
        if (!skipped) frames.push_back(bytes.substr(tag.frames[i].offset, tag.frames[i].size));
    }
    return frames;
}

// A new tag (2.3 or 2.4 by the size's parity) holding the texts the flags pick.
void CreateTag(const fuzz::WriterInput& input, const std::string& path, const GenreTable& genres) {
    TrackInfo row;
    row.Path = path;
    for (int f = 0; f < kFieldCount; ++f)
        if (input.flags >> (f % 8) & 1) row.Fields[f] = input.fields[f];
    fuzz::YesPrompter prompter;
    const bool written = CreateId3v2Tag(row, input.image.size() % 2 ? 4 : 3, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return;
    }
    auto layout = id3v2::ParseLayout(after);
    WVR_FUZZ_EXPECT(layout && layout->size <= after.size());
    WVR_FUZZ_EXPECT(after.compare(layout->size, std::string::npos, input.image) == 0);
    const id3v2::TagTexts read = id3v2::ReadTagTexts(after, genres);
    WVR_FUZZ_EXPECT(read.walkComplete);
    for (int f = 0; f < kFieldCount; ++f)
        if (f != kGenre) WVR_FUZZ_EXPECT(id3v2::SameAsRead(row.Fields[f], read.fields[f]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("song.mp3");
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    GenreTable genres;
    if (!id3v2::ParseLayout(input.image)) {
        fuzz::WriteScratch(path, input.image);
        CreateTag(input, path, genres);
        return 0;
    }
    const id3v2::TagTexts before = id3v2::ReadTagTexts(input.image, genres);
    fuzz::WriteScratch(path, input.image);

    // The row: the file's texts as read, with the fuzzed texts in the fields the flags pick.
    TrackInfo row;
    row.Path = path;
    for (int f = 0; f < kFieldCount; ++f)
        row.Fields[f] = (input.flags >> (f % 8) & 1) ? input.fields[f] : sjis::Trim(before.fields[f]);
    fuzz::YesPrompter prompter;
    const bool written = WriteId3v2Tag(row, BuildId3v1Tag(row, genres), genres, Id3v2WriteMode::ChangedFields,
                                       prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return 0;
    }
    if (after == input.image) return 0;  // nothing differed
    WVR_FUZZ_EXPECT(Audio(after, genres) == Audio(input.image, genres));
    const id3v2::TagTexts read = id3v2::ReadTagTexts(after, genres);
    WVR_FUZZ_EXPECT(read.walkComplete);
    for (int f = 0; f < kFieldCount; ++f) {
        if (f == kGenre) continue;  // a number reads back as its name
        WVR_FUZZ_EXPECT(id3v2::SameAsRead(row.Fields[f], read.fields[f]));
    }
    // A 2.3 / 2.4 tag keeps the frames of the fields left alone as they were, in their order;
    // the frames of the changed fields are replaced where they stood, appended or left out.
    // An emptied field gets no frame: what it reads from after the write is a frame kept.
    if (before.layout.major >= 3) {
        std::bitset<kFieldCount> changed, written;
        for (int f = 0; f < kFieldCount; ++f) {
            changed[f] = !id3v2::SameAsRead(row.Fields[f], before.fields[f]);
            written[f] = changed[f] && !row.Fields[f].empty();
        }
        WVR_FUZZ_EXPECT(OtherFrames(after, read, written) == OtherFrames(input.image, before, changed));
    }
    return 0;
}
