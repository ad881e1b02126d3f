// The write step shared by "wvr-cli write" and "wvr-cli rename --write".
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

}  // namespace wvr::cli
