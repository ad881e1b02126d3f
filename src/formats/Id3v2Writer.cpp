#include "formats/Id3v2Writer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "formats/Id3v2Sanitizer.h"
#include "formats/Id3v2Tag.h"
#include "formats/Splice.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kLossyQuestion =
    "Shift-JIS で表せない文字を含む欄が変更されています。\n"
    "書き込むと、その欄の表せない文字は失われます。\n書き込んでもよろしいですか？\n\n";

std::string_view BlockBytes(const Id3v1Tag& block) {
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

// The file as the writer found it: its tag and where the ID3v1 block, if any, begins.
struct OpenedFile {
    std::string path;  // native
    std::string shownPath;
    fs::File source;
    std::optional<fs::LastWriteTime> time;
    uint64_t size = 0;
    uint64_t audioEnd = 0;  // the ID3v1 block or the end of the file
    std::optional<Id3v1Tag> oldBlock;
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
        f.oldBlock = block;
        f.audioEnd -= kId3v1Size;
    }
    return !f.source.ReadFailed();
}

// The file rebuilt: the new tag, the audio from `audioStart`, then the ID3v1 block.
bool Rebuild(OpenedFile& f, const std::string& tag, uint64_t audioStart, const std::optional<Id3v1Tag>& block,
             Prompter& prompter) {
    // The file must be writable as it stands: a read-only file is refused, never replaced.
    fs::File access;
    fs::ReplacementFile out(f.path);
    if (!access.Open(f.path, fs::File::Mode::ReadWrite) || !out.Create()) {
        prompter.Error("ファイルへアクセスできませんでした。\n" + f.shownPath);
        return false;
    }
    access.Close();
    if (!out.Append(tag) || !out.CopyFrom(f.source, audioStart, f.audioEnd - audioStart)) return false;
    if (block && !out.Append(BlockBytes(*block))) return false;
    int timeError = 0;
    if (!out.Commit(f.time ? &*f.time : nullptr, &timeError)) return false;
    if (timeError != 0) fs::ShowTimeError(timeError, prompter);
    return true;
}

// The new tag over the old one, of the same size. A write that fails is undone with the old bytes.
bool WriteInPlace(OpenedFile& f, const std::string& oldTag, const std::string& tag, Prompter& prompter) {
    fs::File file;
    if (!file.Open(f.path, fs::File::Mode::ReadWrite)) {
        prompter.Error("ファイルへアクセスできませんでした。\n" + f.shownPath);
        return false;
    }
    if (!file.WriteAt(0, tag.data(), tag.size()) || !file.Sync()) {
        file.WriteAt(0, oldTag.data(), oldTag.size());
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

// Whether the new tag reads back as the row: every field written gives the row's text, and
// the fields not written give what they gave before.
bool ReadsBack(const std::string& tag, const id3v2::TagTexts& before, const TrackInfo& row,
               std::bitset<kFieldCount> changed, const GenreTable& genres) {
    const id3v2::TagTexts after = id3v2::ReadTagTexts(tag, genres);
    if (!after.walkComplete) return false;
    for (int f = 0; f < kFieldCount; ++f) {
        // A genre written as a number reads back as its name.
        if (f == kGenre && changed[f]) continue;
        const std::string& want = changed[f] ? row.Fields[f] : before.fields[f];
        if (changed[f] ? !id3v2::SameAsRead(want, after.fields[f]) : want != after.fields[f]) return false;
    }
    return true;
}

}  // namespace

bool WriteId3v2Tag(const TrackInfo& row, const Id3v1Tag& block, const GenreTable& genres, Id3v2WriteMode mode,
                   Prompter& prompter) {
    OpenedFile f;
    if (!OpenSource(row.Path, f, prompter)) return false;
    char head[id3v2::kTagHeaderBytes];
    auto layout = f.source.ReadExact(0, head, sizeof head) ? id3v2::ParseLayout({head, sizeof head}) : std::nullopt;
    if (!layout || layout->size > f.audioEnd || layout->size > id3v2::kMaxTagBytes) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    std::string oldTag(layout->size, '\0');
    if (!f.source.ReadExact(0, oldTag.data(), oldTag.size())) return false;
    const id3v2::TagTexts read = id3v2::ReadTagTexts(oldTag, genres);

    std::bitset<kFieldCount> changed;
    for (int f2 = 0; f2 < kFieldCount; ++f2)
        changed[f2] = !id3v2::SameAsRead(row.Fields[f2], read.fields[f2]);
    if (mode == Id3v2WriteMode::Unicode) changed |= read.shiftJisInLatin1;
    // A 2.2 tag is always made 2.3 when written.
    const bool convert = read.layout.major == 2;
    if ((changed & read.lossy).any() && !prompter.YesNo(kLossyQuestion + f.shownPath)) return false;

    const std::optional<Id3v1Tag> newBlock = f.oldBlock ? std::optional<Id3v1Tag>(block) : std::nullopt;
    const bool blockChanged = f.oldBlock && *f.oldBlock != block;
    if (changed.none() && !blockChanged && !convert) return true;  // the file already holds the row

    auto tag = id3v2::RenderChangedTag(oldTag, read, row.Fields, changed);
    if (!tag || !ReadsBack(*tag, read, row, changed, genres)) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    if (tag->size() == oldTag.size() && !blockChanged) return WriteInPlace(f, oldTag, *tag, prompter);
    return Rebuild(f, *tag, layout->size, newBlock, prompter);
}

std::bitset<kFieldCount> LossyId3v2Fields(const std::string& cp932Path, const GenreTable& genres) {
    auto path = fs::ToNative(cp932Path);
    fs::File file;
    char head[id3v2::kTagHeaderBytes];
    if (!path || !file.Open(*path, fs::File::Mode::Read) || !file.ReadExact(0, head, sizeof head)) return {};
    auto layout = id3v2::ParseLayout({head, sizeof head});
    if (!layout) return {};
    std::string tag(std::min<uint64_t>({layout->size, file.SizeAtOpen(), id3v2::kMaxTagBytes}), '\0');
    if (!file.ReadExact(0, tag.data(), tag.size())) return {};
    return id3v2::ReadTagTexts(tag, genres).lossy;
}

bool CreateId3v2Tag(const TrackInfo& row, int major, Prompter& prompter) {
    OpenedFile f;
    if (!OpenSource(row.Path, f, prompter)) return false;
    const std::string tag = id3v2::RenderNewTag(major, row.Fields);
    if (!ReadsBack(tag, id3v2::TagTexts{}, row, std::bitset<kFieldCount>().set(), GenreTable{})) {
        ShowUnusualLayout(f.shownPath, prompter);
        return false;
    }
    return Rebuild(f, tag, 0, f.oldBlock, prompter);
}

}  // namespace wvr
