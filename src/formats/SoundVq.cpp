#include "formats/SoundVq.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "formats/Id3v1.h"
#include "formats/PathText.h"
#include "formats/RiffChunks.h"
#include "formats/Splice.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

using riff::FourCC;
using namespace soundvq;

// A hostile header size could ask for millions of tiny chunks.
constexpr int kMaxChunks = 1 << 16;

uint32_t ReadBe32(const uint8_t* b) {
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 |
           static_cast<uint32_t>(b[3]);
}

std::string Be32(uint32_t value) {
    const char bytes[4] = {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 8), static_cast<char>(value)};
    return std::string(bytes, 4);
}

std::optional<uint32_t> ReadBe32At(fs::File& file, uint64_t offset) {
    uint8_t b[4];
    if (!file.ReadExact(offset, b, sizeof b)) return std::nullopt;
    return ReadBe32(b);
}

struct HeaderChunk {
    FourCC id;
    uint32_t size = 0;
    uint64_t offset = 0;
    uint64_t DataOffset() const { return offset + kChunkHeaderSize; }
    uint64_t End() const { return DataOffset() + size; }
};

std::optional<HeaderChunk> ReadChunkHeader(fs::File& file, uint64_t offset) {
    uint8_t b[kChunkHeaderSize];
    if (!file.ReadExact(offset, b, sizeof b)) return std::nullopt;
    return HeaderChunk{FourCC::From(b), ReadBe32(b + kIdSize), offset};
}

// The chunk's data up to its first zero byte (what is there of it, in a cut-off file).
std::string ReadText(fs::File& file, const HeaderChunk& chunk) {
    std::string text(static_cast<size_t>(std::min<uint64_t>(chunk.size, kMaxTextBytes)), '\0');
    const int64_t got = file.ReadAt(chunk.DataOffset(), text.data(), text.size());
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text.substr(0, text.find('\0'));
}

// What the loader reads a header chunk as, telling chunks apart by their first letter alone:
// 'N' the title, '(' the artist, 'A' the copyright, 'C' the comment (but not "COMM"), 'F' the
// file name, 'D' the audio size; 0 for a chunk it passes over.
char ReadAs(FourCC id) {
    switch (id.c[0]) {
    case 'N':
    case '(':
    case 'A':
    case 'F':
    case 'D': return id.c[0];
    case 'C': return id.c[3] != 'M' ? 'C' : 0;
    default: return 0;
    }
}

std::string TextChunk(FourCC id, const std::string& text) {
    return std::string(id.view()) + Be32(static_cast<uint32_t>(text.size())) + text;
}

// The chunks that the writer builds from the row; every other header chunk is carried over.
bool IsRewritten(FourCC id) {
    for (FourCC rewritten : {FourCC("NAME"), FourCC("COMT"), FourCC("(c) "), FourCC("FILE"), FourCC("AUTH"),
                             FourCC("DSIZ")})
        if (id == rewritten) return true;
    return false;
}

// The header chunks after "COMM" and the audio that follows "DATA", as found in the file.
struct SoundVqLayout {
    uint64_t commEnd = 0;
    std::vector<HeaderChunk> chunks;  // after "COMM", in file order
    uint64_t audioOffset = 0;
    uint64_t audioEnd = 0;  // the file's end, or the start of its trailing ID3v1 block
    bool trailingId3 = false;
};

// Nothing when the header is not a run of whole chunks followed by "DATA".
std::optional<SoundVqLayout> ReadLayout(fs::File& file, uint64_t fileSize) {
    auto headerSize = ReadBe32At(file, kHeaderSizeOffset);
    auto commSize = ReadBe32At(file, kCommSizeOffset);
    if (!headerSize || !commSize) return std::nullopt;
    const uint64_t dataId = kChunksOffset + *headerSize;
    char id[kIdSize];
    if (!file.ReadExact(dataId, id, sizeof id) || std::memcmp(id, "DATA", kIdSize) != 0) return std::nullopt;

    SoundVqLayout layout;
    layout.commEnd = kCommDataOffset + *commSize;
    if (layout.commEnd > dataId) return std::nullopt;
    for (uint64_t at = layout.commEnd; at < dataId;) {
        auto chunk = ReadChunkHeader(file, at);
        if (!chunk || chunk->End() > dataId || layout.chunks.size() == kMaxChunks) return std::nullopt;
        layout.chunks.push_back(*chunk);
        at = chunk->End();
    }

    layout.audioOffset = dataId + kIdSize;
    layout.audioEnd = fileSize;
    char marker[3];
    if (fileSize - layout.audioOffset >= kId3v1Size && file.ReadExact(fileSize - kId3v1Size, marker, sizeof marker) &&
        std::memcmp(marker, "TAG", 3) == 0) {
        layout.trailingId3 = true;
        layout.audioEnd -= kId3v1Size;
    }
    return layout;
}

// The chunks the row gives, in the order they are written: NAME, COMT, "(c) ", FILE (only
// when the row has a file-name field), AUTH, DSIZ.
std::vector<std::pair<FourCC, std::string>> RowChunks(const TrackInfo& row, uint32_t audioSize) {
    std::vector<std::pair<FourCC, std::string>> chunks = {
        {"NAME", TextChunk("NAME", row.Fields[kTitle])},
        {"COMT", TextChunk("COMT", row.Fields[kComment])},
        {"(c) ", TextChunk("(c) ", row.Fields[kArtist])}};
    if (!row.Fields[kMp3Field].empty()) chunks.push_back({"FILE", TextChunk("FILE", row.FileName)});
    chunks.push_back({"AUTH", TextChunk("AUTH", row.Fields[kCopyright])});
    chunks.push_back({"DSIZ", std::string("DSIZ") + Be32(kDsizSize) + Be32(audioSize)});
    return chunks;
}

// The new header chunks after "COMM": the carried chunks, then the row's. A chunk that starts
// among the property bytes (a "COMM" shorter than they reach) keeps its place in front, so
// that those bytes stay where the loader takes them from. The loader keeps the last chunk it
// reads as a field, so a row's chunk kept in front must not be followed by a carried one read
// as the same field: false then, as the row's text would not be what the file shows.
bool HeaderChunksAfterComm(const SoundVqLayout& layout, const TrackInfo& row, uint32_t audioSize, Splice& out) {
    auto rowChunks = RowChunks(row, audioSize);
    std::vector<bool> written(rowChunks.size(), false);
    auto writeRowChunk = [&](FourCC id) {
        for (size_t i = 0; i < rowChunks.size(); ++i)
            if (rowChunks[i].first == id && !written[i]) {
                out.Append(rowChunks[i].second);
                written[i] = true;
            }
    };
    std::vector<bool> carriedDone(layout.chunks.size(), false);
    std::string readInFront;
    for (size_t i = 0; i < layout.chunks.size() && layout.chunks[i].offset < kPropertyBytesEnd; ++i) {
        const HeaderChunk& chunk = layout.chunks[i];
        if (IsRewritten(chunk.id)) {
            writeRowChunk(chunk.id);
            readInFront += ReadAs(chunk.id);
        } else {
            out.Copy(chunk.offset, chunk.End() - chunk.offset);
        }
        carriedDone[i] = true;
    }
    for (size_t i = 0; i < layout.chunks.size(); ++i) {
        const HeaderChunk& chunk = layout.chunks[i];
        if (carriedDone[i] || IsRewritten(chunk.id)) continue;
        if (ReadAs(chunk.id) != 0 && readInFront.find(ReadAs(chunk.id)) != std::string::npos) return false;
        out.Copy(chunk.offset, chunk.End() - chunk.offset);
    }
    for (const auto& [id, bytes] : rowChunks) writeRowChunk(id);
    return true;
}

// The rewritten file, or nothing when it would move a property byte.
bool PlanRewrite(const SoundVqLayout& layout, const TrackInfo& row, uint32_t audioSize, const Id3v1Tag* id3Block,
                 riff::ByteSource& original, Splice& out) {
    Splice header(original);  // measured first: its size goes in front of it
    if (!HeaderChunksAfterComm(layout, row, audioSize, header)) return false;
    const uint64_t headerSize = layout.commEnd - kChunksOffset + header.Size();
    if (headerSize > UINT32_MAX) return false;
    out.Copy(0, kMagicSize);
    out.Append(Be32(static_cast<uint32_t>(headerSize)));
    out.Copy(kChunksOffset, layout.commEnd - kChunksOffset);
    HeaderChunksAfterComm(layout, row, audioSize, out);
    out.Append("DATA");
    out.Copy(layout.audioOffset, layout.audioEnd - layout.audioOffset);
    if (id3Block) out.Append(std::string_view(reinterpret_cast<const char*>(id3Block->data()), id3Block->size()));

    for (uint64_t at : kPropertyByteOffsets) {
        char before = 0, after = 0;
        if (!original.Read(at, &before, 1) || !out.Read(at, &after, 1) || before != after) return false;
    }
    return true;
}

}  // namespace

bool DetectSoundVq(fs::File& file, HeaderBytes& header) {
    uint8_t b[soundvq::kPropertyBytesEnd];
    if (!file.ReadExact(0, b, sizeof b)) return false;
    if (std::memcmp(b + 3, "N97012000", 9) != 0 || std::memcmp(b + 16, "COMM", 4) != 0) return false;
    const auto& at = soundvq::kPropertyByteOffsets;
    header = {b[at[0]], b[at[1]], b[at[2]]};
    return true;
}

std::optional<long long> ReadSoundVqTags(fs::File& file, std::array<std::string, kFieldCount>& fields) {
    auto headerSize = ReadBe32At(file, kHeaderSizeOffset);
    if (!headerSize) return std::nullopt;
    std::optional<long long> dsiz;
    uint64_t walked = 0;
    for (int count = 0; walked < *headerSize && count < kMaxChunks; ++count) {
        auto chunk = ReadChunkHeader(file, kChunksOffset + walked);
        if (!chunk) break;
        switch (ReadAs(chunk->id)) {
        case 'N': fields[kTitle] = ReadText(file, *chunk); break;
        case '(': fields[kArtist] = ReadText(file, *chunk); break;
        case 'A': fields[kCopyright] = ReadText(file, *chunk); break;
        case 'C': fields[kComment] = ReadText(file, *chunk); break;
        case 'F': fields[kMp3Field] = ReadText(file, *chunk); break;
        case 'D':
            if (chunk->size >= kDsizSize)
                if (auto value = ReadBe32At(file, chunk->DataOffset())) dsiz = *value;
            break;
        default: break;
        }
        walked += kChunkHeaderSize + chunk->size;
    }
    return dsiz;
}

AudioInfo SoundVqInfoText(HeaderBytes propertyBytes, long long audioSize) {
    const int kbit = propertyBytes.b1;
    const int khz = propertyBytes.b2;
    // A bit rate of 0 has no play time; a file shorter than its tag area has none either.
    const long long seconds = kbit == 0 || audioSize <= 0 ? 0 : audioSize / (kbit * 125LL);
    char text[64];
    std::snprintf(text, sizeof text, "SoundVQ %dkbit %dKHz %03lldsec ", kbit, khz, seconds);
    return {text, seconds};
}

bool WriteSoundVqTags(const TrackInfo& row, const GenreTable& genres, Prompter& prompter) {
    auto path = fs::ToNative(row.Path);
    if (!path) return false;
    fs::File source;
    if (!source.Open(*path, fs::File::Mode::ReadWrite)) return false;
    auto fileSize = source.Size();
    if (!fileSize) return false;

    // The file is rebuilt beside itself, so its own size must fit on the volume with room to spare.
    // The volume is named by the file's folder.
    auto freeSpace = fs::FreeSpace(*path);
    if (freeSpace && *freeSpace < *fileSize + kFreeSpaceMargin) {
        prompter.Warning(cp932::ToUtf8(path::Folder(row.Path)) + "ドライブの残り容量が足りません。");
        return false;
    }
    const auto time = fs::ReadLastWriteTime(*path);

    auto layout = ReadLayout(source, *fileSize);
    // A header that could not be read is no broken header; a trailing block that could not
    // be read would be taken for audio.
    if (source.ReadFailed()) return false;
    if (!layout) {
        prompter.Plain("異常終了します。");
        return false;
    }
    // DSIZ stays what the header declares when the file holds that much: bytes after the audio
    // (another tag) are carried over as they are and are no audio.
    std::array<std::string, kFieldCount> scratch;
    const auto declared = ReadSoundVqTags(source, scratch);
    const uint64_t audioBytes = declared && static_cast<uint64_t>(*declared) <= *fileSize - layout->audioOffset
                                    ? static_cast<uint64_t>(*declared)
                                    : layout->audioEnd - layout->audioOffset;
    if (audioBytes > UINT32_MAX) return false;

    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    riff::FileSource original(source);
    Splice plan(original);
    if (!PlanRewrite(*layout, row, static_cast<uint32_t>(audioBytes), layout->trailingId3 ? &block : nullptr,
                     original, plan)) {
        ShowUnusualLayout(cp932::ToUtf8(row.Path), prompter);
        return false;
    }
    fs::ReplacementFile out(*path);
    if (!out.Create()) return false;
    riff::ChunkCopier copier(source, out);
    if (!plan.WriteTo(copier)) return false;
    // A time that cannot be set back leaves the change done, without a word.
    return out.Commit(time ? &*time : nullptr);
}

}  // namespace wvr
