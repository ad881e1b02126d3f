#include "formats/RiffInfo.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "formats/Splice.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

using riff::Chunk;
using riff::ChunkReader;
using riff::FourCC;
using riff::Search;

constexpr FourCC kData("data");

std::optional<FourCC> FormTypeOf(FileKind kind) {
    if (kind == FileKind::RiffWave) return FourCC("WAVE");
    if (kind == FileKind::RiffRmp3) return FourCC("RMP3");
    return std::nullopt;
}

bool IsInfoList(const Chunk& chunk) { return chunk.id == riff::kList && chunk.type == info::kListType; }

std::string_view BlockBytes(const Id3v1Tag& block) {
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

// Why a file is not rewritten: some files are simply not the writer's (no message), others
// would lose or change bytes that are not the writer's own (the user is told).
enum class Refusal { None, NotWritable, UnusualLayout };

// A file rebuilt around a new INFO list: the bytes before the form, the form's chunks other
// than INFO lists as they are stored, the new list, then whatever followed the last whole
// chunk (bytes too few to be a chunk, anything after the form). An ID3v1 block at the end of
// the form or after it is set apart: the row's block takes its place after the form.
struct RiffPlan {
    explicit RiffPlan(riff::ByteSource& source) : file(source) {}
    Splice file;
    std::vector<std::pair<Chunk, uint64_t>> kept;  // each kept chunk and where it lands
    uint64_t listOffset = 0;
    bool trailingId3 = false;
    Refusal refusal = Refusal::None;
};

// The end of what follows the form from `from` on, short of an ID3v1 block that ends the file.
uint64_t TailEnd(riff::ByteSource& source, uint64_t from, bool& trailingId3) {
    const uint64_t end = source.Size();
    if (end < from || end - from < kId3v1Size || !ChunkReader(source).IsId3BlockAt(end - kId3v1Size, end)) return end;
    trailingId3 = true;
    return end - kId3v1Size;
}

// Lays out the new file; refuses files it may not write and any whose kept chunks it could not
// copy byte for byte (a size that runs past the form could only be copied by changing it).
void PlanRewrite(riff::ByteSource& source, FourCC formType, const std::string& infoList, RiffPlan& plan) {
    auto walk = riff::WalkForm(source, formType);
    if (!walk) {
        plan.refusal = Refusal::NotWritable;
        return;
    }
    bool infoFound = false, audioFound = false;
    std::vector<Chunk> kept;
    for (const Chunk& chunk : walk->chunks) {
        if (IsInfoList(chunk)) {
            infoFound = true;
            continue;
        }
        if (chunk.id == kData && chunk.storedSize > 0) audioFound = true;
        kept.push_back(chunk);
    }
    if (!infoFound && !audioFound) {
        plan.refusal = Refusal::NotWritable;
        return;
    }
    const bool clamped = std::any_of(kept.begin(), kept.end(), [](const Chunk& c) { return c.size != c.storedSize; });
    if (!walk->complete || clamped) {
        plan.refusal = Refusal::UnusualLayout;
        return;
    }

    uint64_t formSize = riff::kTypeSize + infoList.size();
    for (const Chunk& chunk : kept) formSize += chunk.End() - chunk.offset;
    // The list must start on a chunk boundary: a last chunk that lacks its pad byte gets one.
    const bool padBeforeList = !kept.empty() && kept.back().size % 2 == 1 && !kept.back().padPresent;
    formSize += padBeforeList ? 1 : 0;
    if (formSize > UINT32_MAX) {
        plan.refusal = Refusal::UnusualLayout;
        return;
    }

    plan.trailingId3 = walk->id3Block;
    // What follows the form is kept from the form's end on, a pad byte or not: a byte there that
    // is no pad must not be lost.
    const uint64_t afterForm = walk->form.DataEnd();
    const uint64_t tailEnd = TailEnd(source, afterForm, plan.trailingId3);
    Splice& out = plan.file;
    out.Copy(0, walk->form.offset);
    out.Append(riff::ChunkHeader(riff::kRiff, static_cast<uint32_t>(formSize)) + std::string(formType.view()));
    for (const Chunk& chunk : kept) {
        plan.kept.emplace_back(chunk, out.Size());
        out.Copy(chunk.offset, chunk.End() - chunk.offset);
    }
    if (padBeforeList) out.Append(std::string_view("\0", 1));
    plan.listOffset = out.Size();
    out.Append(infoList);
    // Bytes in the form after its last whole chunk, too few to be one, now follow the form.
    if (!walk->id3Block) out.Copy(walk->end, walk->form.DataEnd() - walk->end);
    if (tailEnd > afterForm) out.Copy(afterForm, tailEnd - afterForm);
}

// Reads the planned file as the loader will: the same form, every kept chunk whole and
// unchanged where the plan put it, then the new list and nothing else.
bool PlanReadsBack(RiffPlan& plan, FourCC formType, uint64_t listSize) {
    auto walk = riff::WalkForm(plan.file, formType);
    if (!walk || !walk->complete || walk->id3Block || walk->chunks.size() != plan.kept.size() + 1) return false;
    for (size_t i = 0; i < plan.kept.size(); ++i) {
        const Chunk& before = plan.kept[i].first;
        const Chunk& after = walk->chunks[i];
        if (after.offset != plan.kept[i].second || after.id != before.id || after.storedSize != before.storedSize ||
            after.size != after.storedSize || IsInfoList(after))
            return false;
    }
    const Chunk& list = walk->chunks.back();
    return IsInfoList(list) && list.offset == plan.listOffset && riff::kHeaderSize + list.size == listSize &&
           list.size == list.storedSize;
}

}  // namespace

std::string ReadInfoText(ChunkReader& reader, const Chunk& list, FourCC id) {
    reader.Seek(list.DataOffset() + riff::kTypeSize);
    auto chunk = reader.Descend(&list, Search::Id(id));
    if (!chunk) return {};
    std::string text = reader.ReadData(*chunk, info::kMaxTextBytes).value_or(std::string());
    return text.substr(0, text.find('\0'));
}

RiffInfoList ReadRiffInfo(riff::ByteSource& source, FileKind kind) {
    RiffInfoList result;
    auto formType = FormTypeOf(kind);
    if (!formType) return result;
    auto walk = riff::WalkForm(source, *formType);
    if (!walk) return result;
    result.formFound = true;
    auto list = std::find_if(walk->chunks.begin(), walk->chunks.end(), IsInfoList);
    if (list == walk->chunks.end()) return result;
    result.infoFound = true;
    result.audioSize = static_cast<long long>(list->DataOffset() + riff::kTypeSize);

    // Encoders that put the list before the audio would otherwise give a play time of zero.
    auto data = std::find_if(list, walk->chunks.end(), [](const Chunk& c) { return c.id == kData; });
    if (data != walk->chunks.end()) result.audioSize = static_cast<long long>(data->DataEnd());

    ChunkReader reader(source);
    for (int i = 0; i < kFieldCount; ++i) result.texts[i] = ReadInfoText(reader, *list, info::kIds[i]);
    return result;
}

RiffInfoList ReadRiffInfo(fs::File& file, FileKind kind) {
    riff::FileSource source(file);
    return ReadRiffInfo(source, kind);
}

std::string BuildInfoList(const TrackInfo& row, const Id3v1Tag* id3Block) {
    riff::ChunkWriter writer;
    auto list = writer.CreateList(info::kListType);
    for (int i = 0; i < kFieldCount; ++i) {
        const std::string& text = row.Fields[i];
        if (i >= info::kAlwaysWritten && text.empty()) continue;
        auto sub = writer.CreateChunk(info::kIds[i]);
        writer.Write(text);
        writer.Write(std::string_view("\0", 1));
        writer.Ascend(sub);
    }
    if (id3Block) {
        auto sub = writer.CreateChunk(info::kId3Chunk);
        writer.Write(BlockBytes(*id3Block));
        writer.Ascend(sub);
    }
    writer.Ascend(list);
    return writer.bytes();
}

bool WriteRiffInfo(const TrackInfo& row, const Id3v1Tag& id3Block, bool addId3Chunk, Prompter& prompter) {
    const std::string shownPath = cp932::ToUtf8(row.Path);
    auto formType = FormTypeOf(static_cast<FileKind>(row.KindCode()));
    if (!formType) return false;
    auto path = fs::ToNative(row.Path);
    fs::File source;
    if (!path || !source.Open(*path, fs::File::Mode::Read)) {
        prompter.Error("ファイルを開けませんでした。\n" + shownPath);
        return false;
    }
    const auto time = fs::ReadLastWriteTime(*path);

    riff::FileSource bytes(source);
    const std::string infoList = BuildInfoList(row, addId3Chunk ? &id3Block : nullptr);
    RiffPlan plan(bytes);
    PlanRewrite(bytes, *formType, infoList, plan);
    // A chunk that could not be read would be taken for the end of the form.
    if (source.ReadFailed()) return false;
    if (plan.refusal == Refusal::None && !PlanReadsBack(plan, *formType, infoList.size()))
        plan.refusal = Refusal::UnusualLayout;
    if (plan.refusal != Refusal::None) {
        if (plan.refusal == Refusal::UnusualLayout) ShowUnusualLayout(shownPath, prompter);
        return false;
    }

    // The file must be writable as it stands: a read-only file is refused, never replaced.
    fs::File access;
    fs::ReplacementFile out(*path);
    if (!access.Open(*path, fs::File::Mode::ReadWrite) || !out.Create()) {
        prompter.Error("ファイルへアクセスできませんでした。\n" + shownPath);
        return false;
    }
    access.Close();

    // The file ends with the row's ID3v1 block whenever it has one: as the last INFO sub-chunk,
    // or after the form when the file had a block there or other bytes follow the list.
    const bool iid3EndsFile = addId3Chunk && plan.file.Size() == plan.listOffset + infoList.size();
    if ((plan.trailingId3 || addId3Chunk) && !iid3EndsFile) plan.file.Append(BlockBytes(id3Block));
    riff::ChunkCopier copier(source, out);
    if (!plan.file.WriteTo(copier)) return false;
    int timeError = 0;
    if (!out.Commit(time ? &*time : nullptr, &timeError)) return false;
    // The tags are in: a time that could not be set back is told, and the write still counts.
    if (timeError != 0) fs::ShowTimeError(timeError, prompter);
    return true;
}

}  // namespace wvr
