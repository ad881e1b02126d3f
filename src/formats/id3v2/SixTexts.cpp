#include "formats/id3v2/SixTexts.h"

#include <algorithm>

#include "formats/SjisText.h"
#include "formats/id3v2/FrameData.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "formats/id3v2/TextCodec.h"
#include "platform/base/Cp932.h"

namespace wvr::id3v2 {

std::array<std::string, 6> ReadSixTexts(TagWindow& tag, const WalkedTag& walked) {
    static constexpr std::string_view kIds23[] = {"TIT2", "TPE1", "TALB", "COMM", "TYER", "TCON"};
    static constexpr std::string_view kIds22[] = {"TT2", "TP1", "TAL", "COM", "TYE", "TCO"};
    const int major = walked.header.major;
    std::array<std::string, 6> texts;
    for (size_t k = 0; k < texts.size(); ++k) {
        const uint32_t id = PackedId(major == 2 ? kIds22[k] : kIds23[k]);
        for (const FrameSpan& frame : walked.walk.frames) {
            if (frame.id != id) continue;
            std::string decoded;
            const auto data = FrameDataIn(tag, frame, walked.header, decoded);
            if (!data) continue;  // encrypted, or compressed data that does not inflate
            std::string_view strings = *data;
            if (strings.empty()) break;
            const auto encoding = static_cast<uint8_t>(strings[0]);
            if (encoding > kUtf8) continue;  // a frame that names no encoding is no frame
            strings.remove_prefix(1);
            const bool comment = k == 3;
            if (comment) {
                // Language, then the description and its terminator: the text follows.
                if (strings.size() < 3) break;
                StringReader description(strings.substr(3), Encoding(encoding));
                description.Next();
                strings = description.Rest();
            }
            std::string text;
            if (encoding == kLatin1) {
                text = std::string(strings.substr(0, strings.find('\0')));
            } else {
                const auto decoded = DecodeStrings(strings, Encoding(encoding), 1);
                text = cp932::FromUtf8(decoded.empty() ? std::string() : decoded[0]);
            }
            texts[k] = std::string(sjis::WholeCharsWithin(text, kMaxSixTextBytes));
            break;
        }
    }
    return texts;
}

std::array<std::string, 6> ReadSixTexts(std::string_view fileStart) {
    const auto header = ParseTagHeader(fileStart);
    if (!header || header->major > 3) return {};  // the plain listing knows 2.2 and 2.3
    const uint64_t length = std::min<uint64_t>(
        {kHeaderBytes + uint64_t{header->bodySize}, kHeaderBytes + kMaxTagBytes, fileStart.size()});
    const std::string plain = PlainTagBytes(fileStart.substr(0, static_cast<size_t>(length)), *header);
    TagBytesWindow window(plain);
    return ReadSixTexts(window, WalkTag(window, *header, plain.size()));
}

std::array<std::string, 6> ReadSixTexts(fs::File& file) {
    char head[kHeaderBytes];
    if (!file.ReadExact(0, head, sizeof head)) return {};
    const auto header = ParseTagHeader({head, sizeof head});
    if (!header) return {};
    const uint64_t length = std::min<uint64_t>(
        {kHeaderBytes + uint64_t{header->bodySize}, kHeaderBytes + kMaxTagBytes, file.SizeAtOpen()});
    ReadBytes tag;
    return ReadSixTexts(ReadInto(file, 0, static_cast<size_t>(length), tag));
}

}  // namespace wvr::id3v2
