#include "app/commands/AddFiles.h"

#include <chrono>
#include <utility>

#include "app/commands/DetectKind.h"
#include "app/commands/FilePrefetch.h"
#include "app/commands/ListedPaths.h"
#include "formats/Id3v1.h"
#include "formats/PathText.h"
#include "formats/RiffInfo.h"
#include "formats/SjisText.h"
#include "formats/id3v2/SixTexts.h"
#include "formats/SoundVq.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

using Fields = std::array<std::string, kFieldCount>;

void ReadTrailingId3v1(fs::File& file, const GenreTable& genres, Fields& fields) {
    const uint64_t size = file.SizeAtOpen();
    uint8_t block[kId3v1Size];
    if (size < kId3v1Size || !file.ReadExact(size - kId3v1Size, block, sizeof block)) return;
    auto tag = ParseId3v1(block, genres);
    if (!tag) return;
    fields[kTitle] = std::move(tag->title);
    fields[kArtist] = std::move(tag->artist);
    fields[kAlbum] = std::move(tag->album);
    fields[kDate] = std::move(tag->year);
    fields[kComment] = std::move(tag->comment);
    fields[kGenre] = std::move(tag->genre);
}

// The texts of a file's ID3v2 tag and how they were read; the audio size is what lies between
// the tag and the ID3v1 block or the end of the file.
long long ReadTaggedMpeg(Detection& d, const GenreTable& genres, Fields& fields, TagReading& reading) {
    const uint64_t size = d.file.SizeAtOpen();
    id3v2::TagFields texts = id3v2::ReadTaggedFields(d.file, *d.tagged, genres);
    for (int f = 0; f < kFieldCount; ++f) fields[f] = std::move(texts.fields[f]);
    reading = {TagReader::Id3v2, texts.lossy, texts.shiftJisInLatin1};
    const uint64_t tagEnd = d.tagged->tagEnd;
    uint64_t audioEnd = size;
    char marker[3];
    if (size >= tagEnd + kId3v1Size && d.file.ReadExact(size - kId3v1Size, marker, 3) &&
        std::string_view(marker, 3) == "TAG")
        audioEnd -= kId3v1Size;
    return static_cast<long long>(audioEnd - std::min(audioEnd, tagEnd));
}

// The six texts of the plain listing: title, artist, album, comment, year, content type.
void ReadSixTexts(fs::File& file, Fields& fields) {
    std::array<std::string, 6> texts = id3v2::ReadSixTexts(file);
    for (size_t i = 0; i < texts.size(); ++i) fields[id3v2::kSixTextFields[i]] = std::move(texts[i]);
}

// Tags and audio size of one file by its kind; fills the fields and returns AudioSize.
long long ReadTags(Detection& d, const GenreTable& genres, Fields& fields, TagReading& reading) {
    long long audioSize = static_cast<long long>(d.file.SizeAtOpen()) - static_cast<long long>(kId3v1Size);
    if (d.kind == FileKind::Id3v2Mpeg && d.tagged) return ReadTaggedMpeg(d, genres, fields, reading);
    if (d.kind == FileKind::Id3v2Mpeg) {
        ReadSixTexts(d.file, fields);
        return audioSize;
    }
    if (d.kind == FileKind::SoundVq) {
        if (auto dsiz = ReadSoundVqTags(d.file, fields)) audioSize = *dsiz;
    }
    ReadTrailingId3v1(d.file, genres, fields);
    if (d.kind == FileKind::RiffWave || d.kind == FileKind::RiffRmp3) {
        RiffInfoList info = ReadRiffInfo(d.file, d.kind);
        if (info.formFound && info.infoFound) {
            audioSize = info.audioSize;
            fields = std::move(info.texts);
        }
    }
    return audioSize;
}

}  // namespace

AudioInfo PropertyText(const Detection& d, long long audioSize) {
    static const std::string id3v2Text = cp932::Text("MP3 ID3v2 (未サポート) ");
    // A tag that is read gives the row the properties of its audio, labelled as a plain file's;
    // a Xing or VBRI count gives the true play time of a variable bit rate.
    if (d.kind == FileKind::Id3v2Mpeg && d.tagged) {
        if (!d.tagged->audioStart) return {};
        const int mpeg = static_cast<int>(FileKind::Mpeg);
        return d.tagged->count ? FormatCountedAudioInfo(d.header, *d.tagged->count, audioSize, mpeg)
                               : FormatAudioInfo(d.header, audioSize, mpeg);
    }
    if (d.kind == FileKind::Mpeg && d.count)
        return FormatCountedAudioInfo(d.header, *d.count, audioSize, static_cast<int>(d.kind));
    if (d.kind == FileKind::Id3v2Mpeg) return {id3v2Text, 0};
    if (d.kind == FileKind::SoundVq) return SoundVqInfoText(d.header, audioSize);
    return FormatAudioInfo(d.header, audioSize, static_cast<int>(d.kind));
}

void ReadTrack(std::string rowPath, Detection& detection, const GenreTable& genres, TrackInfo& row) {
    // The texts are read straight into the row and trimmed there.
    const long long audioSize = ReadTags(detection, genres, row.Fields, row.Reading);
    AudioInfo info = PropertyText(detection, audioSize);

    row.FileName = path::FileName(rowPath);
    for (std::string& field : row.Fields) sjis::TrimInPlace(field);
    row.AudioSize = std::to_string(audioSize);
    row.Path = std::move(rowPath);
    row.Kind = std::to_string(static_cast<int>(detection.kind));
    row.InfoText = std::move(info.infoText);
    row.Seconds = std::to_string(info.seconds);
}

std::optional<TrackInfo> ReadFileAsRow(const std::string& rowPath, TagReader reader, const GenreTable& genres,
                                       Prompter& prompter) {
    Detection detection = DetectKind(rowPath, prompter, {}, reader);
    if (detection.kind == FileKind::Unsupported) return std::nullopt;
    TrackInfo row;
    ReadTrack(rowPath, detection, genres, row);
    return row;
}

bool PassesFilter(const TrackInfo& row, const std::vector<FilterEntry>& filter, bool includeMode) {
    auto value = [&](int index) -> const std::string& {
        static const std::string none;
        if (index == 0) return row.FileName;
        return index >= 1 && index <= kFieldCount ? row.Fields[index - 1] : none;
    };
    if (includeMode) return !filter.empty() && value(filter[0].Index) == filter[0].Str;
    for (size_t i = 1; i < filter.size(); ++i)
        if (filter[i].Checked && value(filter[i].Index) == filter[i].Str) return false;
    return true;
}

int AddFiles(Session& session, WorkList& work, const AddOptions& options, Prompter& prompter,
             BusyIndicator* progress) {
    session.genres.ownGenres = options.extendedGenres;
    bool clearPending = options.clearFirst;

    // At most one row per entry; memory that is reserved but never written costs nothing.
    session.rows.Reserve(session.rows.size() + work.size());
    ListedPaths listed(session.rows, work, session.rows.size() + work.size());
    // Rows about to be cleared do not make their files duplicates.
    if (!clearPending)
        for (int row = 0; row < session.rows.size(); ++row) listed.AddRow(row);

    // Rows reach the list in batches so that a view over it is not told 50,000 times. The
    // batch is reserved whole, since moving rows as a vector grows is costly, and kept small,
    // since every page of it is memory the kernel must clear on first touch.
    constexpr size_t kBatchRows = 256;
    std::vector<TrackInfo> pending;
    int added = 0;
    int looked = 0;  // entries of the work list taken so far
    auto lastFlush = std::chrono::steady_clock::now();
    auto flush = [&] {
        if (!pending.empty() && std::exchange(clearPending, false)) session.rows.Clear();
        added += static_cast<int>(pending.size());
        session.rows.Append(std::move(pending));
        pending.clear();
        if (progress) progress->Progress(looked, static_cast<int>(work.size()));
        lastFlush = std::chrono::steady_clock::now();
    };

    // The files are opened and their heads and tails read ahead on other threads; this loop
    // still reads every file itself, in order, so rows, questions and messages come as before.
    FilePrefetch prefetch(work);
    size_t headBytes = 0;  // the first read of the next file
    for (size_t i = 0; i < work.size(); ++i) {
        if (progress && progress->Cancelled()) break;
        fs::File opened = prefetch.Take(i);
        looked = static_cast<int>(i) + 1;
        // A path already listed is passed over before its file is even opened. The entry is
        // copied: the list may grow while we read.
        if (listed.Contains(work[i])) continue;
        std::string entry = work[i];
        Detection detection = DetectKind(entry, prompter, std::move(opened), options.tagReader, headBytes);
        headBytes = HeadBytesAfter(detection);
        if (detection.kind == FileKind::Unsupported) continue;
        // The row is read straight into the batch and taken back out when the filter drops it.
        if (pending.empty()) pending.reserve(kBatchRows);
        TrackInfo& row = pending.emplace_back();
        ReadTrack(std::move(entry), detection, session.genres, row);
        detection.file.Close();
        if (options.filter && !PassesFilter(row, *options.filter, options.includeMode)) {
            pending.pop_back();
            continue;
        }
        listed.AddEntry(i);
        if (pending.size() >= kBatchRows || std::chrono::steady_clock::now() - lastFlush > std::chrono::milliseconds(100))
            flush();
    }
    flush();
    return added;
}

TagReader ReaderOfSettings(const Settings& settings) {
    return settings.Id3v2Edit ? TagReader::Id3v2 : TagReader::Kind;
}

AddOptions AddOptionsFromSettings(const Settings& settings) {
    AddOptions o;
    o.clearFirst = settings.Get(Option::EdtAddClr);
    o.extendedGenres = settings.Get(Option::OptGenreOn);
    o.includeMode = settings.FilterSel;
    o.filter = settings.Get(Option::Filter) ? &settings.Filter : nullptr;
    o.tagReader = ReaderOfSettings(settings);
    return o;
}

AddOptions CommandLineAddOptions(const Settings& settings) {
    AddOptions o = AddOptionsFromSettings(settings);
    o.extendedGenres = false;
    o.includeMode = false;
    return o;
}

}  // namespace wvr
