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
            if (auto data = FrameDataIn(tag, frames[i], walked.header, decoded)) out.track = TrackNumber(*data);
            continue;
        }
        if (!MayHoldField(frames[i].id, major)) continue;
        const auto data = FrameDataIn(tag, frames[i], walked.header, decoded);
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

bool RewritableWalk(std::string_view plainTag, const WalkedTag& walked) {
    if (!walked.framesStart || !walked.walk.framesWhole) return false;
    if (plainTag.size() < walked.bodyEnd) return false;
    const std::string_view padding = plainTag.substr(walked.walk.framesEnd, walked.bodyEnd - walked.walk.framesEnd);
    return std::all_of(padding.begin(), padding.end(), [](char c) { return c == 0; });
}

}  // namespace wvr::id3v2
