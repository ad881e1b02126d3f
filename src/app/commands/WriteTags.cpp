#include "app/commands/WriteTags.h"

#include <vector>

#include "formats/Id3v1.h"
#include "formats/id3v2/TaggedMpegWriter.h"
#include "formats/PathText.h"
#include "formats/RiffInfo.h"
#include "formats/SoundVq.h"
#include "app/commands/WriteJournal.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kId3v2NotSupported = "ID3v2は未サポートです";

// Puts the row's tags into its file with the writer of its kind. An unknown kind is not
// written and says nothing.
bool WriteTagsOfKind(const TrackInfo& row, const Id3v1Tag& block, bool addId3Chunk, const Session& session,
                     Prompter& prompter) {
    const GenreTable& genres = session.genres;
    switch (static_cast<FileKind>(row.KindCode())) {
    case FileKind::Mpeg: return WriteId3v1Tag(row.Path, block, prompter);
    case FileKind::RiffWave:
    case FileKind::RiffRmp3: return WriteRiffInfo(row, block, addId3Chunk, prompter);
    case FileKind::SoundVq: return WriteSoundVqTags(row, genres, prompter);
    case FileKind::Id3v2Mpeg:
        // Only the reader that read every field of the tag may write it.
        if (row.Reading.reader == TagReader::Id3v2)
            return WriteId3v2Tag(row, genres, Id3v2WriteMode::ChangedFields, prompter);
        // Nothing can be written, yet the row is done with: it counts as written.
        prompter.Error(kId3v2NotSupported);
        return true;
    default: return false;
    }
}

// A written row loses its check mark unless the settings keep it.
void ClearCheckUnlessKept(Session& session, int row) {
    const Settings& settings = session.settings;
    if (settings.Get(Option::WitChkOff) || settings.Get(Option::WitUnChk)) return;
    session.rows.Edit(row, [](TrackInfo& r) { r.Checked = false; });
}

}  // namespace

bool WriteRow(Session& session, int row, bool addId3Chunk, Prompter& prompter) {
    TrackInfo& track = session.rows.Mutable(row);
    // Built for every kind: RIFF files may carry the block too.
    const Id3v1Tag block = BuildId3v1Tag(track, session.genres);
    bool written = WriteTagsOfKind(track, block, addId3Chunk, session, prompter);
    if (written && track.FileName != path::FileName(track.Path)) {
        // The tags are in the file already; a failed move still makes the row count as not written.
        written = RenameStep(track, session.settings, prompter);
        session.rows.Changed(row, row);
    }
    return written;
}

bool WriteCommand(Session& session, Prompter& prompter, BusyIndicator* busy, Questions questions) {
    journal::JournalRun run("書き込み", &prompter);
    const Settings& settings = session.settings;
    RowList& rows = session.rows;
    if (questions == Questions::Ask && !settings.Get(Option::WitInfOff) &&
        !ConfirmCheckedCount(rows.CheckedCount(), "書き込んでもよろしいですか？", prompter))
        return false;

    BusySection section(busy);
    const bool allRows = settings.Get(Option::WitChkOff);
    const int total = allRows ? rows.size() : rows.CheckedCount();
    int done = 0;
    std::vector<int> written;
    for (int i = 0; i < rows.size(); ++i) {
        if (busy && busy->Cancelled()) break;
        if (!rows[i].Checked && !allRows) continue;
        if (WriteRow(session, i, settings.Get(Option::WitID3Add), prompter)) {
            ClearCheckUnlessKept(session, i);
            written.push_back(i);
        }
        if (busy) busy->Progress(++done, total);
    }
    if (settings.Get(Option::WitEndClr)) rows.Remove(std::move(written));
    return true;
}

bool WriteCurrentRow(Session& session, int row, Prompter& prompter, BusyIndicator* busy) {
    if (row < 0 || row >= session.rows.size()) return false;
    journal::JournalRun run("編集ウィンドウの書き込み", &prompter);
    BusySection section(busy);
    const TrackInfo& track = session.rows[row];
    if (track.KindCode() == static_cast<int>(FileKind::Id3v2Mpeg) && track.Reading.reader != TagReader::Id3v2) {
        prompter.Error(kId3v2NotSupported);
        return false;
    }
    if (!WriteRow(session, row, session.settings.Get(Option::WitID3Add), prompter)) return false;
    ClearCheckUnlessKept(session, row);
    if (session.settings.Get(Option::WitEndClr)) session.rows.Remove(row);
    return true;
}

}  // namespace wvr
