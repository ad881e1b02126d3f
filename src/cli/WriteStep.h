// The write step shared by the subcommands that change rows ("write", and "rename", "fill",
// "from-name", "text-input", "csv-load" with --write).
#pragma once

#include "app/commands/Session.h"
#include "cli/CliSupport.h"

namespace wvr {
class Prompter;
}

namespace wvr::cli {

// Runs the write command over every row without its question, then prints the rows.
// Returns kExitSomeNotDone when a row could not be written or renamed.
int WriteEveryRowAndPrint(Session& session, Prompter& prompter);

// How the subcommands that change rows end: after a run that went well, the rows are written
// (`write`) or printed; after one that did not, nothing is written, the rows are printed as
// they stand and the status is kExitSomeNotDone.
int PrintOrWrite(Session& session, Prompter& prompter, bool ranWell, bool write);

}  // namespace wvr::cli
