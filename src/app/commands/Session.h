// What the commands work on: the main window's rows and settings and the genre switch that
// the last load of files left. The windows, wvr-cli and the tests each own one.
#pragma once

#include "app/commands/RowList.h"
#include "app/commands/Settings.h"
#include "formats/Genres.h"

namespace wvr {

struct Session {
    RowList rows;
    Settings settings;
    GenreTable genres;
    bool sortDescending = false;  // direction of the next sort, shared by all columns
};

// The busy section of long commands: wait cursor, window disabled (the list stays drawn).
// Commands enter it where they start their real work (after their questions).
class BusyIndicator {
public:
    virtual ~BusyIndicator() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
    // Lets the window show progress during long work: `done` of `total` files or rows (total 0
    // when it is not known). Called for every file or row; the window brings itself up to
    // date (repaints) a few times a second.
    virtual void Progress(int /*done*/, int /*total*/) {}
    // Whether the user asked to stop ("中止"). Commands ask between two files or rows, never
    // in the middle of one, so that every file is left whole; the indicator tells how many
    // were done.
    virtual bool Cancelled() { return false; }
};

// Scope guard over an optional indicator.
class BusySection {
public:
    explicit BusySection(BusyIndicator* indicator) : indicator_(indicator) {
        if (indicator_) indicator_->Begin();
    }
    ~BusySection() {
        if (indicator_) indicator_->End();
    }
    BusySection(const BusySection&) = delete;
    BusySection& operator=(const BusySection&) = delete;

private:
    BusyIndicator* indicator_;
};

}  // namespace wvr
