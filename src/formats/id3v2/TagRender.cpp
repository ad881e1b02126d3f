#include "formats/id3v2/TagRender.h"

#include "formats/id3v2/FieldFrames.h"
#include "formats/id3v2/FrameData.h"
#include "formats/id3v2/TextCodec.h"
#include "platform/base/Cp932.h"

namespace wvr::id3v2 {
namespace {

void AppendFrameHeader(std::string& out, std::string_view id, size_t dataSize, int major, uint16_t flags = 0) {
    out += id;
    char size[4];
    if (major == 2) {
        for (int i = 0; i < 3; ++i) out += static_cast<char>(dataSize >> (16 - 8 * i) & 0xFF);
        return;
    }
    if (major == 4) {
        WriteSynchsafe(static_cast<uint32_t>(dataSize), size);
    } else {
        for (int i = 0; i < 4; ++i) size[i] = static_cast<char>(dataSize >> (24 - 8 * i) & 0xFF);
    }
    out.append(size, 4);
    out += static_cast<char>(flags >> 8);
    out += static_cast<char>(flags & 0xFF);
}

// The largest size each version's header can declare.
uint64_t MaxBodyBytes(int major) { return major == 2 ? 0xFFFFFF : 0x0FFFFFFF; }

}  // namespace

std::string RenderFieldFrame(int field, std::string_view cp932, int major) {
    const std::string utf8 = cp932::ToUtf8(cp932);
    const Encoding encoding = EncodingFor(utf8, major);
    const FieldFrame frame = FrameOfField(field, major);
    std::string data(1, static_cast<char>(encoding));
    if (!frame.description.empty()) {
        data += EncodeString(frame.description, encoding, true);
    } else if (field == kComment || field == kLyrics) {
        data += "jpn";
        data += EncodeString("", encoding, true);
    }
    data += EncodeString(utf8, encoding, false);
    std::string out;
    AppendFrameHeader(out, frame.id, data.size(), major);
    return out + data;
}

std::optional<std::string> RenderChangedTag(std::string_view plainTag, const WalkedTag& walked,
                                            const TagFields& read,
                                            const std::array<std::string, kFieldCount>& fields,
                                            std::bitset<kFieldCount> changed, size_t paddingWhenGrown) {
    if (!RewritableWalk(plainTag, walked)) return std::nullopt;
    const TagHeader& old = walked.header;
    const auto& frames = walked.walk.frames;
    // Each frame kept as it is, a changed field's frame replaced where it stood (or left out
    // when the field was emptied), new fields' frames after the last.
    std::vector<std::string> replacement(frames.size());
    std::vector<bool> dropped(frames.size(), false);
    std::string appended;
    for (int f = 0; f < kFieldCount; ++f) {
        if (!changed[f]) continue;
        const int at = read.frameOf[f];
        if (fields[f].empty()) {
            if (at >= 0) dropped[at] = true;
            continue;
        }
        std::string frame = RenderFieldFrame(f, fields[f], old.major);
        if (at >= 0) replacement[at] = std::move(frame);
        else appended += frame;
    }
    // In 2.4 the tag's unsynchronisation flag stood for every frame: the frames kept say so
    // themselves once the tag no longer does.
    const bool markFrames = old.major == 4 && old.Unsynchronised();
    std::string body;
    body.reserve(walked.bodyEnd);
    for (size_t i = 0; i < frames.size(); ++i) {
        if (dropped[i]) continue;
        if (!replacement[i].empty()) {
            body += replacement[i];
            continue;
        }
        const size_t start = body.size();
        body += plainTag.substr(frames[i].offset, frames[i].size);
        if (markFrames) body[start + 9] = static_cast<char>(body[start + 9] | kUnsynchronised24);
    }
    body += appended;

    TagHeader header = old;
    header.flags &= static_cast<uint8_t>(~(kUnsynchronisedTag | kExtendedHeader));
    if (!old.footer) header.flags &= static_cast<uint8_t>(~kFooterFlag);
    const uint64_t oldBody = walked.bodyEnd - kHeaderBytes;
    // A tag with a footer has no padding; others fill the old size when the frames fit.
    if (!header.footer) body.resize(body.size() <= oldBody ? oldBody : body.size() + paddingWhenGrown, '\0');
    if (body.size() > MaxBodyBytes(header.major)) return std::nullopt;
    header.bodySize = static_cast<uint32_t>(body.size());
    std::string tag = RenderTagHeader(header) + body;
    if (header.footer) tag += RenderFooter(header);
    return tag;
}

std::string RenderNewTag(int major, const std::array<std::string, kFieldCount>& fields, int track, size_t padding) {
    TagHeader header;
    header.major = major == 4 ? 4 : 3;
    std::string body;
    for (int f = 0; f < kFieldCount; ++f)
        if (!fields[f].empty()) body += RenderFieldFrame(f, fields[f], header.major);
    if (track > 0) {
        const std::string number = std::string(1, '\0') + std::to_string(track);
        AppendFrameHeader(body, "TRCK", number.size(), header.major);
        body += number;
    }
    body.resize(body.size() + padding, '\0');
    header.bodySize = static_cast<uint32_t>(body.size());
    return RenderTagHeader(header) + body;
}

}  // namespace wvr::id3v2
