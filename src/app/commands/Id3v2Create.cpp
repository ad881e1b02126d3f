#include "app/commands/Id3v2Create.h"

#include "app/commands/AddFiles.h"
#include "app/commands/DetectKind.h"
#include "formats/SjisText.h"
#include "formats/id3v2/SixTexts.h"
#include "formats/id3v2/TaggedMpeg.h"
#include "formats/id3v2/TaggedMpegWriter.h"

namespace wvr {
namespace {

int CheckedTaggableRows(const RowList& rows) {
    int count = 0;
    for (const TrackInfo& row : rows) count += row.Checked && TakesId3v2Tag(row);
    return count;
}

// A tagged row that was read with six texts is read again by the ID3v2 reader, so that the
// fields it never read are not taken as emptied; the six texts the user changed since stay.
std::optional<TrackInfo> RowForTagWriter(Session& session, const TrackInfo& row, Prompter& prompter) {
    if (row.KindCode() != static_cast<int>(FileKind::Id3v2Mpeg) || row.Reading.reader == TagReader::Id3v2) return row;
    std::optional<TrackInfo> fresh = ReadFileAsRow(row.Path, TagReader::Id3v2, session.genres, prompter);
    if (!fresh) return std::nullopt;
    fs::File file;
    const auto native = fs::ToNative(row.Path);
    if (!native || !file.Open(*native, fs::File::Mode::Read)) return std::nullopt;
    const std::array<std::string, 6> stored = id3v2::ReadSixTexts(file);
    for (size_t i = 0; i < stored.size(); ++i) {
        const Field f = id3v2::kSixTextFields[i];
        if (row.Fields[f] != sjis::Trim(stored[i])) fresh->Fields[f] = row.Fields[f];
    }
    return fresh;
}

bool WriteOneRow(Session& session, const TrackInfo& row, int major, Prompter& prompter) {
    if (row.KindCode() == static_cast<int>(FileKind::Mpeg)) return CreateId3v2Tag(row, major, prompter);
    const std::optional<TrackInfo> tagged = RowForTagWriter(session, row, prompter);
    return tagged && WriteId3v2Tag(*tagged, session.genres, Id3v2WriteMode::Unicode, prompter);
}

// The row as the file now reads through its new tag (its kind and audio size change), also
// with the setting off, under which an ID3v2.4 file would not be listed; the name column keeps
// a pending rename.
void ReadRowAgain(Session& session, int index, Prompter& prompter) {
    const TrackInfo& old = session.rows[index];
    std::optional<TrackInfo> fresh = ReadFileAsRow(old.Path, TagReader::Id3v2, session.genres, prompter);
    if (!fresh) return;
    fresh->FileName = old.FileName;
    fresh->Checked = old.Checked;
    session.rows.Edit(index, [&](TrackInfo& r) { r = std::move(*fresh); });
}

}  // namespace

bool TakesId3v2Tag(const TrackInfo& row) {
    const int kind = row.KindCode();
    return kind == static_cast<int>(FileKind::Mpeg) || kind == static_cast<int>(FileKind::Id3v2Mpeg);
}

bool CreateId3v2Command(Session& session, int major, Prompter& prompter, BusyIndicator* busy, Questions questions) {
    const Settings& settings = session.settings;
    if (questions == Questions::Ask && !settings.Get(Option::WitInfOff) &&
        !ConfirmCheckedCount(CheckedTaggableRows(session.rows), "書き込んでもよろしいですか？", prompter))
        return false;
    if (major == 0) major = settings.Id3v2Version == 4 ? 4 : 3;

    BusySection section(busy);
    for (int i = 0; i < session.rows.size(); ++i) {
        if (busy && busy->Cancelled()) break;
        const TrackInfo& row = session.rows[i];
        if (!row.Checked || !TakesId3v2Tag(row)) continue;
        if (!WriteOneRow(session, row, major, prompter)) continue;
        ReadRowAgain(session, i, prompter);
        if (!settings.Get(Option::WitUnChk)) session.rows.Edit(i, [](TrackInfo& r) { r.Checked = false; });
        if (busy) busy->Progress(i + 1, session.rows.size());
    }
    return true;
}

}  // namespace wvr
