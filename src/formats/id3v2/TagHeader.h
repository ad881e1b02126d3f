// The ten bytes that open an ID3v2 tag (and, in 2.4, may close it as a footer): "ID3", the
// major version and revision, the flags and the synchsafe size of everything after the header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wvr::id3v2 {

inline constexpr size_t kHeaderBytes = 10;
// A tag, or an inflated frame, is read up to this many bytes: no text field comes near it,
// and a hostile size must not decide how much memory a listing takes.
inline constexpr uint64_t kMaxTagBytes = uint64_t{16} << 20;

// Tag flags. In 2.2 the extended-header bit means a compressed tag, which no reader knows.
inline constexpr uint8_t kUnsynchronisedTag = 0x80;
inline constexpr uint8_t kExtendedHeader = 0x40;
inline constexpr uint8_t kFooterFlag = 0x10;

uint32_t ReadSynchsafe(const uint8_t* p);
void WriteSynchsafe(uint32_t value, char* out);
uint32_t ReadBigEndian(const uint8_t* p, int bytes);

struct TagHeader {
    int major = 0;  // 2, 3 or 4
    uint8_t revision = 0;
    uint8_t flags = 0;
    uint32_t bodySize = 0;  // bytes between the header and the footer (or the end)
    bool footer = false;    // a footer stands after the body; only where its "3DI" was seen

    // The whole tag in the file: header, body, footer.
    uint64_t TagSize() const { return kHeaderBytes + bodySize + (footer ? kHeaderBytes : 0); }
    bool Unsynchronised() const { return flags & kUnsynchronisedTag; }
    bool ExtendedHeaderFlag() const { return major >= 3 && (flags & kExtendedHeader); }
    bool FooterFlag() const { return major == 4 && (flags & kFooterFlag); }
    bool operator==(const TagHeader&) const = default;
};

// The header at the start of `head` (at least ten bytes): "ID3", major version 2 to 4, a
// revision that is not 0xFF and a size whose four bytes each keep their top bit clear.
// `footer` is left false: only the bytes where the footer would stand can tell (HasFooterAt).
std::optional<TagHeader> ParseTagHeader(std::string_view head);

// Whether the ten bytes `at` (read at header.bodySize + 10) are the footer the flag announces.
bool HasFooterAt(const TagHeader& header, std::string_view at);

// The header bytes; RenderFooter the same with "3DI".
std::string RenderTagHeader(const TagHeader& header);
std::string RenderFooter(const TagHeader& header);

}  // namespace wvr::id3v2
