// Taking runs of the write journal back: listing them, showing what one changed, undoing one
// (each file rebuilt whole through the crash-safe replacement, itself a journaled run), and
// finishing the runs a crash left open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/commands/JournalEntry.h"

namespace wvr::journal {

// Every run in the journal, newest first.
std::vector<Entry> ReadRuns();
std::optional<Entry> ReadRun(const std::string& id);
// Runs that were killed: open, and no live process writes them.
std::vector<Entry> InterruptedRuns();

// What taking a run back did: files restored, and each file left with the reason (UTF-8).
struct UndoReport {
    int restored = 0;
    std::vector<std::string> left;
};

// Why the run cannot be taken back now ("" when it can): taken back already, kept without
// undo, or still being written by a live process.
std::string WhyNotUndoable(const Entry& run);

enum class UndoMode {
    // A file is restored only when its changed bytes are still those the run wrote.
    Checked,
    // A killed run: a write may have been cut half-way, so what was kept is put back whatever
    // is there now; a rebuild is taken back only where it reached the file.
    Recovery,
};

// Takes the run back as one run of its own ("undo"), newest change first, and marks the run
// undone. Each file gets back its bytes, its name and its last-write time.
UndoReport UndoRun(const Entry& run, UndoMode mode);

// One line per file and field that the run changed: the path, the field, the old and the new
// text (UTF-8); a move: the path, "名前", the old and the new name.
struct ShownChange {
    std::string path, field, before, after;
};
std::vector<ShownChange> ShowRun(const Entry& run);

}  // namespace wvr::journal
