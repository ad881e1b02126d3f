#include "formats/id3v2/FieldFrames.h"

#include <algorithm>
#include <array>

#include "formats/TrackInfo.h"
#include "formats/id3v2/FrameWalk.h"

namespace wvr::id3v2 {
namespace {

// By field: the 2.3 frame, the 2.2 frame; the user text description where there is one.
struct FieldRow {
    std::string_view id23, id22, description;
};
constexpr FieldRow kFields[kFieldCount] = {
    {"TIT2", "TT2", ""},     {"TPE1", "TP1", ""},     {"TALB", "TAL", ""},     {"COMM", "COM", ""},
    {"TYER", "TYE", ""},     {"TCON", "TCO", ""},     {"TCOP", "TCR", ""},     {"TXXX", "TXX", "IENG"},
    {"TXXX", "TXX", "ISRC"}, {"TSSE", "TSS", ""},     {"TXXX", "TXX", "IKEY"}, {"TXXX", "TXX", "ITCH"},
    {"USLT", "ULT", ""},     {"TXXX", "TXX", "ICMS"}, {"TMED", "TMT", ""},     {"TXXX", "TXX", "ISBJ"},
    {"TXXX", "TXX", "IMP3"},
};

constexpr uint32_t kTyer = PackedId("TYER"), kTdrc = PackedId("TDRC");

std::string_view IdOf(const FieldRow& row, int major) { return major == 2 ? row.id22 : row.id23; }

// The field frames' ids, packed, by field: every frame of every listed tag is looked up.
const std::array<uint32_t, kFieldCount>& PackedIds(int major) {
    static const auto kPacked = [] {
        std::array<std::array<uint32_t, kFieldCount>, 2> packed{};
        for (int f = 0; f < kFieldCount; ++f) {
            packed[0][f] = PackedId(kFields[f].id22);
            packed[1][f] = PackedId(kFields[f].id23);
        }
        return packed;
    }();
    return kPacked[major == 2 ? 0 : 1];
}

}  // namespace

FieldFrame FrameOfField(int field, int major) {
    const FieldRow& row = kFields[field];
    if (field == kDate && major == 4) return {"TDRC", ""};
    return {IdOf(row, major), row.description};
}

int FieldOfFrame(uint32_t packedId, std::string_view description, int major) {
    if (major > 2 && (packedId == kTyer || packedId == kTdrc)) return kDate;
    const auto& ids = PackedIds(major);
    for (int f = 0; f < kFieldCount; ++f) {
        if (ids[f] != packedId) continue;
        if (kFields[f].description.empty() || kFields[f].description == description) return f;
    }
    return -1;
}

bool MayHoldField(uint32_t packedId, int major) {
    const auto& ids = PackedIds(major);
    return packedId != 0 && (std::find(ids.begin(), ids.end(), packedId) != ids.end() ||
                             (major > 2 && (packedId == kTyer || packedId == kTdrc)));
}

FrameShape ShapeOf(uint32_t packedId, int major) {
    const auto is = [&](int field) { return PackedIds(major)[field] == packedId; };
    if (is(kComment) || is(kLyrics)) return FrameShape::Described;
    if (is(kEngineer)) return FrameShape::UserText;
    return FrameShape::Text;
}

}  // namespace wvr::id3v2
