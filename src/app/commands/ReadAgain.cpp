#include "app/commands/ReadAgain.h"

#include "app/commands/AddFiles.h"
#include "app/commands/DetectKind.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

std::optional<TrackInfo> ReadFile(const Session& session, const std::string& path, TagReader reader, Prompter& prompter) {
    Detection detection = DetectKind(path, prompter, {}, reader);
    if (detection.kind == FileKind::Unsupported) return std::nullopt;
    TrackInfo row;
    ReadTrack(path, detection, session.genres, row);
    return row;
}

}  // namespace

int ReadRowsAgain(Session& session, TagReader reader, Prompter& prompter, BusyIndicator* busy) {
    BusySection section(busy);
    RowList& rows = session.rows;
    int done = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (busy) busy->Progress(i + 1, rows.size());
        const TrackInfo& row = rows[i];
        if (row.FileName != path::FileName(row.Path)) continue;  // a rename waits for the write
        const auto asRead = ReadFile(session, row.Path, row.Reading.reader, prompter);
        if (!asRead || asRead->Fields != row.Fields) continue;
        auto fresh = ReadFile(session, row.Path, reader, prompter);
        if (!fresh) continue;
        fresh->Checked = row.Checked;
        rows.Edit(i, [&](TrackInfo& r) { r = std::move(*fresh); });
        ++done;
    }
    return done;
}

}  // namespace wvr
