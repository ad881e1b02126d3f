#include "formats/Id3v2FrameText.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/textidentificationframe.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>

#include "platform/base/Utf8.h"

namespace wvr::id3v2 {
namespace {

using TagLib::String;

enum Encoding : uint8_t { kLatin1 = 0, kUtf16 = 1, kUtf16BigEndian = 2, kUtf8 = 3 };

constexpr uint32_t Packed(std::string_view id) {
    uint32_t packed = 0;
    for (const char c : id) packed = packed << 8 | static_cast<uint8_t>(c);
    return packed;
}

// The frames that may hold a field, by their stored ids, and the names TagLib reads them by:
// 2.2 ids and the 2.3 year take their 2.4 names. Ids are compared packed: every frame of every
// listed tag is looked up.
std::optional<std::string_view> FieldFrameName(std::string_view frame, int major) {
    static constexpr std::string_view kIds[] = {"TIT2", "TPE1", "TALB", "COMM", "TDRC", "TYER",
                                                "TCON", "TCOP", "TSSE", "USLT", "TMED", "TXXX"};
    static constexpr std::string_view kIds22[] = {"TT2", "TP1", "TAL", "COM", "TYE", "TCO",
                                                  "TCR", "TSS", "ULT", "TMT", "TXX"};
    static constexpr std::string_view kNames22[] = {"TIT2", "TPE1", "TALB", "COMM", "TDRC", "TCON",
                                                    "TCOP", "TSSE", "USLT", "TMED", "TXXX"};
    static constexpr auto kPacked = [] {
        std::array<uint32_t, std::size(kIds)> packed{};
        for (size_t i = 0; i < packed.size(); ++i) packed[i] = Packed(kIds[i]);
        return packed;
    }();
    static constexpr auto kPacked22 = [] {
        std::array<uint32_t, std::size(kIds22)> packed{};
        for (size_t i = 0; i < packed.size(); ++i) packed[i] = Packed(kIds22[i]);
        return packed;
    }();
    const size_t idBytes = major == 2 ? 3 : 4;
    if (frame.size() < idBytes) return std::nullopt;
    const uint32_t id = Packed(frame.substr(0, idBytes));
    if (major == 2) {
        const auto* at = std::find(kPacked22.begin(), kPacked22.end(), id);
        if (at == kPacked22.end()) return std::nullopt;
        return kNames22[at - kPacked22.begin()];
    }
    const auto* at = std::find(kPacked.begin(), kPacked.end(), id);
    if (at == kPacked.end()) return std::nullopt;
    if (id == Packed("TYER") && major == 3) return "TDRC";
    return kIds[at - kPacked.begin()];
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    }
    out += static_cast<char>(0x80 | (c & 0x3F));
}

// The bytes of one character unit of an encoding.
size_t UnitBytes(uint8_t encoding) { return encoding == kUtf16 || encoding == kUtf16BigEndian ? 2 : 1; }

// Where the next string ends: the first NUL character (two zero bytes at an even offset in
// UTF-16) at or after `from`, or npos.
size_t FindTerminator(std::string_view bytes, size_t from, size_t width) {
    for (size_t i = from; i + width <= bytes.size(); i += width)
        if (bytes[i] == 0 && (width == 1 || bytes[i + 1] == 0)) return i;
    return std::string_view::npos;
}

// One string of a frame, up to its first NUL character, as TagLib reads it; nothing where
// TagLib reads it otherwise than plainly (UTF-16 without a byte order mark or of odd length,
// a broken surrogate pair, malformed UTF-8, the codes utf8-cpp refuses).
std::optional<std::string> DecodeString(std::string_view bytes, uint8_t encoding) {
    if (encoding == kLatin1) return std::string(bytes.substr(0, bytes.find('\0')));
    if (encoding == kUtf8) {
        if (bytes.starts_with("\xEF\xBB\xBF")) return std::nullopt;
        for (size_t i = 0; i < bytes.size();) {
            const char32_t c = utf8::Next(bytes, i);
            if (c == utf8::kInvalid || c == 0xFFFE || c == 0xFFFF) return std::nullopt;
        }
        return std::string(bytes.substr(0, bytes.find('\0')));
    }
    if (bytes.empty()) return std::string();
    if (bytes.size() % 2) return std::nullopt;
    bool bigEndian = encoding == kUtf16BigEndian;
    if (encoding == kUtf16) {
        if (bytes.starts_with("\xFF\xFE")) bigEndian = false;
        else if (bytes.starts_with("\xFE\xFF")) bigEndian = true;
        else return std::nullopt;
        bytes.remove_prefix(2);
    }
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    auto unit = [&](size_t i) -> char32_t { return bigEndian ? p[i] << 8 | p[i + 1] : p[i + 1] << 8 | p[i]; };
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c == 0) break;
        if (c >= 0xD800 && c < 0xDC00) {
            const char32_t low = i + 2 < bytes.size() ? unit(i + 2) : 0;
            if (low < 0xDC00 || low >= 0xE000) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if ((c >= 0xDC00 && c < 0xE000) || c == 0xFFFE || c == 0xFFFF) {
            return std::nullopt;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// The encoding byte that begins a frame's data, noted in `out`; nothing when it names none.
std::optional<uint8_t> TakeEncoding(std::string_view data, FrameText& out) {
    const auto encoding = static_cast<uint8_t>(data[0]);
    if (encoding > kUtf8) return std::nullopt;
    out.latin1 = encoding == kLatin1;
    return encoding;
}

// A text frame (TXXX among them): the encoding, then values ended or separated by NUL
// characters; no bytes between two of them is no value.
std::optional<FrameText> DecodeTextFrame(std::string_view data, FrameText out) {
    if (data.size() < 2) return out;
    const auto taken = TakeEncoding(data, out);
    if (!taken) return std::nullopt;
    const uint8_t encoding = *taken;
    const size_t width = UnitBytes(encoding);
    // The NULs that end the last value are dropped; whole characters stay.
    size_t length = data.size() - 1;
    while (length > 0 && data[length] == 0) --length;
    length = (length + width - 1) / width * width;
    const std::string_view body = data.substr(1, length);

    // TXXX: the first value is the description.
    bool description = out.id == "TXXX";
    const bool genre = out.id == "TCON";
    size_t values = 0;
    for (size_t start = 0; start < body.size();) {
        const size_t end = std::min(FindTerminator(body, start, width), body.size());
        const std::string_view piece = body.substr(start, end - start);
        start = end + width;
        if (piece.empty()) continue;
        auto text = DecodeString(piece, encoding);
        if (!text) return std::nullopt;
        if (description) {
            out.description = std::move(*text);
            description = false;
            continue;
        }
        // TagLib reads genres anew: a number in parentheses becomes a value of its own, and
        // empty values go.
        if (genre && text->starts_with('(')) return std::nullopt;
        if (genre && text->empty()) continue;
        if (values++) out.text += '/';
        out.text += *text;
    }
    return out;
}

// A comment or lyrics frame: the encoding, a language, a description ended by a NUL character
// and the text. Without both, TagLib reads neither.
std::optional<FrameText> DecodeDescribedFrame(std::string_view data, FrameText out) {
    if (data.size() < 5) return out;
    const auto taken = TakeEncoding(data, out);
    if (!taken) return std::nullopt;
    const uint8_t encoding = *taken;
    const size_t width = UnitBytes(encoding);
    const std::string_view rest = data.substr(4);
    const size_t end = FindTerminator(rest, 0, width);
    if (end == std::string_view::npos || end + width >= rest.size()) return out;
    auto description = DecodeString(rest.substr(0, end), encoding);
    auto text = DecodeString(rest.substr(end + width), encoding);
    if (!description || !text) return std::nullopt;
    out.description = std::move(*description);
    out.text = std::move(*text);
    return out;
}

std::string Bytes(const String& text, bool latin1) { return text.to8Bit(!latin1); }

std::optional<FrameText> DecodeFieldFrame(std::string_view frame, int major, std::string_view name) {
    const size_t header = major == 2 ? 6 : 10;
    if (frame.size() <= header) return std::nullopt;
    // Compressed, encrypted, grouped or unsynchronised frames, or ones with a length field.
    if (major > 2 && frame[9] != 0) return std::nullopt;
    FrameText out;
    out.id = name;
    const std::string_view data = frame.substr(header);
    if (name == "COMM" || name == "USLT") return DecodeDescribedFrame(data, std::move(out));
    return DecodeTextFrame(data, std::move(out));
}

}  // namespace

bool MayHoldField(std::string_view frame, int major) { return FieldFrameName(frame, major).has_value(); }

std::optional<FrameText> DecodeFrameText(std::string_view frame, int major) {
    auto name = FieldFrameName(frame, major);
    if (!name) return std::nullopt;
    return DecodeFieldFrame(frame, major, *name);
}

std::optional<FrameText> TextOfParsedFrame(const TagLib::ID3v2::Frame& frame) {
    using namespace TagLib::ID3v2;
    FrameText out;
    out.id.assign(frame.frameID().data(), frame.frameID().size());
    String description;
    String text;
    // Read as a number: TagLib hands back whatever byte the frame holds there as its encoding
    // type, which may be no value of the type.
    int encoding = String::Latin1;
    if (auto* user = dynamic_cast<const UserTextIdentificationFrame*>(&frame)) {
        TagLib::StringList values = user->fieldList();
        if (!values.isEmpty()) values.erase(values.begin());  // the description
        description = user->description();
        text = values.toString("/");
        encoding = static_cast<int>(user->textEncoding());
    } else if (auto* plain = dynamic_cast<const TextIdentificationFrame*>(&frame)) {
        text = plain->fieldList().toString("/");
        encoding = static_cast<int>(plain->textEncoding());
    } else if (auto* comment = dynamic_cast<const CommentsFrame*>(&frame)) {
        description = comment->description();
        text = comment->text();
        encoding = static_cast<int>(comment->textEncoding());
    } else if (auto* lyrics = dynamic_cast<const UnsynchronizedLyricsFrame*>(&frame)) {
        description = lyrics->description();
        text = lyrics->text();
        encoding = static_cast<int>(lyrics->textEncoding());
    } else {
        return std::nullopt;
    }
    // A byte that names no ID3v2 encoding: the frame holds no text the program can read.
    if (encoding < String::Latin1 || encoding > String::UTF8) return std::nullopt;
    out.latin1 = encoding == String::Latin1;
    out.text = Bytes(text, out.latin1);
    out.description = Bytes(description, out.latin1);
    // A description TagLib cannot give as UTF-8 is still a description.
    if (out.description.empty() && !description.isEmpty()) out.description = "\xEF\xBF\xBD";
    return out;
}

std::optional<FrameText> TagLibFrameText(std::string_view frame, int major) {
    TagLib::ID3v2::Header header;
    header.setMajorVersion(major);
    const std::unique_ptr<TagLib::ID3v2::Frame> parsed(TagLib::ID3v2::FrameFactory::instance()->createFrame(
        TagLib::ByteVector(frame.data(), static_cast<unsigned>(frame.size())), &header));
    if (!parsed) return std::nullopt;
    return TextOfParsedFrame(*parsed);
}

std::optional<FrameText> ReadFrameText(std::string_view frame, int major) {
    auto name = FieldFrameName(frame, major);
    if (!name) return std::nullopt;
    if (auto decoded = DecodeFieldFrame(frame, major, *name)) return decoded;
    return TagLibFrameText(frame, major);
}

}  // namespace wvr::id3v2
