#include "formats/Id3v1.h"

#include <cstring>

#include "formats/SjisText.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

std::string TextField(const uint8_t* block, size_t offset, size_t width) {
    const char* start = reinterpret_cast<const char*>(block + offset);
    return std::string(start, strnlen(start, width));
}

// The field holds the whole characters that fit; a double-byte character that would be cut,
// or a lone lead byte at the field's end, is left out and a zero byte ends the text there, so
// that no half of a character is written. A shorter text is padded with spaces.
void PutText(Id3v1Tag& tag, size_t offset, std::string_view text) {
    if (text.empty()) return;
    std::string field(sjis::WholeCharsWithin(text, id3v1::kTextWidth));
    if (field.size() == id3v1::kTextWidth) field.resize(sjis::WithoutLoneLeadByte(field).size());
    if (field.size() < text.size() && field.size() < id3v1::kTextWidth) field += '\0';
    field.resize(id3v1::kTextWidth, ' ');
    std::memcpy(tag.data() + offset, field.data(), id3v1::kTextWidth);
}

}  // namespace

std::optional<Id3v1Texts> ParseId3v1(const uint8_t* block, const GenreTable& genres) {
    if (std::memcmp(block, "TAG", 3) != 0) return std::nullopt;
    Id3v1Texts t;
    t.title = TextField(block, id3v1::kTitle, id3v1::kTextWidth);
    t.artist = TextField(block, id3v1::kArtist, id3v1::kTextWidth);
    t.album = TextField(block, id3v1::kAlbum, id3v1::kTextWidth);
    t.year = TextField(block, id3v1::kYear, id3v1::kYearWidth);
    t.comment = TextField(block, id3v1::kComment, id3v1::kTextWidth);
    t.genre = genres.GenreName(block[id3v1::kGenre]).name;
    return t;
}

Id3v1Tag BuildId3v1Tag(const TrackInfo& row, const GenreTable& genres) {
    Id3v1Tag tag;
    tag.fill(' ');
    std::memcpy(tag.data(), "TAG", 3);
    tag[3] = 0;  // an empty title stays a zero byte and 29 spaces
    PutText(tag, id3v1::kTitle, row.Fields[kTitle]);
    PutText(tag, id3v1::kArtist, row.Fields[kArtist]);
    PutText(tag, id3v1::kAlbum, row.Fields[kAlbum]);
    const std::string& year = row.Fields[kDate];
    if (!year.empty()) {
        std::string padded = year + "    ";
        std::memcpy(tag.data() + id3v1::kYear, padded.data(), id3v1::kYearWidth);
    }
    PutText(tag, id3v1::kComment, row.Fields[kComment]);
    tag[id3v1::kGenre] = static_cast<uint8_t>(genres.GenreNumber(row.Fields[kGenre]).number);
    return tag;
}

bool WriteId3v1Tag(const std::string& cp932Path, const Id3v1Tag& tag, Prompter& prompter) {
    auto path = fs::ToNative(cp932Path);
    if (!path) return false;
    auto time = fs::ReadLastWriteTime(*path);
    if (!time) return false;

    fs::File file;
    if (!file.Open(*path, fs::File::Mode::ReadWrite)) {
        prompter.Error("ファイルを開けませんでした。\n" + cp932::ToUtf8(cp932Path));
        return false;
    }
    auto size = file.Size();
    if (!size || *size < kId3v1Size) return false;

    // The last 128 bytes are kept, so that a write that fails half-way can put them back.
    Id3v1Tag previous;
    const uint64_t tagStart = *size - kId3v1Size;
    if (!file.ReadExact(tagStart, previous.data(), previous.size())) return false;
    const bool overwrite = std::memcmp(previous.data(), "TAG", 3) == 0;
    const uint64_t at = overwrite ? tagStart : *size;

    if (!file.WriteAt(at, tag.data(), tag.size()) || !file.Sync()) {
        // The file is left as it was: the old block written back, or an append cut off again.
        if (overwrite) file.WriteAt(tagStart, previous.data(), previous.size());
        else file.Truncate(*size);
        file.Sync();
        file.Close();
        fs::SetLastWriteTime(*path, *time);
        prompter.Error("ID3Tagの書き込みに失敗しました。");
        return false;
    }
    file.Close();
    fs::RestoreLastWriteTime(*path, *time, prompter);
    return true;
}

}  // namespace wvr
