#include "formats/id3v2/FrameData.h"

#include <array>
#include <zlib.h>

namespace wvr::id3v2 {
namespace {

// The declared inflated size is not trusted: the output is bounded by kMaxTagBytes instead,
// and a stream that does not end properly gives nothing.
std::optional<std::string> Inflate(std::string_view data) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    std::string out;
    std::array<char, 16384> chunk;
    int result;
    do {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk.data(), chunk.size() - stream.avail_out);
        if (out.size() > kMaxTagBytes) result = Z_MEM_ERROR;
    } while (result == Z_OK);
    inflateEnd(&stream);
    if (result != Z_STREAM_END) return std::nullopt;
    return out;
}

std::optional<std::string> Data23(std::string_view data, uint8_t format) {
    size_t skip = 0;
    if (format & kCompressed23) skip += 4;  // the inflated size, not trusted
    if (format & kEncrypted23) return std::nullopt;
    if (format & kGrouped23) skip += 1;
    if (skip > data.size()) return std::nullopt;
    data.remove_prefix(skip);
    if (format & kCompressed23) return Inflate(data);
    return std::string(data);
}

std::optional<std::string> Data24(std::string_view data, uint8_t format, bool tagUnsynchronised) {
    size_t skip = 0;
    if (format & kGrouped24) skip += 1;
    if (format & kEncrypted24) return std::nullopt;
    if (format & kDataLength24) skip += 4;
    if (skip > data.size()) return std::nullopt;
    data.remove_prefix(skip);
    std::string plain = (format & kUnsynchronised24) || tagUnsynchronised ? Resynchronise(data) : std::string(data);
    if (format & kCompressed24) return Inflate(plain);
    return plain;
}

}  // namespace

std::string Resynchronise(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (bytes[i] == '\xFF' && i + 1 < bytes.size() && bytes[i + 1] == '\0') ++i;
    }
    return out;
}

bool IsPlainFrame(const FrameSpan& frame, const TagHeader& header) {
    if (header.major == 2) return true;
    if (header.major == 4 && header.Unsynchronised()) return false;
    return (frame.flags & 0xFF) == 0;
}

std::optional<std::string> FrameData(std::string_view bytes, const FrameSpan& frame, const TagHeader& header) {
    const size_t headerBytes = FrameHeaderBytes(header.major);
    if (frame.offset + frame.size > bytes.size()) return std::nullopt;
    const std::string_view data = bytes.substr(frame.offset + headerBytes, frame.size - headerBytes);
    const auto format = static_cast<uint8_t>(frame.flags & 0xFF);
    switch (header.major) {
    case 2: return std::string(data);
    case 3: return Data23(data, format);
    default: return Data24(data, format, header.Unsynchronised());
    }
}

std::optional<std::string_view> FrameDataIn(TagWindow& tag, const FrameSpan& frame, const TagHeader& header,
                                       std::string& decoded) {
    const std::string_view bytes = tag.At(frame.offset, frame.size);
    if (bytes.size() < frame.size) return std::nullopt;
    if (IsPlainFrame(frame, header)) return bytes.substr(FrameHeaderBytes(header.major));
    FrameSpan local = frame;
    local.offset = 0;
    auto data = FrameData(bytes, local, header);
    if (!data) return std::nullopt;
    decoded = std::move(*data);
    return std::string_view(decoded);
}

}  // namespace wvr::id3v2
