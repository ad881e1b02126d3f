#include "formats/id3v2/TaggedMpegWriter.h"

#include <cstring>
#include <optional>

#include "formats/Id3v1.h"
#include "formats/SjisText.h"
#include "formats/Splice.h"
#include "formats/id3v2/Tag.h"
#include "formats/id3v2/TagRender.h"
#include "formats/id3v2/TagHeader.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

using Fields = std::array<std::string, kFieldCount>;

constexpr const char* kLossyQuestion =
    "Shift-JIS で表せない文字を含む欄が変更されています。\n"
    "書き込むと、その欄の表せない文字は失われます。\n書き込んでもよろしいですか？\n\n";
constexpr const char* kUncertainNote =
    "Latin-1 の欄が日本語か欧文か判断できないため、その欄はそのままにしました。\n";
constexpr const char* kTooLarge = "ID3v2 タグが大きすぎるため、書き込みを中止しました。\n";
constexpr const char* kNotReadBack = "書き込む ID3v2 タグを読み返すと欄の文字が変わるため、書き込みを中止しました。\n";

// The file as the writer found it.
struct OpenedFile {
    std::string path;  // native
    std::string shownPath;
    fs::File source;
    std::optional<fs::LastWriteTime> time;
    uint64_t size = 0;
    uint64_t audioEnd = 0;  // the ID3v1 block or the end of the file
    std::optional<Id3v1Tag> block;
};

bool OpenSource(const std::string& cp932Path, OpenedFile& f, Prompter& prompter) {
    f.shownPath = cp932::ToUtf8(cp932Path);
    auto path = fs::ToNative(cp932Path);
    if (!path || !f.source.Open(*path, fs::File::Mode::Read)) {
        prompter.Error("ファイルを開けませんでした。\n" + f.shownPath);
        return false;
    }
    f.path = *path;
    f.time = fs::ReadLastWriteTime(f.path);
    f.size = f.source.SizeAtOpen();
    f.audioEnd = f.size;
    Id3v1Tag block;
    if (f.size >= kId3v1Size && f.source.ReadExact(f.size - kId3v1Size, block.data(), block.size()) &&
        std::memcmp(block.data(), "TAG", 3) == 0) {
        f.block = block;
        f.audioEnd -= kId3v1Size;
    }
    return !f.source.ReadFailed();
}

std::string_view BlockBytes(const Id3v1Tag& block) { return {reinterpret_cast<const char*>(block.data()), block.size()}; }

bool IsId3v11(const Id3v1Tag& block) { return block[125] == 0 && block[126] != 0; }

// The ID3v1 block beside the tag, changed only in the fields the user changed; its other
// bytes, the ID3v1.1 track byte among them, stay.
Id3v1Tag ChangedBlock(const Id3v1Tag& old, const TrackInfo& row, std::bitset<kFieldCount> changed,
                      const GenreTable& genres) {
    const Id3v1Tag built = BuildId3v1Tag(row, genres);
    Id3v1Tag block = old;
    auto take = [&](int field, size_t offset, size_t width) {
        if (changed[field]) std::memcpy(block.data() + offset, built.data() + offset, width);
    };
    take(kTitle, id3v1::kTitle, id3v1::kTextWidth);
    take(kArtist, id3v1::kArtist, id3v1::kTextWidth);
    take(kAlbum, id3v1::kAlbum, id3v1::kTextWidth);
    take(kDate, id3v1::kYear, id3v1::kYearWidth);
    take(kGenre, id3v1::kGenre, 1);
    if (changed[kComment]) {
        // An ID3v1.1 block keeps its track number: the comment has 28 bytes there.
        const size_t width = IsId3v11(old) ? id3v1::kTextWidth - 2 : id3v1::kTextWidth;
        std::memcpy(block.data() + id3v1::kComment, built.data() + id3v1::kComment, width);
        if (width < id3v1::kTextWidth && cp932::IsLeadByte(block[id3v1::kComment + width - 1]))
            block[id3v1::kComment + width - 1] = 0;
    }
    return block;
}

bool FailAccess(const OpenedFile& f, Prompter& prompter) {
    prompter.Error("ファイルへアクセスできませんでした。\n" + f.shownPath);
    return false;
}

// The file rebuilt: the new tag, the audio from `audioStart`, then the ID3v1 block.
bool Rebuild(OpenedFile& f, const std::string& tag, uint64_t audioStart, const std::optional<Id3v1Tag>& block,
             Prompter& prompter) {
    // The file must be writable as it stands: a read-only file is refused, never replaced.
    fs::File access;
    fs::ReplacementFile out(f.path);
    if (!access.Open(f.path, fs::File::Mode::ReadWrite) || !out.Create()) return FailAccess(f, prompter);
    access.Close();
    if (!out.Append(tag) || !out.CopyFrom(f.source, audioStart, f.audioEnd - audioStart)) return false;
    if (block && !out.Append(BlockBytes(*block))) return false;
    int timeError = 0;
    if (!out.Commit(f.time ? &*f.time : nullptr, &timeError)) return false;
    if (timeError != 0) fs::ShowTimeError(timeError, prompter);
    return true;
}

// The bytes of the file that differ between `before` and `after` (both at `offset`).
struct ChangedRange {
    uint64_t first = UINT64_MAX, end = 0;
    void Add(uint64_t offset, std::string_view before, std::string_view after) {
        for (size_t i = 0; i < after.size(); ++i) {
            if (before[i] == after[i]) continue;
            first = std::min<uint64_t>(first, offset + i);
            end = std::max<uint64_t>(end, offset + i + 1);
        }
    }
    bool WithinOnePage() const { return first / kInPlacePageBytes == (end - 1) / kInPlacePageBytes; }
};

// The changed bytes written over the old ones in one write within one page, then flushed. A
// write that fails is undone with the old bytes.
bool WriteInPlace(OpenedFile& f, uint64_t at, std::string_view bytes, std::string_view old, Prompter& prompter) {
    fs::File file;
    if (!file.Open(f.path, fs::File::Mode::ReadWrite)) return FailAccess(f, prompter);
    if (!file.WriteAt(at, bytes.data(), bytes.size()) || !file.Sync()) {
        file.WriteAt(at, old.data(), old.size());
        file.Sync();
        file.Close();
        if (f.time) fs::SetLastWriteTime(f.path, *f.time);
        prompter.Error("ID3Tagの書き込みに失敗しました。");
        return false;
    }
    file.Close();
    if (f.time) fs::RestoreLastWriteTime(f.path, *f.time, prompter);
    return true;
}

// Whether the fields written read back from the new tag as the row holds them (compared as
// Unicode: CP932 has two codes for some characters).
bool ReadsBack(const std::string& tag, const TrackInfo& row, std::bitset<kFieldCount> written,
               const GenreTable& genres) {
    const id3v2::TagFields after = id3v2::ReadTagFields(tag, genres);
    for (int f = 0; f < kFieldCount; ++f) {
        if (!written[f] || f == kGenre) continue;  // a genre number reads back as its name
        if (cp932::ToUtf8(row.Fields[f]) != cp932::ToUtf8(sjis::Trim(after.fields[f]))) return false;
    }
    return true;
}

}  // namespace

bool WriteId3v2Tag(const TrackInfo& row, const GenreTable& genres, Id3v2WriteMode mode, Prompter& prompter) {
    OpenedFile f;
    if (!OpenSource(row.Path, f, prompter)) return false;
    char head[id3v2::kHeaderBytes];
    auto header = f.source.ReadExact(0, head, sizeof head) ? id3v2::ParseTagHeader({head, sizeof head}) : std::nullopt;
    if (!header) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    char footer[id3v2::kHeaderBytes];
    header->footer = f.source.ReadExact(id3v2::kHeaderBytes + header->bodySize, footer, sizeof footer) &&
                     id3v2::HasFooterAt(*header, {footer, sizeof footer});
    const uint64_t tagSize = header->TagSize();
    if (tagSize > f.audioEnd) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    if (tagSize > id3v2::kMaxTagBytes) {
        prompter.Error(kTooLarge + f.shownPath);
        return false;
    }
    std::string oldTag(tagSize, '\0');
    if (!f.source.ReadExact(0, oldTag.data(), oldTag.size())) return false;
    const std::string plain = id3v2::PlainTagBytes(oldTag, *header);
    id3v2::TagBytesWindow window(plain);
    const id3v2::WalkedTag walked = id3v2::WalkTag(window, *header, plain.size());
    const id3v2::TagFields read = id3v2::ReadTagFields(window, walked, genres);

    std::bitset<kFieldCount> changed;
    for (int i = 0; i < kFieldCount; ++i) changed[i] = row.Fields[i] != sjis::Trim(read.fields[i]);
    std::bitset<kFieldCount> written = changed;
    if (mode == Id3v2WriteMode::Unicode) {
        written |= read.shiftJisInLatin1;
        if (read.latin1Reading == id3v2::Latin1Reading::Uncertain) prompter.Information(kUncertainNote + f.shownPath);
    }
    if ((changed & read.lossy).any() && !prompter.YesNo(kLossyQuestion + f.shownPath)) return false;

    // The Unicode rewrite is of the tag alone: its ID3v1 block stays byte for byte.
    const bool keepBlock = !f.block || mode == Id3v2WriteMode::Unicode;
    const std::optional<Id3v1Tag> block = keepBlock ? f.block : std::optional(ChangedBlock(*f.block, row, changed, genres));
    const bool blockChanged = block && *block != *f.block;
    if (written.none() && !blockChanged) return true;  // the file already holds the row

    std::optional<std::string> tag = oldTag;
    if (written.any()) tag = id3v2::RenderChangedTag(plain, walked, read, row.Fields, written);
    if (!tag) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    if (!ReadsBack(*tag, row, written, genres)) {
        prompter.Error(kNotReadBack + f.shownPath);
        return false;
    }
    if (*tag == oldTag && !blockChanged) return true;
    // One region changes (the tag or the block) and within one page of it: written in place.
    if (tag->size() == oldTag.size() && (*tag == oldTag || !blockChanged)) {
        ChangedRange range;
        const bool inTag = *tag != oldTag;
        if (inTag) range.Add(0, oldTag, *tag);
        else range.Add(f.audioEnd, BlockBytes(*f.block), BlockBytes(*block));
        if (range.WithinOnePage()) {
            const std::string_view now = inTag ? std::string_view(*tag) : BlockBytes(*block);
            const std::string_view was = inTag ? std::string_view(oldTag) : BlockBytes(*f.block);
            const size_t from = range.first - (inTag ? 0 : f.audioEnd), n = range.end - range.first;
            return WriteInPlace(f, range.first, now.substr(from, n), was.substr(from, n), prompter);
        }
    }
    return Rebuild(f, *tag, tagSize, block, prompter);
}

bool CreateId3v2Tag(const TrackInfo& row, int major, Prompter& prompter) {
    OpenedFile f;
    if (!OpenSource(row.Path, f, prompter)) return false;
    const int track = f.block && IsId3v11(*f.block) ? (*f.block)[126] : 0;
    const std::string tag = id3v2::RenderNewTag(major, row.Fields, track);
    if (!ReadsBack(tag, row, std::bitset<kFieldCount>().set(), GenreTable{})) {
        prompter.Error(kNotReadBack + f.shownPath);
        return false;
    }
    return Rebuild(f, tag, 0, f.block, prompter);
}

}  // namespace wvr
