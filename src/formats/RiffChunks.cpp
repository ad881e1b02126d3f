#include "formats/RiffChunks.h"

#include <algorithm>
#include <cstring>

#include "formats/Id3v1.h"
#include "platform/base/FileOps.h"

namespace wvr::riff {

FourCC FourCC::From(const void* bytes) {
    FourCC code;
    std::memcpy(code.c, bytes, 4);
    return code;
}

uint32_t ReadLe32(const void* bytes) {
    const auto* b = static_cast<const uint8_t*>(bytes);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

std::string Le32(uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 24)};
    return std::string(bytes, 4);
}

std::string ChunkHeader(FourCC id, uint32_t size) { return std::string(id.view()) + Le32(size); }

// --- sources

bool BufferSource::Read(uint64_t offset, void* out, size_t n) {
    if (offset > bytes_.size() || bytes_.size() - offset < n) return false;
    std::memcpy(out, bytes_.data() + offset, n);
    return true;
}

FileSource::FileSource(fs::File& file) : file_(file), size_(file.Size().value_or(0)) {}

bool FileSource::Read(uint64_t offset, void* out, size_t n) {
    if (offset > size_ || size_ - offset < n) return false;
    return file_.ReadExact(offset, out, n);
}

// --- reading

std::optional<Chunk> ChunkReader::ReadHeader(uint64_t limit) {
    limit = std::min(limit, source_.Size());
    if (position_ > limit || limit - position_ < kHeaderSize) return std::nullopt;
    uint8_t header[kHeaderSize];
    if (!source_.Read(position_, header, sizeof header)) return std::nullopt;

    Chunk chunk;
    chunk.id = FourCC::From(header);
    chunk.offset = position_;
    chunk.storedSize = ReadLe32(header + 4);
    chunk.size = std::min<uint64_t>(chunk.storedSize, limit - chunk.DataOffset());
    if (chunk.size % 2 == 1 && chunk.size == chunk.storedSize && chunk.DataEnd() < limit)
        chunk.padPresent = PadFollows(chunk.DataEnd(), limit);
    if ((chunk.id == kRiff || chunk.id == kList) && chunk.size >= kTypeSize) {
        uint8_t type[kTypeSize];
        if (source_.Read(chunk.DataOffset(), type, sizeof type)) chunk.type = FourCC::From(type);
    }
    return chunk;
}

bool ChunkReader::IsId3BlockAt(uint64_t at, uint64_t limit) {
    char marker[3];
    return at <= limit && limit - at == kId3v1Size && source_.Read(at, marker, sizeof marker) &&
           std::memcmp(marker, "TAG", sizeof marker) == 0;
}

bool ChunkReader::PadFollows(uint64_t dataEnd, uint64_t limit) {
    // An ID3v1 block where the next chunk would start decides alone: its title can look like anything.
    if (IsId3BlockAt(dataEnd + 1, limit)) return true;
    if (IsId3BlockAt(dataEnd, limit)) return false;
    return !(HeaderFitsAt(dataEnd, limit) && !HeaderFitsAt(dataEnd + 1, limit));
}

bool ChunkReader::HeaderFitsAt(uint64_t at, uint64_t limit) {
    limit = std::min(limit, source_.Size());
    uint8_t header[kHeaderSize];
    if (at > limit || limit - at < kHeaderSize || !source_.Read(at, header, sizeof header)) return false;
    for (size_t i = 0; i < 4; ++i)
        if (header[i] < 0x20 || header[i] > 0x7E) return false;
    return ReadLe32(header + 4) <= limit - at - kHeaderSize;
}

std::optional<Chunk> ChunkReader::Descend(const Chunk* parent, Search search) {
    const uint64_t limit = LimitOf(parent);
    // Every step moves at least one header forward, and the count is capped as well.
    for (int walked = 0; walked < kMaxChunksPerSearch; ++walked) {
        auto chunk = ReadHeader(limit);
        if (!chunk) return std::nullopt;
        const bool typed = chunk->size >= kTypeSize;
        bool match = false;
        switch (search.by) {
        case Search::By::Id: match = chunk->id == search.code; break;
        case Search::By::ListType: match = chunk->id == kList && typed && chunk->type == search.code; break;
        case Search::By::FormType: match = chunk->id == kRiff && typed && chunk->type == search.code; break;
        }
        if (match) {
            position_ = chunk->DataOffset() + (search.by == Search::By::Id ? 0 : kTypeSize);
            return chunk;
        }
        Ascend(*chunk);
    }
    return std::nullopt;
}

std::optional<std::string> ChunkReader::ReadData(const Chunk& chunk, uint64_t maxBytes) {
    std::string data(static_cast<size_t>(std::min(chunk.size, maxBytes)), '\0');
    if (!source_.Read(chunk.DataOffset(), data.data(), data.size())) return std::nullopt;
    return data;
}

std::optional<FormWalk> WalkForm(ByteSource& source, FourCC formType) {
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form(formType));
    if (!form) return std::nullopt;
    FormWalk walk;
    walk.form = *form;
    const uint64_t limit = form->DataEnd();
    while (true) {
        if (reader.IsId3BlockAt(reader.Position(), limit)) {
            walk.id3Block = true;
            break;
        }
        auto chunk = reader.ReadHeader(limit);
        if (!chunk) break;
        if (walk.chunks.size() == ChunkReader::kMaxChunksPerSearch) {
            walk.complete = false;
            break;
        }
        walk.chunks.push_back(*chunk);
        reader.Ascend(*chunk);
    }
    walk.end = reader.Position();
    return walk;
}

// --- writing

bool ChunkCopier::Copy(uint64_t offset, uint64_t n) {
    while (n > 0) {
        const auto piece = static_cast<size_t>(std::min(n, kBufferSize));
        if (buffer_.size() < piece) buffer_.resize(piece);
        if (!source_.ReadExact(offset, buffer_.data(), piece) || !out_.Append(buffer_.data(), piece)) return false;
        offset += piece;
        n -= piece;
    }
    return true;
}

bool ChunkCopier::Append(std::string_view bytes) { return out_.Append(bytes); }

ChunkWriter::Mark ChunkWriter::CreateChunk(FourCC id) {
    bytes_.append(id.view());
    Mark mark{bytes_.size()};
    bytes_.append(4, '\0');
    return mark;
}

ChunkWriter::Mark ChunkWriter::CreateTyped(FourCC id, FourCC type) {
    Mark mark = CreateChunk(id);
    bytes_.append(type.view());
    return mark;
}

void ChunkWriter::Ascend(Mark mark) {
    const size_t dataStart = mark.sizeOffset + 4;
    const auto size = static_cast<uint32_t>(bytes_.size() - dataStart);
    bytes_.replace(mark.sizeOffset, 4, Le32(size));
    if (size % 2 == 1) bytes_.push_back('\0');
}

}  // namespace wvr::riff
