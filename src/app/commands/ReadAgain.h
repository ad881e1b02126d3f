// When the ID3v2 setting changes, the rows are read again by the reader it now chooses, so that
// what the list shows is what the next write would act on. A row with unwritten changes keeps
// its reading, and so the writer of that reading.
#pragma once

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Reads again, by `reader`, every row whose texts and name are still what its file gives by its
// own reading; check marks and the order stay. Returns the number of rows read again.
int ReadRowsAgain(Session& session, TagReader reader, Prompter& prompter, BusyIndicator* busy);

}  // namespace wvr
