#include "formats/RiffInfo.h"

#include <cstring>
#include <optional>
#include <vector>

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

// How a file is rebuilt around a new INFO list: the bytes before the form, the form's chunks
// other than INFO lists, then whatever follows the last whole chunk (bytes too few to be a
// chunk, or anything after the form), of which a trailing ID3v1 block is set apart.
struct RiffRewrite {
    uint64_t formOffset = 0;
    FourCC formType;
    std::vector<Chunk> kept;
    uint64_t tailOffset = 0;
    uint64_t tailEnd = 0;  // the file's end, or the start of its trailing ID3v1 block
    bool trailingId3 = false;
};

// Nothing when the file is not one the writer may change: no form of the kind's type, or no
// INFO list and no "data" chunk holding audio to append one after.
std::optional<RiffRewrite> PlanRewrite(riff::ByteSource& source, FourCC formType) {
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form(formType));
    if (!form) return std::nullopt;

    RiffRewrite plan;
    plan.formOffset = form->offset;
    plan.formType = formType;
    bool infoFound = false, audioFound = false;
    for (int walked = 0;; ++walked) {
        if (walked == ChunkReader::kMaxChunksPerSearch) return std::nullopt;
        auto chunk = reader.ReadHeader(form->DataEnd());
        if (!chunk) break;
        reader.Ascend(*chunk);
        if (IsInfoList(*chunk)) {
            infoFound = true;
            continue;
        }
        if (chunk->id == kData && chunk->storedSize > 0) audioFound = true;
        plan.kept.push_back(*chunk);
    }
    if (!infoFound && !audioFound) return std::nullopt;

    plan.tailOffset = reader.Position();
    plan.tailEnd = source.Size();
    uint8_t marker[3];
    if (plan.tailEnd - plan.tailOffset >= kId3v1Size &&
        source.Read(plan.tailEnd - kId3v1Size, marker, sizeof marker) && std::memcmp(marker, "TAG", 3) == 0) {
        plan.trailingId3 = true;
        plan.tailEnd -= kId3v1Size;
    }
    return plan;
}

std::string_view BlockBytes(const Id3v1Tag& block) {
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

uint64_t StoredLength(const Chunk& chunk) { return riff::kHeaderSize + chunk.size + chunk.size % 2; }

// Copies a chunk as stored; a chunk whose size overran its form or that lacks its pad byte is
// written with the size it really has and a pad, so that the chunks after it stay findable.
bool CopyChunk(const Chunk& chunk, riff::ChunkCopier& out) {
    if (chunk.Intact()) return out.Copy(chunk.offset, StoredLength(chunk));
    return out.Append(riff::ChunkHeader(chunk.id, static_cast<uint32_t>(chunk.size))) &&
           out.Copy(chunk.DataOffset(), chunk.size) && (chunk.size % 2 == 0 || out.Append(std::string_view("\0", 1)));
}

bool Rebuild(const RiffRewrite& plan, const std::string& infoList, const Id3v1Tag* trailingBlock,
             riff::ChunkCopier& out) {
    uint64_t formSize = riff::kTypeSize + infoList.size();
    for (const Chunk& chunk : plan.kept) formSize += StoredLength(chunk);
    if (formSize > UINT32_MAX) return false;

    const std::string formHeader =
        riff::ChunkHeader(riff::kRiff, static_cast<uint32_t>(formSize)) + std::string(plan.formType.view());
    if (!out.Copy(0, plan.formOffset) || !out.Append(formHeader)) return false;
    for (const Chunk& chunk : plan.kept)
        if (!CopyChunk(chunk, out)) return false;
    if (!out.Append(infoList) || !out.Copy(plan.tailOffset, plan.tailEnd - plan.tailOffset)) return false;
    return !trailingBlock || out.Append(BlockBytes(*trailingBlock));
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
    ChunkReader reader(source);
    auto form = reader.Descend(nullptr, Search::Form(*formType));
    if (!form) return result;
    result.formFound = true;
    auto list = reader.Descend(&*form, Search::List(info::kListType));
    if (!list) return result;
    result.infoFound = true;
    result.audioSize = static_cast<long long>(list->DataOffset() + riff::kTypeSize);

    // Encoders that put the list before the audio would otherwise give a play time of zero.
    reader.Ascend(*list);
    if (auto data = reader.Descend(&*form, Search::Id(kData)))
        result.audioSize = static_cast<long long>(data->DataEnd());

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
    auto plan = PlanRewrite(bytes, *formType);
    // A chunk that could not be read would be taken for the end of the form.
    if (!plan || source.ReadFailed()) return false;

    // The file must be writable as it stands: a read-only file is refused, never replaced.
    fs::File access;
    fs::ReplacementFile out(*path);
    if (!access.Open(*path, fs::File::Mode::ReadWrite) || !out.Create()) {
        prompter.Error("ファイルへアクセスできませんでした。\n" + shownPath);
        return false;
    }
    access.Close();

    // The file ends with the row's ID3v1 block whenever it has one: as the last INFO sub-chunk,
    // or after the form when the file had a block there or other bytes follow the form.
    const bool iid3EndsFile = addId3Chunk && plan->tailEnd == plan->tailOffset;
    const bool appendBlock = (plan->trailingId3 || addId3Chunk) && !iid3EndsFile;
    const std::string infoList = BuildInfoList(row, addId3Chunk ? &id3Block : nullptr);
    riff::ChunkCopier copier(source, out);
    if (!Rebuild(*plan, infoList, appendBlock ? &id3Block : nullptr, copier)) return false;
    return out.Commit(time ? &*time : nullptr);
}

}  // namespace wvr
