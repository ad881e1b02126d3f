// Every way of getting files into the list ends here: AddFiles turns a work list of paths
// into rows, reading each file with the readers of its kind.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/commands/DetectKind.h"
#include "app/commands/FileScan.h"
#include "app/commands/Session.h"

namespace wvr {

class Prompter;

struct AddOptions {
    // The rows added replace the list: it is cleared just before the first of them, so that
    // adding nothing leaves it as it was.
    bool clearFirst = false;
    bool extendedGenres = false;                   // genre numbers 251..255 have names
    bool includeMode = false;                      // the filter keeps only entry 0's matches
    const std::vector<FilterEntry>* filter = nullptr;  // none: no filter
    TagReader tagReader = TagReader::Kind;         // how files with an ID3v2 tag are read
};

// The property text and play time of a recognised file for an audio size, by its kind.
AudioInfo PropertyText(const Detection& detection, long long audioSize);

// Reads one recognised file into an empty row (texts trimmed), noting how it was read.
void ReadTrack(std::string rowPath, Detection& detection, const GenreTable& genres, TrackInfo& row);

// The row of the file at `rowPath` read by `reader`, or nothing when it is gone or of no kind.
std::optional<TrackInfo> ReadFileAsRow(const std::string& rowPath, TagReader reader, const GenreTable& genres,
                                       Prompter& prompter);

// Whether the filter lets a row in.
bool PassesFilter(const TrackInfo& row, const std::vector<FilterEntry>& filter, bool includeMode);

// Appends rows in work-list order; entries may be appended to `work` while it runs. Returns
// the number of rows added.
int AddFiles(Session& session, WorkList& work, const AddOptions& options, Prompter& prompter,
             BusyIndicator* progress = nullptr);

// The reader the settings choose for files with an ID3v2 tag: the one setting read when rows
// are made, and never when they are written.
TagReader ReaderOfSettings(const Settings& settings);

// The options of the open-files, open-folder and drop commands, from the settings.
AddOptions AddOptionsFromSettings(const Settings& settings);
// The options of the command line: no extended genres, the filter in exclusion mode.
AddOptions CommandLineAddOptions(const Settings& settings);

}  // namespace wvr
