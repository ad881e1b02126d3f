// "ID3v2 タグを作成": gives the checked rows of plain MPEG files (kind 1) and of files with an
// ID3v2 tag (kind 4) a tag that holds their texts in Unicode, so that players that know no
// Shift-JIS show them.
#pragma once

#include "app/commands/Rename.h"
#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Whether the command takes the row: kind 1 or 4.
bool TakesId3v2Tag(const TrackInfo& row);

// For each checked row of kind 1 or 4: a plain file gets a new tag of `major` version (3 or 4;
// 0 for the configured one) before its audio; a tagged file has its changed fields and its
// Latin-1 frames holding Shift-JIS rewritten in Unicode, keeping its version. Asks as the write
// command asks (unless WitInfOff or `questions` says otherwise). Written rows are read again
// from their files and lose their check mark as written rows do. Returns false when the user
// declined.
bool CreateId3v2Command(Session& session, int major, Prompter& prompter, BusyIndicator* busy,
                        Questions questions = Questions::Ask);

}  // namespace wvr
