// RIFF chunk input and output: descend into a chunk by id, a LIST by list type or a RIFF by
// form type, searching forward inside a parent; ascend past a chunk and its pad byte; walk the
// chunks of a form; build chunks in memory with a size placeholder that closing the chunk fills
// in; copy chunks of a file into its replacement.
// Sizes as stored are never trusted: each chunk is clamped to the bytes its parent holds.
// Every reader and writer of the program walks chunks through ChunkReader, so that what one of
// them finds the others find too: a writer that walked by another rule would rewrite what it
// misread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wvr::fs {
class File;
class ReplacementFile;
}

namespace wvr::riff {

// A four-character code as stored, e.g. "data" or "LIST".
struct FourCC {
    char c[4]{};
    constexpr FourCC() = default;
    constexpr FourCC(const char (&text)[5]) : c{text[0], text[1], text[2], text[3]} {}
    static FourCC From(const void* bytes);
    std::string_view view() const { return {c, 4}; }
    bool operator==(const FourCC&) const = default;
};

inline constexpr FourCC kRiff("RIFF");
inline constexpr FourCC kList("LIST");
inline constexpr uint64_t kHeaderSize = 8;  // id + 32-bit little-endian size
inline constexpr uint64_t kTypeSize = 4;    // form or list type after a RIFF or LIST header

// A chunk found in a source.
struct Chunk {
    FourCC id;
    FourCC type;              // form or list type; only for RIFF and LIST chunks
    uint64_t offset = 0;      // of the id
    uint32_t storedSize = 0;  // the size field as stored
    uint64_t size = 0;        // the data bytes actually inside the parent (<= storedSize)
    // An odd size is followed by its pad byte inside the parent. Some writers leave the pad out;
    // the walker tells the two apart by what follows (ChunkReader::ReadHeader).
    bool padPresent = false;

    uint64_t DataOffset() const { return offset + kHeaderSize; }
    uint64_t DataEnd() const { return DataOffset() + size; }
    // Where the next chunk starts: after the data and, when there is one, its pad byte.
    uint64_t End() const { return DataEnd() + (padPresent ? 1 : 0); }
    bool Intact() const { return size == storedSize && (size % 2 == 0 || padPresent); }
};

// Bytes that chunks are read from: a buffer in tests, an open file in the program.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    virtual bool Read(uint64_t offset, void* out, size_t n) = 0;
};

class BufferSource : public ByteSource {
public:
    explicit BufferSource(std::string_view bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* out, size_t n) override;

private:
    std::string_view bytes_;
};

class FileSource : public ByteSource {
public:
    // The size is taken once: the file is not expected to change while it is read.
    explicit FileSource(fs::File& file);
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t n) override;

private:
    fs::File& file_;
    uint64_t size_ = 0;
};

// What a descend looks for.
struct Search {
    enum class By { Id, ListType, FormType } by = By::Id;
    FourCC code;
    static Search Id(FourCC id) { return {By::Id, id}; }
    static Search List(FourCC type) { return {By::ListType, type}; }
    static Search Form(FourCC type) { return {By::FormType, type}; }
};

// Walks chunks from a current position, as the platform's chunk reader does.
class ChunkReader {
public:
    // A hostile file could hold millions of tiny chunks; a search gives up after this many.
    static constexpr int kMaxChunksPerSearch = 1 << 16;

    explicit ChunkReader(ByteSource& source) : source_(source) {}

    uint64_t Position() const { return position_; }
    void Seek(uint64_t position) { position_ = position; }

    // The chunk at the current position, clamped to `limit`; nothing when no header fits.
    // After an odd size the pad byte is taken as missing only when what follows says so (PadFollows).
    std::optional<Chunk> ReadHeader(uint64_t limit);
    // Searches forward from the current position for a matching chunk inside `parent` (the whole
    // source when null). Found: the position is the chunk's data, after the type of a RIFF or LIST.
    std::optional<Chunk> Descend(const Chunk* parent, Search search);
    // Moves past the chunk and its pad byte.
    void Ascend(const Chunk& chunk) { position_ = chunk.End(); }
    // The chunk's data, at most `maxBytes` of it.
    std::optional<std::string> ReadData(const Chunk& chunk, uint64_t maxBytes);

    // Where a search inside `parent` ends: its data end, or the source's end.
    uint64_t LimitOf(const Chunk* parent) const { return parent ? parent->DataEnd() : source_.Size(); }

    // Whether the 128 bytes before `limit` start at `at` and hold an ID3v1 block ("TAG"):
    // taggers append one to RIFF files and some count it in the form's size.
    bool IsId3BlockAt(uint64_t at, uint64_t limit);

private:
    // Whether the byte at `dataEnd`, after the data of an odd-sized chunk, is its pad byte:
    // unless the ID3v1 block that ends the form, or a chunk header, starts right there and no
    // header starts one byte later.
    bool PadFollows(uint64_t dataEnd, uint64_t limit);
    // Four printable characters and a size that fits before `limit` start at `at`.
    bool HeaderFitsAt(uint64_t at, uint64_t limit);

    ByteSource& source_;
    uint64_t position_ = 0;
};

// The chunks of a RIFF form in file order, as every reader and writer of RIFF files sees them.
struct FormWalk {
    Chunk form;
    std::vector<Chunk> chunks;
    uint64_t end = 0;        // where the walk stopped: after the last whole chunk
    bool id3Block = false;   // an ID3v1 block fills the form's last 128 bytes, from `end`
    bool complete = true;    // false when the chunk count ran out before the form's end
};

// The first RIFF form of the type at the top level of the source, walked; nothing without one.
std::optional<FormWalk> WalkForm(ByteSource& source, FourCC formType);

// Builds chunks into a byte buffer. CreateChunk writes a size placeholder that Ascend fills in.
class ChunkWriter {
public:
    struct Mark {
        size_t sizeOffset = 0;
    };

    Mark CreateChunk(FourCC id);
    Mark CreateList(FourCC listType) { return CreateTyped(kList, listType); }
    Mark CreateForm(FourCC formType) { return CreateTyped(kRiff, formType); }
    void Write(std::string_view bytes) { bytes_.append(bytes); }
    // Writes the chunk's size (its data, without the pad) and a zero pad byte when it is odd.
    void Ascend(Mark mark);

    const std::string& bytes() const { return bytes_; }

private:
    Mark CreateTyped(FourCC id, FourCC type);
    std::string bytes_;
};

// Copies ranges of a file into its replacement through one buffer: a file may hold thousands
// of tiny chunks, and a fresh buffer for each would cost far more than the bytes.
class ChunkCopier {
public:
    ChunkCopier(fs::File& source, fs::ReplacementFile& out) : source_(source), out_(out) {}
    bool Copy(uint64_t offset, uint64_t n);
    bool Append(std::string_view bytes);

private:
    static constexpr uint64_t kBufferSize = 1 << 20;
    fs::File& source_;
    fs::ReplacementFile& out_;
    std::vector<char> buffer_;
};

uint32_t ReadLe32(const void* bytes);
std::string Le32(uint32_t value);
// The 8-byte header of a chunk.
std::string ChunkHeader(FourCC id, uint32_t size);

}  // namespace wvr::riff
