#include "app/commands/ReadAgain.h"

#include "app/commands/AddFiles.h"
#include "formats/PathText.h"

namespace wvr {
int ReadRowsAgain(Session& session, TagReader reader, Prompter& prompter, BusyIndicator* busy) {
    BusySection section(busy);
    RowList& rows = session.rows;
    int done = 0;
    for (int i = 0; i < rows.size(); ++i) {
        if (busy) busy->Progress(i + 1, rows.size());
        const TrackInfo& row = rows[i];
        if (row.FileName != path::FileName(row.Path)) continue;  // a rename waits for the write
        const auto asRead = ReadFileAsRow(row.Path, row.Reading.reader, session.genres, prompter);
        if (!asRead || asRead->Fields != row.Fields) continue;
        auto fresh = ReadFileAsRow(row.Path, reader, session.genres, prompter);
        if (!fresh) continue;
        fresh->Checked = row.Checked;
        rows.Edit(i, [&](TrackInfo& r) { r = std::move(*fresh); });
        ++done;
    }
    return done;
}

}  // namespace wvr
