#include "formats/id3v2/Tag.h"

#include <algorithm>

#include "formats/SjisText.h"
#include "formats/id3v2/FieldFrames.h"
#include "formats/id3v2/FrameData.h"
#include "formats/id3v2/TextCodec.h"
#include "platform/base/Cp932.h"

namespace wvr::id3v2 {
namespace {

constexpr uint32_t kTrck = PackedId("TRCK");

// What one frame says for a field.
struct FrameText {
    int field = -1;
    bool described = false;  // a comment or lyrics frame with a description: a player's own data
    bool latin1 = false;     // `text` holds the frame's raw bytes
    std::string text;        // values joined by "/"; UTF-8 unless latin1
};

// The values left in `reader`, joined by "/"; empty values are none.
void JoinValues(StringReader& reader, std::string& out) {
    while (!reader.AtEnd()) {
        const size_t mark = out.size();
        if (!out.empty()) out += '/';
        const size_t start = out.size();
        reader.AppendNext(out);
        if (out.size() == start) out.resize(mark);
    }
}

std::optional<FrameText> DecodeFieldFrame(std::string_view data, uint32_t id, int major) {
    FrameText out;
    if (data.empty()) return std::nullopt;
    const auto encoding = static_cast<uint8_t>(data[0]);
    if (encoding > kUtf8) return std::nullopt;  // names no encoding: no text to read
    out.latin1 = encoding == kLatin1;
    std::string description;
    switch (ShapeOf(id, major)) {
    case FrameShape::Text: {
        StringReader reader(data.substr(1), Encoding(encoding));
        JoinValues(reader, out.text);
        break;
    }
    case FrameShape::UserText: {
        StringReader reader(data.substr(1), Encoding(encoding));
        if (reader.AtEnd()) return std::nullopt;
        description = reader.Next();
        JoinValues(reader, out.text);
        break;
    }
    case FrameShape::Described: {
        if (data.size() < 4) return std::nullopt;
        StringReader reader(data.substr(4), Encoding(encoding));
        description = reader.Next();
        if (reader.AtEnd()) return std::nullopt;  // no description ended: no text either
        reader.AppendNext(out.text);
        out.described = !description.empty();
        break;
    }
    }
    out.field = FieldOfFrame(id, description, major);
    if (out.field < 0) return std::nullopt;
    return out;
}

// Genre numbers, "(17)" or a bare "17", read as the genre's name; "(17)Rock" is its
// refinement "Rock"; "((" opens a text that begins with "(". Values are joined by "/".
std::string GenreText(const std::string& stored, const GenreTable& genres) {
    auto name = [&](std::string_view digits) -> std::optional<std::string> {
        if (digits.empty() || digits.size() > 3 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        GenreLookup found = genres.GenreName(std::stoi(std::string(digits)));
        return found.found ? std::optional(found.name) : std::nullopt;
    };
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= stored.size()) {
        const size_t end = std::min(stored.find('/', start), stored.size());
        std::string_view value = std::string_view(stored).substr(start, end - start);
        start = end + 1;
        if (auto bare = name(value)) {
            out.push_back(*bare);
            continue;
        }
        std::vector<std::string> numbered;
        while (value.starts_with('(') && !value.starts_with("((")) {
            const size_t close = value.find(')');
            if (close == std::string_view::npos) break;
            if (auto n = name(value.substr(1, close - 1))) numbered.push_back(*n);
            else if (value.substr(1, close - 1) == "RX") numbered.push_back("Remix");
            else if (value.substr(1, close - 1) == "CR") numbered.push_back("Cover");
            else break;
            value.remove_prefix(close + 1);
        }
        if (value.starts_with("((")) value.remove_prefix(1);
        if (!value.empty()) out.emplace_back(value);
        else out.insert(out.end(), numbered.begin(), numbered.end());
    }
    std::string joined;
    for (const std::string& v : out) joined += (joined.empty() ? "" : "/") + v;
    return joined;
}

uint32_t TrackNumber(std::string_view data) {
    if (data.size() < 2) return 0;
    const auto values = DecodeStrings(data.substr(1), Encoding(static_cast<uint8_t>(data[0]) & 3), 1);
    uint32_t n = 0;
    for (const char c : values.empty() ? std::string() : values[0]) {
        if (c < '0' || c > '9' || n > 9999) break;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The frame's data, taken from the window: its bytes themselves where no flag changes them,
// else decoded into `decoded`.
std::optional<std::string_view> DataOf(TagWindow& tag, const FrameSpan& frame, const TagHeader& header,
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

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return !(c & 0x80); });
}

void SetField(TagFields& out, int f, FrameText frame, bool shiftJis, const GenreTable& genres) {
    std::string cp932;
    bool lossy = false;
    out.latin1[f] = frame.latin1;
    out.shiftJisInLatin1[f] = frame.latin1 && shiftJis;
    if ((frame.latin1 && shiftJis) || IsAscii(frame.text)) {
        cp932 = std::move(frame.text);  // ASCII is the same in every encoding
    } else {
        const std::string widened = frame.latin1 ? Latin1ToUtf8(frame.text) : std::string();
        const std::string_view utf8 = frame.latin1 ? std::string_view(widened) : std::string_view(frame.text);
        auto exact = cp932::FromUtf8Exact(utf8);
        lossy = !exact;
        cp932 = exact ? std::move(*exact) : cp932::FromUtf8(utf8);
    }
    if (f == kGenre) cp932 = GenreText(cp932, genres);
    if (cp932.size() > kMaxEditFieldBytes) {
        cp932.resize(sjis::WholeCharsWithin(cp932, kMaxEditFieldBytes).size());
        lossy = true;
    }
    out.fields[f] = std::move(cp932);
    out.lossy[f] = lossy;
}

bool HasHighBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
}

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

bool NeedsResynchronising(const TagHeader& header) { return header.major < 4 && header.Unsynchronised(); }

std::string PlainTagBytes(std::string_view tag, const TagHeader& header) {
    if (!NeedsResynchronising(header)) return std::string(tag);
    const uint64_t bodyEnd = std::min<uint64_t>(tag.size(), kHeaderBytes + header.bodySize);
    return std::string(tag.substr(0, kHeaderBytes)) + Resynchronise(tag.substr(kHeaderBytes, bodyEnd - kHeaderBytes));
}

WalkedTag WalkTag(TagWindow& tag, const TagHeader& header, uint64_t available) {
    WalkedTag walked;
    walked.header = header;
    walked.bodyEnd = std::min<uint64_t>(available, kHeaderBytes + header.bodySize);
    if (header.major == 2 && (header.flags & kExtendedHeader)) return walked;  // a compressed 2.2 tag
    walked.framesStart = FramesStart(tag, header, walked.bodyEnd);
    if (walked.framesStart) walked.walk = WalkFrames(tag, header, *walked.framesStart, walked.bodyEnd);
    return walked;
}

TagFields ReadTagFields(TagWindow& tag, const WalkedTag& walked, const GenreTable& genres) {
    TagFields out;
    out.frameOf.fill(-1);
    const int major = walked.header.major;
    // For each field the first frame; a described comment or lyrics frame gives way to one
    // without a description.
    std::array<std::optional<FrameText>, kFieldCount> chosen;
    const auto& frames = walked.walk.frames;
    for (size_t i = 0; i < frames.size(); ++i) {
        std::string decoded;
        if (frames[i].id == kTrck && major > 2) {
            if (auto data = DataOf(tag, frames[i], walked.header, decoded)) out.track = TrackNumber(*data);
            continue;
        }
        if (!MayHoldField(frames[i].id, major)) continue;
        const auto data = DataOf(tag, frames[i], walked.header, decoded);
        if (!data) continue;
        auto text = DecodeFieldFrame(*data, frames[i].id, major);
        if (!text) continue;
        std::optional<FrameText>& at = chosen[text->field];
        if (at && !(at->described && !text->described)) continue;
        out.frameOf[text->field] = static_cast<int>(i);
        at = std::move(text);
    }
    std::vector<std::string_view> latin1Texts;
    for (const auto& text : chosen)
        if (text && text->latin1 && HasHighBytes(text->text)) latin1Texts.push_back(text->text);
    out.latin1Reading = GuessLatin1Texts(latin1Texts);
    const bool shiftJis = out.latin1Reading == Latin1Reading::Japanese;
    for (int f = 0; f < kFieldCount; ++f)
        if (chosen[f]) SetField(out, f, std::move(*chosen[f]), shiftJis, genres);
    return out;
}

TagFields ReadTagFields(std::string_view tag, const GenreTable& genres) {
    const auto header = ParseTagHeader(tag);
    if (!header) {
        TagFields none;
        none.frameOf.fill(-1);
        return none;
    }
    const std::string plain = PlainTagBytes(tag, *header);
    TagBytesWindow window(plain);
    return ReadTagFields(window, WalkTag(window, *header, plain.size()), genres);
}

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
            const auto data = DataOf(tag, frame, walked.header, decoded);
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
                strings.remove_prefix(3);
                const size_t width = encoding == kUtf16 ? 2 : 1;
                size_t end = 0;
                while (end + width <= strings.size() && !(strings[end] == 0 && (width == 1 || strings[end + 1] == 0)))
                    end += width;
                strings.remove_prefix(std::min(strings.size(), end + width));
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

bool RewritableWalk(std::string_view plainTag, const WalkedTag& walked) {
    if (!walked.framesStart || !walked.walk.framesWhole) return false;
    if (plainTag.size() < walked.bodyEnd) return false;
    const std::string_view padding = plainTag.substr(walked.walk.framesEnd, walked.bodyEnd - walked.walk.framesEnd);
    return std::all_of(padding.begin(), padding.end(), [](char c) { return c == 0; });
}

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
