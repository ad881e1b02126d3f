#include "formats/Id3v2.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <id3/readers.h>
#include <id3/tag.h>
#include <vector>

#include "formats/Id3v2Sanitizer.h"
#include "formats/Id3v2Text.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

using Fields = std::array<std::string, kFieldCount>;

// The frames read, in this order, and the field each one fills.
struct FrameField {
    ID3_FrameID frame;
    Field field;
};
constexpr FrameField kFrames[] = {
    {ID3FID_TITLE, kTitle},   {ID3FID_LEADARTIST, kArtist}, {ID3FID_ALBUM, kAlbum},
    {ID3FID_COMMENT, kComment}, {ID3FID_YEAR, kDate},       {ID3FID_CONTENTTYPE, kGenre},
};

std::string EightBitText(const ID3_Field& field) {
    std::string buffer(field.Size() + 1, '\0');  // the zero after the text is ours
    field.Get(buffer.data(), buffer.size());
    return id3v2::EightBitFieldText(buffer);
}

// id3lib keeps UTF-16 as big-endian bytes without the byte order mark, so the numbers it hands
// out are byte-swapped on little-endian machines; the bytes are read in their order instead.
// Get() copies twice the bytes it has unless asked for exactly Size() / 2 units, and its result
// counts bytes, so it is asked for exactly that and its result is not used.
std::string Utf16Text(const ID3_Field& field) {
    const size_t count = field.Size() / 2;
    if (count == 0) return {};
    std::vector<unicode_t> units(count + 1, 0);
    field.Get(units.data(), count);
    std::u16string text(count, u'\0');
    for (size_t i = 0; i < count; ++i) {
        unsigned char bytes[sizeof(unicode_t)];
        std::memcpy(bytes, &units[i], sizeof bytes);
        text[i] = static_cast<char16_t>(bytes[0] << 8 | bytes[1]);
    }
    return id3v2::Utf16FieldText(text);
}

std::string FrameText(const ID3_Frame& frame) {
    const ID3_Field* field = frame.GetField(ID3FN_TEXT);
    if (!field || field->GetType() != ID3FTY_TEXTSTRING) return {};
    switch (field->GetEncoding()) {
    case ID3TE_ISO8859_1: return EightBitText(*field);
    case ID3TE_UTF16: return Utf16Text(*field);
    default: return {};  // big-endian UTF-16 and UTF-8 came with 2.4; id3lib gives no text for them
    }
}

// Bytes of the tag that are read: all of it, or the first kMaxTagBytes after its header, and
// never more than the file holds. A tag whose declared size runs past the end of the file
// gives the frames that are wholly there, as id3lib and other readers do.
size_t ReadLength(const id3v2::TagHeader& header, uint64_t fileSize) {
    const uint64_t declared = id3v2::kHeaderSize + std::min<uint64_t>(header.size, id3v2::kMaxTagBytes);
    return static_cast<size_t>(std::min(declared, fileSize));
}

void ReadCleanedTag(std::string_view tag, Fields& fields, Prompter& prompter) {
    const std::optional<std::string> clean = id3v2::SanitizeTag(tag);
    if (!clean) return;
    ID3_MemoryReader reader(clean->data(), clean->size());
    ReadId3LibTexts(reader, fields, prompter);
}

}  // namespace

void ReadId3LibTexts(ID3_Reader& reader, Fields& fields, Prompter& prompter) {
    try {
        ID3_Tag tag;
        tag.Parse(reader);
        for (const auto& [frameId, field] : kFrames) {
            if (const ID3_Frame* frame = tag.Find(frameId)) fields[field] = FrameText(*frame);
        }
    } catch (const std::exception& error) {
        prompter.Plain(error.what());
    } catch (...) {
        prompter.Plain("id3lib: unknown error");
    }
}

void ReadId3v2Tag(std::string_view fileStart, Fields& fields, Prompter& prompter) {
    const std::optional<id3v2::TagHeader> header = id3v2::ParseTagHeader(fileStart);
    if (!header) return;
    ReadCleanedTag(fileStart.substr(0, ReadLength(*header, fileStart.size())), fields, prompter);
}

void ReadId3v2(fs::File& file, Fields& fields, Prompter& prompter) {
    char head[id3v2::kHeaderSize];
    if (!file.ReadExact(0, head, sizeof head)) return;
    const std::optional<id3v2::TagHeader> header = id3v2::ParseTagHeader({head, sizeof head});
    if (!header) return;
    std::string tag(ReadLength(*header, file.SizeAtOpen()), '\0');
    if (!file.ReadExact(0, tag.data(), tag.size())) return;
    ReadCleanedTag(tag, fields, prompter);
}

}  // namespace wvr
