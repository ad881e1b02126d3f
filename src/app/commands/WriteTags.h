// Writing the rows' tags into their files with the writer of each kind, followed by the
// pending rename of each written row.
#pragma once

#include "app/commands/Rename.h"
#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Writes one row: the ID3v1 block for MPEG files, the INFO list for RIFF files (with the
// block in an "IID3" chunk when `addId3Chunk`), the SoundVQ chunks, the ID3v2 tag when the
// ID3v2 reader read the row; an ID3v2 row read with six texts only gets the not-supported
// message and counts as written. Then the pending rename, if any.
// Returns whether the row counts as written.
bool WriteRow(Session& session, int row, bool addId3Chunk, Prompter& prompter);

// The write command: the checked rows (every row with WitChkOff), after the count question
// unless WitInfOff or `questions` says otherwise. Failed rows stay checked; the run never
// stops early. Returns false when the user declined.
bool WriteCommand(Session& session, Prompter& prompter, BusyIndicator* busy, Questions questions = Questions::Ask);

// The edit window's write of its one row: no question, an ID3v2 row read with six texts counts
// as not written, and with WitEndClr the written row leaves the list at once. Returns whether
// it was written.
bool WriteCurrentRow(Session& session, int row, Prompter& prompter, BusyIndicator* busy);

}  // namespace wvr
