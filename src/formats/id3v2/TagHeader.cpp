#include "formats/id3v2/TagHeader.h"

namespace wvr::id3v2 {
namespace {

std::string Render(const TagHeader& header, std::string_view mark) {
    std::string out(mark);
    out += static_cast<char>(header.major);
    out += static_cast<char>(header.revision);
    out += static_cast<char>(header.flags);
    char size[4];
    WriteSynchsafe(header.bodySize, size);
    out.append(size, 4);
    return out;
}

}  // namespace

uint32_t ReadSynchsafe(const uint8_t* p) {
    return uint32_t{p[0] & 0x7Fu} << 21 | uint32_t{p[1] & 0x7Fu} << 14 | uint32_t{p[2] & 0x7Fu} << 7 | (p[3] & 0x7Fu);
}

void WriteSynchsafe(uint32_t value, char* out) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(value >> (21 - 7 * i) & 0x7F);
}

uint32_t ReadBigEndian(const uint8_t* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

std::optional<TagHeader> ParseTagHeader(std::string_view head) {
    if (head.size() < kHeaderBytes || head.substr(0, 3) != "ID3") return std::nullopt;
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    if (p[3] < 2 || p[3] > 4 || p[4] == 0xFF) return std::nullopt;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return std::nullopt;
    TagHeader header;
    header.major = p[3];
    header.revision = p[4];
    header.flags = p[5];
    header.bodySize = ReadSynchsafe(p + 6);
    return header;
}

bool HasFooterAt(const TagHeader& header, std::string_view at) {
    if (!header.FooterFlag() || at.size() < kHeaderBytes || at.substr(0, 3) != "3DI") return false;
    const auto footer = ParseTagHeader(std::string("ID3") + std::string(at.substr(3, kHeaderBytes - 3)));
    return footer && footer->major == header.major && footer->bodySize == header.bodySize;
}

std::string RenderTagHeader(const TagHeader& header) { return Render(header, "ID3"); }
std::string RenderFooter(const TagHeader& header) { return Render(header, "3DI"); }

}  // namespace wvr::id3v2
