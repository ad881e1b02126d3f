// The ID3v2 reader and writer as a property: any tag bytes are read without a crash, and a
// write either fails and leaves the file as it was, or gives a file whose audio (what follows
// the tag, up to the ID3v1 block) is the same bytes, whose tag reads back as the row for the
// fields written, which holds every frame it did not mean to change byte for byte, and whose
// ID3v1 block changed only in the fields written (not at all in the Unicode rewrite). A file
// without a tag is given a new one, in front of the file's bytes as they were.
#include "FuzzSupport.h"
#include "formats/Id3v1.h"
#include "formats/id3v2/TaggedMpegWriter.h"
#include "formats/id3v2/Tag.h"
#include "formats/id3v2/TagHeader.h"
#include "platform/base/Cp932.h"

using namespace wvr;

namespace {

struct Parsed {
    std::string plain;
    id3v2::WalkedTag walked;
    id3v2::TagFields fields;
    uint64_t tagSize = 0;
};

std::optional<Parsed> Parse(const std::string& bytes, const GenreTable& genres) {
    auto header = id3v2::ParseTagHeader(bytes);
    if (!header) return std::nullopt;
    Parsed p;
    p.tagSize = std::min<uint64_t>(header->TagSize(), bytes.size());
    p.plain = id3v2::PlainTagBytes(bytes.substr(0, p.tagSize), *header);
    id3v2::TagBytesWindow window(p.plain);
    p.walked = id3v2::WalkTag(window, *header, p.plain.size());
    p.fields = id3v2::ReadTagFields(window, p.walked, genres);
    return p;
}

bool HasBlock(const std::string& bytes, uint64_t after) {
    return bytes.size() >= after + kId3v1Size && bytes.compare(bytes.size() - kId3v1Size, 3, "TAG") == 0;
}

std::string Audio(const std::string& bytes, uint64_t tagSize) {
    const size_t end = bytes.size() - (HasBlock(bytes, tagSize) ? kId3v1Size : 0);
    return bytes.substr(tagSize, end - tagSize);
}

// The frames of a tag, byte for byte and in order, but for those that hold the fields in `skip`.
std::vector<std::string> OtherFrames(const Parsed& tag, std::bitset<kFieldCount> skip) {
    std::vector<std::string> frames;
    const auto& spans = tag.walked.walk.frames;
    for (size_t i = 0; i < spans.size(); ++i) {
        bool skipped = false;
        for (int f = 0; f < kFieldCount; ++f) skipped = skipped || (skip[f] && tag.fields.frameOf[f] == static_cast<int>(i));
        if (skipped) continue;
        frames.push_back(tag.plain.substr(spans[i].offset, spans[i].size));
        // A 2.4 tag unsynchronised as a whole is written without the tag's flag: each frame
        // kept says so itself.
        const id3v2::TagHeader& header = tag.walked.header;
        if (header.major == 4 && header.Unsynchronised()) frames.back()[9] |= 0x02;
    }
    return frames;
}

bool ReadsAs(const std::string& row, const std::string& read) { return cp932::ToUtf8(row) == cp932::ToUtf8(sjis::Trim(read)); }

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
    const auto read = Parse(after, genres);
    WVR_FUZZ_EXPECT(read && read->tagSize <= after.size());
    WVR_FUZZ_EXPECT(after.compare(read->tagSize, std::string::npos, input.image) == 0);
    for (int f = 0; f < kFieldCount; ++f)
        if (f != kGenre) WVR_FUZZ_EXPECT(ReadsAs(row.Fields[f], read->fields.fields[f]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fuzz::ScratchPath("song.mp3");
    const fuzz::WriterInput input = fuzz::SplitWriterInput(data, size);
    GenreTable genres;
    const auto before = Parse(input.image, genres);
    fuzz::WriteScratch(path, input.image);
    if (!before) {
        CreateTag(input, path, genres);
        return 0;
    }
    // The row: the file's texts as read, with the fuzzed texts in the fields the flags pick.
    TrackInfo row;
    row.Path = path;
    std::bitset<kFieldCount> changed;
    for (int f = 0; f < kFieldCount; ++f) {
        const std::string read = sjis::Trim(before->fields.fields[f]);
        row.Fields[f] = (input.flags >> (f % 8) & 1) ? input.fields[f] : read;
        changed[f] = row.Fields[f] != read;
    }
    const auto mode = input.flags & 0x80 ? Id3v2WriteMode::Unicode : Id3v2WriteMode::ChangedFields;
    fuzz::YesPrompter prompter;
    const bool written = WriteId3v2Tag(row, genres, mode, prompter);
    const std::string after = fuzz::ReadScratch(path);
    WVR_FUZZ_EXPECT(fuzz::ScratchEntries() == 1);
    if (!written) {
        WVR_FUZZ_EXPECT(after == input.image);
        return 0;
    }
    if (after == input.image) return 0;  // nothing differed
    const auto read = Parse(after, genres);
    WVR_FUZZ_EXPECT(read.has_value());
    WVR_FUZZ_EXPECT(Audio(after, read->tagSize) == Audio(input.image, before->tagSize));
    std::bitset<kFieldCount> rewritten = changed;
    if (mode == Id3v2WriteMode::Unicode) rewritten |= before->fields.shiftJisInLatin1;
    for (int f = 0; f < kFieldCount; ++f)
        if (f != kGenre && rewritten[f]) WVR_FUZZ_EXPECT(ReadsAs(row.Fields[f], read->fields.fields[f]));
    // The frames of the fields left alone stay as they were, in their order; an emptied field
    // gets no frame.
    std::bitset<kFieldCount> present;
    for (int f = 0; f < kFieldCount; ++f) present[f] = rewritten[f] && !row.Fields[f].empty();
    WVR_FUZZ_EXPECT(OtherFrames(*read, present) == OtherFrames(*before, rewritten));
    // The ID3v1 block: as it was in the Unicode rewrite, else changed in the changed fields only.
    if (HasBlock(input.image, before->tagSize)) {
        const std::string oldBlock = input.image.substr(input.image.size() - kId3v1Size);
        const std::string newBlock = after.substr(after.size() - kId3v1Size);
        if (mode == Id3v2WriteMode::Unicode) WVR_FUZZ_EXPECT(newBlock == oldBlock);
        const std::pair<int, std::pair<size_t, size_t>> ranges[] = {
            {kTitle, {id3v1::kTitle, id3v1::kTextWidth}}, {kArtist, {id3v1::kArtist, id3v1::kTextWidth}},
            {kAlbum, {id3v1::kAlbum, id3v1::kTextWidth}}, {kDate, {id3v1::kYear, id3v1::kYearWidth}},
            {kComment, {id3v1::kComment, id3v1::kTextWidth}}, {kGenre, {id3v1::kGenre, 1}}};
        std::string kept = oldBlock, now = newBlock;
        for (const auto& [field, range] : ranges) {
            if (!changed[field]) continue;
            kept.replace(range.first, range.second, range.second, '\0');
            now.replace(range.first, range.second, range.second, '\0');
        }
        WVR_FUZZ_EXPECT(kept == now);
    }
    return 0;
}
