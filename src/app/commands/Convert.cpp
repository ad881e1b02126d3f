#include "app/commands/Convert.h"

#include <cstdint>

#include "app/commands/WriteJournal.h"
#include "formats/Id3v1.h"
#include "formats/MpegRiff.h"
#include "formats/PathText.h"
#include "formats/RiffInfo.h"
#include "platform/base/Cp932.h"
#include "platform/base/NewFile.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kOpenFailed = "ファイルを開けませんでした。\n";
constexpr const char* kRiffFailed = "RIFFチャンクが書き込めませんでした。";
constexpr const char* kDataFailed = "DATAチャンクが書き込めませんでした。";
constexpr const char* kSilent = "";
constexpr uint64_t kSpaceMargin = 100000;
constexpr riff::FourCC kData("data");

const char* ExtensionOf(ConvertTarget target) {
    switch (target) {
    case ConvertTarget::Mp3: return ".mp3";
    case ConvertTarget::Wave: return ".wav";
    case ConvertTarget::Rmp3: return ".rmp";
    }
    return "";
}

std::string_view BlockBytes(const Id3v1Tag& block) {
    return {reinterpret_cast<const char*>(block.data()), block.size()};
}

// Carries the audio over. A source that cannot be read (an I/O error, a file cut short
// meanwhile) fails without a message of its own, as a source without audio does: the run lists
// it among the files not converted. Only a failed write is the DATA chunk's.
const char* CopyAudio(fs::File& source, DataRange range, fs::NewFile& out) {
    bool written = true;
    if (fs::CopyPieces(source, range.offset, range.size,
                       [&](const char* data, size_t n) { return written = out.Append(data, n); }))
        return nullptr;
    return written ? kSilent : kDataFailed;
}

// Writes the RIFF form: header, the "fmt " chunk for WAVE, "data" with its pad, then the INFO
// list. Returns the message of the step that failed, kSilent for a stream WAVE may not hold,
// or nullptr when everything was written.
const char* WriteRiffTarget(TrackInfo& row, ConvertTarget target, int flags, const GenreTable& genres,
                            fs::File& source, DataRange range, fs::NewFile& out) {
    const bool wave = target == ConvertTarget::Wave;
    std::string format;
    if (wave) {
        uint8_t header[4];
        if (range.size < sizeof header || !source.ReadExact(range.offset, header, sizeof header)) return kSilent;
        if (!(flags & kConvertAnyStream) && !IsWaveStandardStream(header)) return kSilent;
        format = riff::ChunkHeader(riff::FourCC("fmt "), kWaveFormatSize) + WaveFormatData(header);
    }
    row.Fields[kSoftware] = kConvertSoftware;
    const Id3v1Tag block = BuildId3v1Tag(row, genres);
    const std::string info = BuildInfoList(row, &block);
    const uint64_t pad = range.size % 2;
    const uint64_t formSize = riff::kTypeSize + format.size() + riff::kHeaderSize + range.size + pad + info.size();
    const char* formFailed = wave ? kRiffFailed : kDataFailed;
    if (formSize > UINT32_MAX) return formFailed;

    const std::string head = riff::ChunkHeader(riff::kRiff, static_cast<uint32_t>(formSize)) +
                             std::string(wave ? "WAVE" : "RMP3");
    if (!out.Append(head) || !out.Append(format)) return formFailed;
    if (!out.Append(riff::ChunkHeader(kData, static_cast<uint32_t>(range.size)))) return kDataFailed;
    if (const char* failed = CopyAudio(source, range, out)) return failed;
    if (pad && !out.Append(std::string_view("\0", 1))) return kDataFailed;
    if (!out.Append(info)) return kRiffFailed;
    return nullptr;
}

enum class Step { Skipped, Converted, Failed, Cancelled };

// Free space for the new file: the source's size and a margin. Nothing when it cannot be told.
bool RoomFor(const std::string& targetNative, const std::string& sourceNative) {
    const auto free = fs::FreeSpace(targetNative);
    const auto size = fs::RegularFileSize(sourceNative);
    return !free || !size || *free >= *size + kSpaceMargin;
}

Step ConvertOne(Session& session, int index, ConvertTarget target, int flags, Prompter& prompter,
                ConvertReport& report) {
    TrackInfo& row = session.rows.Mutable(index);
    const Settings& settings = session.settings;
    if (row.KindCode() == static_cast<int>(target) + 1) return Step::Skipped;
    const std::string targetPath = ConvertTargetPath(row.Path, target);
    const auto targetNative = fs::ToNative(targetPath);
    const auto sourceNative = fs::ToNative(row.Path);
    if (!targetNative || !sourceNative) {
        report.failed.push_back(row.FileName);
        return Step::Failed;
    }

    bool replace = false;
    if (fs::Exists(*targetNative)) {
        // The same file under another spelling (a link, a letter case) is the same name too:
        // converting onto it would replace the source itself.
        if (targetPath == row.Path || fs::SameFile(*targetNative, *sourceNative)) {
            prompter.Warning("変換元のファイル名と変換先のファイル名が同じです。");
            return Step::Skipped;
        }
        // The question names the file: a run over many files would ask blind.
        if (!prompter.YesNo("同じ名前のファイルが存在します。上書きしますか？\n" + cp932::ToUtf8(targetPath)))
            return Step::Skipped;
        replace = true;
    }
    if (!RoomFor(*targetNative, *sourceNative)) {
        report.failed.push_back(row.FileName);
        if (flags & kConvertQuiet) return Step::Failed;
        const Prompt low{kAppTitle,
                         cp932::ToUtf8(path::Folder(targetPath)) + "ドライブの残り容量が足りません。\n" + cp932::ToUtf8(row.Path),
                         PromptIcon::Warning, PromptButtons::OkCancel};
        return prompter.Ask(low) == PromptAnswer::Ok ? Step::Failed : Step::Cancelled;
    }

    if (!settings.CnvEngineer.empty()) row.Fields[kEngineer] = settings.CnvEngineer;
    const auto sourceTime = fs::ReadLastWriteTime(*sourceNative);
    const int result = ConvertRow(row, targetPath, target, flags, replace, session.genres, prompter);
    session.rows.Changed(index, index);
    if (result != 0) {
        report.failed.push_back(row.FileName);
        return Step::Failed;
    }
    // The new file is complete on disk (Commit flushed it) before the old one goes.
    if (settings.Get(Option::CnvEndDel)) fs::RemoveFile(*sourceNative);
    if (settings.Get(Option::CnvDate) && sourceTime) fs::RestoreLastWriteTime(*targetNative, *sourceTime, prompter);
    report.written.push_back(targetPath);
    return Step::Converted;
}

void ShowOutcome(const ConvertReport& report, Prompter& prompter) {
    if (report.failed.empty()) {
        prompter.Information("変換が終了しました。");
        return;
    }
    std::string text;
    for (const std::string& name : report.failed) text += cp932::ToUtf8(name) + "\n";
    prompter.Warning(text + "\n以上のファイルがエラーで変換できませんでした。");
}

}  // namespace

std::vector<int> ConvertibleRows(const Session& session) {
    const RowList& rows = session.rows;
    const bool allRows = session.settings.Get(Option::CnvChkOff);
    std::vector<int> collected;
    for (int i = 0; i < rows.size(); ++i) {
        const int kind = rows[i].KindCode();
        // A tagged row the ID3v2 reader read has the audio properties a conversion needs.
        const bool tagged = kind == static_cast<int>(FileKind::Id3v2Mpeg) && rows[i].Reading.reader == TagReader::Id3v2;
        if ((rows[i].Checked || allRows) && ((kind >= 1 && kind <= 3) || tagged)) collected.push_back(i);
    }
    return collected;
}

std::string ConvertTargetPath(const std::string& path, ConvertTarget target) {
    if (path::Extension(path).empty()) return path;
    return path::WithoutExtension(path) + ExtensionOf(target);
}

int ConvertRow(TrackInfo& row, const std::string& targetPath, ConvertTarget target, int flags, bool replaceExisting,
               const GenreTable& genres, Prompter& prompter) {
    auto fail = [&](const char* message) {
        if (*message && !(flags & kConvertQuiet)) prompter.Error(message);
        return 1;
    };
    const auto targetNative = fs::ToNative(targetPath);
    fs::NewFile out(targetNative.value_or(std::string()));
    if (!targetNative || !out.Create()) return fail(kOpenFailed);

    const auto sourceNative = fs::ToNative(row.Path);
    fs::File source;
    if (!sourceNative || !source.Open(*sourceNative, fs::File::Mode::Read)) return fail(kSilent);
    riff::FileSource bytes(source);
    const auto range = MpegDataRange(bytes, static_cast<FileKind>(row.KindCode()));
    if (!range) return fail(kSilent);

    if (target == ConvertTarget::Mp3) {
        const Id3v1Tag block = BuildId3v1Tag(row, genres);
        // A leading ID3v2 tag goes along with the audio.
        DataRange copied = *range;
        if (row.KindCode() == static_cast<int>(FileKind::Id3v2Mpeg)) copied = {0, range->offset + range->size};
        if (const char* failed = CopyAudio(source, copied, out)) return fail(failed);
        if (!out.Append(BlockBytes(block))) return fail(kDataFailed);
    } else if (const char* failed = WriteRiffTarget(row, target, flags, genres, source, *range, out)) {
        return fail(failed);
    }
    const auto existing = replaceExisting ? fs::NewFile::Existing::Replace : fs::NewFile::Existing::Keep;
    if (!out.Commit(existing)) return fail(target == ConvertTarget::Mp3 ? kDataFailed : kRiffFailed);
    return 0;
}

ConvertReport ConvertCommand(Session& session, const std::vector<int>& collected, ConvertTarget target,
                             Prompter& prompter, BusyIndicator* busy) {
    journal::JournalRun run("変換", &prompter);
    const Settings& settings = session.settings;
    const int flags = (settings.Get(Option::WavCnv) ? kConvertAnyStream : 0) |
                      (settings.Get(Option::CnvErrOff) ? kConvertQuiet : 0);
    ConvertReport report;
    std::vector<int> converted;
    {
        BusySection section(busy);
        int done = 0;
        for (int index : collected) {
            if (busy && busy->Cancelled()) break;
            if (index < 0 || index >= session.rows.size()) continue;
            const Step step = ConvertOne(session, index, target, flags, prompter, report);
            if (step == Step::Converted) converted.push_back(index);
            if (step == Step::Cancelled) break;
            if (busy) busy->Progress(++done, static_cast<int>(collected.size()));
        }
        session.rows.Remove(converted);
    }
    ShowOutcome(report, prompter);
    return report;
}

}  // namespace wvr
