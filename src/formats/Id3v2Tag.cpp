#include "formats/Id3v2Tag.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2synchdata.h>
#include <taglib/id3v2tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "formats/Id3v2FrameText.h"
#include "formats/SjisText.h"
#include "platform/base/Cp932.h"

namespace wvr::id3v2 {
namespace {

using TagLib::ByteVector;
using TagLib::String;
using TagLib::ID3v2::Frame;

constexpr uint8_t kUnsynchronisation = 0x80;
constexpr uint8_t kExtendedHeader = 0x40;  // 2.2: compression, which no reader knows

uint32_t SynchSafe(const uint8_t* p) { return uint32_t{p[0]} << 21 | p[1] << 14 | p[2] << 7 | p[3]; }
uint32_t BigEndian(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | p[i];
    return v;
}

// The frame of each field: the six texts of every tag, then the frames that hold the same
// thing where ID3v2 has one, and TXXX frames named after the RIFF INFO id for the rest, so that
// every field of a row goes into the tag and comes back.
constexpr FieldFrame kFieldFrames[kFieldCount] = {
    {"TIT2", nullptr}, {"TPE1", nullptr}, {"TALB", nullptr}, {"COMM", nullptr}, {"TDRC", nullptr},
    {"TCON", nullptr}, {"TCOP", nullptr}, {"TXXX", "IENG"},  {"TXXX", "ISRC"},  {"TSSE", nullptr},
    {"TXXX", "IKEY"},  {"TXXX", "ITCH"},  {"USLT", nullptr}, {"TXXX", "ICMS"},  {"TMED", nullptr},
    {"TXXX", "ISBJ"},  {"TXXX", "IMP3"},
};

bool IsFrameIdByte(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::string_view Bytes(const ByteVector& v) { return {v.data(), v.size()}; }

// The field a frame fills, or -1. A comment or lyrics frame with a description (a player's own
// data) fills its field only when no frame without one does.
struct FieldMatch {
    int field = -1;
    bool described = false;
};
FieldMatch FieldOfFrame(const FrameText& frame) {
    for (int f = 0; f < kFieldCount; ++f) {
        const FieldFrame& want = kFieldFrames[f];
        const bool sameId = frame.id == want.id || (f == kDate && frame.id == "TYER");
        if (!sameId) continue;
        if (want.description) {
            if (frame.description == want.description) return {f, false};
            continue;
        }
        return {f, (f == kComment || f == kLyrics) && !frame.description.empty()};
    }
    return {};
}

// Genre numbers, "(17)" or a bare "17", read as the genre's name.
// Only ASCII texts are numbers, so the stored bytes of a Latin-1 frame serve as well as UTF-8.
std::string GenreText(const std::string& plain, const GenreTable& genres) {
    size_t start = 0, end = plain.size();
    if (!plain.empty() && plain[0] == '(' && plain.find(')') != std::string::npos) {
        const size_t close = plain.find(')');
        if (close + 1 < plain.size()) return {};  // "(17)Rock": the refinement is the text
        start = 1;
        end = close;
    }
    if (start == end || end - start > 3) return {};
    for (size_t i = start; i < end; ++i)
        if (plain[i] < '0' || plain[i] > '9') return {};
    GenreLookup name = genres.GenreName(std::stoi(plain.substr(start, end - start)));
    return name.found ? name.name : std::string();
}

struct FieldText {
    std::string cp932;
    bool lossy = false;
    bool shiftJis = false;  // Shift-JIS bytes in a frame marked Latin-1
};

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (b < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | b >> 6);
            utf8 += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return utf8;
}

FieldText ToFieldText(const FrameText& frame, int field, const GenreTable& genres) {
    FieldText out;
    // Old Japanese taggers stored Shift-JIS in frames marked Latin-1.
    const bool eightBit = std::any_of(frame.text.begin(), frame.text.end(), [](char c) { return c & 0x80; });
    if (frame.latin1 && eightBit && cp932::ToUtf8Exact(frame.text)) {
        out.cp932 = frame.text;
        out.shiftJis = true;
    } else {
        const bool widen = frame.latin1 && eightBit;
        const std::string converted = widen ? Latin1ToUtf8(frame.text) : std::string();
        const std::string_view utf8 = widen ? converted : frame.text;
        auto exact = cp932::FromUtf8Exact(utf8);
        out.cp932 = exact ? *exact : cp932::FromUtf8(utf8);
        out.lossy = !exact;
    }
    if (field == kGenre) {
        std::string name = GenreText(frame.text, genres);
        if (!name.empty()) out.cp932 = name;
    }
    if (out.cp932.size() > kMaxEditFieldBytes) {
        out.cp932.resize(sjis::WholeCharsWithin(out.cp932, kMaxEditFieldBytes).size());
        out.lossy = true;
    }
    return out;
}

// Walks the frames from `pos` to `end`: each frame whole, until the padding (a zero byte where a
// frame id would begin) or the end.
void WalkFrames(std::string_view tag, uint64_t pos, uint64_t end, int major, TagTexts& out) {
    const size_t header = FrameHeaderSize(major);
    while (pos + header <= end) {
        if (tag[pos] == 0) {
            // Padding: zero bytes only, else something this program does not understand.
            out.framesEnd = pos;
            out.walkComplete = std::all_of(tag.begin() + pos, tag.begin() + end, [](char c) { return c == 0; });
            return;
        }
        const auto size = FrameSizeAt(tag.substr(pos, header), major);
        if (!size || pos + *size > end) return;
        out.frames.push_back({pos, *size});
        pos += *size;
    }
    out.framesEnd = pos;
    out.walkComplete = std::all_of(tag.begin() + pos, tag.begin() + end, [](char c) { return c == 0; });
}

// Fills the fields from the frames' texts, in tag order: for each field the first frame, a
// described comment or lyrics frame giving way to an undescribed one.
template <typename TextAt>
void MapFields(size_t count, TextAt textAt, const GenreTable& genres, TagTexts& out) {
    std::bitset<kFieldCount> described;
    for (size_t i = 0; i < count; ++i) {
        const std::optional<FrameText> text = textAt(i);
        if (!text) continue;
        const FieldMatch match = FieldOfFrame(*text);
        if (match.field < 0) continue;
        const int f = match.field;
        if (out.frameOf[f] >= 0 && !(described[f] && !match.described)) continue;
        FieldText field = ToFieldText(*text, f, genres);
        out.fields[f] = std::move(field.cp932);
        out.lossy[f] = field.lossy;
        out.shiftJisInLatin1[f] = field.shiftJis;
        out.frameOf[f] = static_cast<int>(i);
        described[f] = match.described;
    }
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return !(c & 0x80); });
}

// The text encoding of a new frame: plain ASCII as ISO-8859-1, anything else as UTF-16 with a
// byte order mark (2.3) or UTF-8 (2.4).
String::Type EncodingFor(std::string_view cp932, int major) {
    if (IsAscii(cp932)) return String::Latin1;
    return major == 4 ? String::UTF8 : String::UTF16;
}

// A new frame for a field of the row, in TagLib's 2.4 form.
std::unique_ptr<Frame> NewFrame(int field, const std::string& cp932, int major) {
    const String text(cp932::ToUtf8(cp932), String::UTF8);
    const String::Type encoding = EncodingFor(cp932, major);
    const FieldFrame& want = kFieldFrames[field];
    if (want.description) {
        return std::make_unique<TagLib::ID3v2::UserTextIdentificationFrame>(String(want.description),
                                                                              TagLib::StringList(text), encoding);
    }
    if (field == kComment) {
        auto frame = std::make_unique<TagLib::ID3v2::CommentsFrame>(encoding);
        frame->setLanguage("jpn");
        frame->setText(text);
        return frame;
    }
    if (field == kLyrics) {
        auto frame = std::make_unique<TagLib::ID3v2::UnsynchronizedLyricsFrame>(encoding);
        frame->setLanguage("jpn");
        frame->setText(text);
        return frame;
    }
    auto frame = std::make_unique<TagLib::ID3v2::TextIdentificationFrame>(ByteVector(want.id), encoding);
    frame->setText(text);
    return frame;
}

// The bytes of a new frame in a tag of `major` version 3 or 4: TagLib renders the frame's
// contents; its header is ours, since 2.3 counts the size in plain bytes and names the year TYER.
std::string RenderFrame(int field, const std::string& cp932, int major) {
    const ByteVector rendered = NewFrame(field, cp932, major)->render();
    const std::string_view data = Bytes(rendered).substr(Frame::headerSize());
    std::string frame = FrameOfField(field, major).id;
    const auto size = static_cast<uint32_t>(data.size());
    for (int shift : {24, 16, 8, 0})
        frame += static_cast<char>(major == 3 ? size >> shift & 0xFF : size >> (shift / 8 * 7) & 0x7F);
    frame += std::string(2, '\0');  // no flags
    frame += data;
    return frame;
}

std::string HeaderBytes(const TagLayout& layout, uint8_t flags, uint64_t bodySize) {
    const auto size = static_cast<uint32_t>(bodySize);
    std::string h = "ID3";
    h += static_cast<char>(layout.major);
    h += '\0';
    h += static_cast<char>(flags);
    for (int shift : {21, 14, 7, 0}) h += static_cast<char>(size >> shift & 0x7F);
    return h;
}

// TagLib's tag reader over bytes in memory: it wants a file to read from.
class TagBytes : public TagLib::File {
public:
    explicit TagBytes(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

// A 2.2 tag, whose frame headers 2.3 cannot hold: TagLib renders the whole tag as 2.3.
std::optional<std::string> RenderFromVersion2(std::string_view oldTag, const TagTexts& read,
                                              const std::array<std::string, kFieldCount>& fields,
                                              std::bitset<kFieldCount> changed) {
    TagLib::ByteVectorStream stream(ByteVector(oldTag.data(), static_cast<unsigned>(oldTag.size())));
    TagBytes file(&stream);
    TagLib::ID3v2::Tag tag(&file, 0);
    // The pointers, not a copy of TagLib's list: a copy would delete the frames a second time.
    std::vector<Frame*> list(tag.frameList().begin(), tag.frameList().end());
    TagTexts mapped;
    mapped.frameOf.fill(-1);
    MapFields(list.size(), [&](size_t i) { return TextOfParsedFrame(*list[i]); }, GenreTable{}, mapped);
    (void)read;
    for (int f = 0; f < kFieldCount; ++f) {
        if (!changed[f]) continue;
        if (mapped.frameOf[f] >= 0) tag.removeFrame(list[mapped.frameOf[f]], true);
        if (!fields[f].empty()) tag.addFrame(NewFrame(f, fields[f], 3).release());
    }
    const ByteVector bytes = tag.render(TagLib::ID3v2::v3);
    return std::string(bytes.data(), bytes.size());
}

}  // namespace

std::optional<TagLayout> ParseLayout(std::string_view head) {
    if (head.size() < kTagHeaderBytes || head.substr(0, 3) != "ID3") return std::nullopt;
    const auto* p = reinterpret_cast<const uint8_t*>(head.data());
    if (p[3] < 2 || p[3] > 4 || p[4] == 0xFF) return std::nullopt;
    if ((p[6] | p[7] | p[8] | p[9]) & 0x80) return std::nullopt;
    TagLayout layout;
    layout.major = p[3];
    layout.flags = p[5];
    layout.size = kTagHeaderBytes + SynchSafe(p + 6) + (layout.HasFooter() ? kTagHeaderBytes : 0);
    return layout;
}

std::optional<uint64_t> FrameSizeAt(std::string_view header, int major) {
    if (header.size() < FrameHeaderSize(major)) return std::nullopt;
    const auto* p = reinterpret_cast<const uint8_t*>(header.data());
    const size_t idBytes = major == 2 ? 3 : 4;
    for (size_t i = 0; i < idBytes; ++i)
        if (!IsFrameIdByte(p[i])) return std::nullopt;
    uint64_t size = major == 2 ? BigEndian(p + 3, 3) : BigEndian(p + 4, 4);
    // 2.4 sizes are synchsafe; some writers put plain numbers there.
    if (major == 4 && !((p[4] | p[5] | p[6] | p[7]) & 0x80)) size = SynchSafe(p + 4);
    if (size == 0) return std::nullopt;
    return FrameHeaderSize(major) + size;
}

FieldFrame FrameOfField(int field, int major) {
    if (field == kDate && major < 4) return {"TYER", nullptr};
    return kFieldFrames[field];
}

bool SameAsRead(const std::string& rowText, const std::string& readText) { return rowText == sjis::Trim(readText); }

TagTexts ReadTagTexts(std::string_view tag, const GenreTable& genres) {
    TagTexts out;
    out.frameOf.fill(-1);
    auto layout = ParseLayout(tag);
    if (!layout) return out;
    out.layout = *layout;
    const bool wholeTag = tag.size() >= layout->size;
    uint64_t end = std::min<uint64_t>(tag.size(), layout->size - (layout->HasFooter() ? kTagHeaderBytes : 0));
    uint64_t pos = kTagHeaderBytes;

    std::string decoded;
    std::string_view body = tag;
    if (layout->major == 2 && (layout->flags & (kUnsynchronisation | kExtendedHeader))) {
        return out;  // 2.2 compression has no defined form
    }
    if (layout->major == 3 && (layout->flags & kUnsynchronisation)) {
        // The whole 2.3 tag was unsynchronised; the frames are read from its decoded bytes.
        const ByteVector plain = TagLib::ID3v2::SynchData::decode(
            ByteVector(tag.data() + pos, static_cast<unsigned>(end - pos)));
        decoded = std::string(tag.substr(0, pos)) + std::string(Bytes(plain));
        body = decoded;
        end = decoded.size();
    }
    if (layout->major >= 3 && (layout->flags & kExtendedHeader) && end >= pos + 4) {
        const auto* p = reinterpret_cast<const uint8_t*>(body.data() + pos);
        pos += layout->major == 3 ? 4 + BigEndian(p, 4) : SynchSafe(p);
        if (pos > end) return out;
    }
    WalkFrames(body, pos, end, layout->major, out);
    out.walkComplete = out.walkComplete && wholeTag;

    MapFields(
        out.frames.size(),
        [&](size_t i) { return ReadFrameText(body.substr(out.frames[i].offset, out.frames[i].size), layout->major); },
        genres, out);
    return out;
}

std::optional<std::string> RenderChangedTag(std::string_view oldTag, const TagTexts& read,
                                            const std::array<std::string, kFieldCount>& fields,
                                            std::bitset<kFieldCount> changed, size_t paddingWhenGrown) {
    const TagLayout& layout = read.layout;
    if (!read.walkComplete || oldTag.size() < layout.size) return std::nullopt;
    if (layout.major == 2) return RenderFromVersion2(oldTag, read, fields, changed);
    if (layout.flags & (kUnsynchronisation | kExtendedHeader)) return std::nullopt;

    // Each frame kept as it is, a changed field's frame replaced where it stood (or left out
    // when the field was emptied), new fields' frames after the last.
    std::vector<std::string> replacement(read.frames.size());
    std::vector<bool> dropped(read.frames.size(), false);
    std::string appended;
    for (int f = 0; f < kFieldCount; ++f) {
        if (!changed[f]) continue;
        const int at = read.frameOf[f];
        if (fields[f].empty()) {
            if (at >= 0) dropped[at] = true;
            continue;
        }
        std::string frame = RenderFrame(f, fields[f], layout.major);
        if (at >= 0) replacement[at] = std::move(frame);
        else appended += frame;
    }
    std::string body;
    for (size_t i = 0; i < read.frames.size(); ++i) {
        if (dropped[i]) continue;
        if (!replacement[i].empty()) body += replacement[i];
        else body += oldTag.substr(read.frames[i].offset, read.frames[i].size);
    }
    body += appended;

    const bool footer = layout.HasFooter();
    const uint64_t oldBody = layout.size - kTagHeaderBytes - (footer ? kTagHeaderBytes : 0);
    // A tag with a footer has no padding; others fill the old size when the frames fit.
    if (!footer) {
        const uint64_t padded = body.size() <= oldBody ? oldBody : body.size() + paddingWhenGrown;
        body.resize(padded, '\0');
    }
    if (body.size() > 0x0FFFFFFF) return std::nullopt;
    std::string tag = HeaderBytes(layout, layout.flags, body.size()) + body;
    if (footer) {
        std::string foot = tag.substr(0, kTagHeaderBytes);
        foot.replace(0, 3, "3DI");
        tag += foot;
    }
    return tag;
}

std::string RenderNewTag(int major, const std::array<std::string, kFieldCount>& fields, size_t padding) {
    TagLayout layout;
    layout.major = major == 4 ? 4 : 3;
    std::string body;
    for (int f = 0; f < kFieldCount; ++f)
        if (!fields[f].empty()) body += RenderFrame(f, fields[f], layout.major);
    body.resize(body.size() + padding, '\0');
    return HeaderBytes(layout, 0, body.size()) + body;
}

std::optional<uint64_t> FindFrameSync(std::string_view bytes, uint64_t from) {
    for (uint64_t i = from; i + 1 < bytes.size(); ++i) {
        if (static_cast<uint8_t>(bytes[i]) == 0xFF && static_cast<uint8_t>(bytes[i + 1]) > 0xF0) return i;
    }
    return std::nullopt;
}

}  // namespace wvr::id3v2
