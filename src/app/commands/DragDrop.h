// The list side of drag and drop: which rows a drag takes out, and what a drop onto the list
// adds (playlists read, CSV files passed over, folders scanned) or attaches as lyrics.
#pragma once

#include <string>
#include <vector>

#include "app/commands/FileScan.h"
#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Key-state bits of a drop: mouse buttons and keys held.
enum KeyState : int { kKeyLeft = 1, kKeyRight = 2, kKeyShift = 4, kKeyCtrl = 8 };

// The rows a drag out of the list takes, in row order: the checked rows when the highlighted
// row is one of them, otherwise only the highlighted row. None without a highlighted row.
std::vector<int> RowsToDrag(const RowList& rows, int highlighted);

// Whether a drop starts a new list: EdtAddClr, turned round by Shift.
bool DropStartsNewList(const Settings& settings, int keyState);

// Whether a drop is a lyrics file for the focused row: LrcDrop on, one name ending in ".txt"
// (any letter case), and a row focused.
bool IsLyricsDrop(const std::vector<std::string>& names, const Settings& settings, int focusedRow);
// Moves the dropped lyrics file beside the row's file, named like it with the dropped file's
// extension, by the rename step's move (with its messages).
bool AttachLyricsFile(const std::string& dropped, const TrackInfo& row, Prompter& prompter);

// The work list of dropped names: ".m3u" (any letter case) read as playlists, ".csv" passed
// over, anything else taken as a file, folder or pattern. Names met in folders that CP932
// cannot hold go into `skipped`.
WorkList CollectDroppedNames(const std::vector<std::string>& names, SkippedNames* skipped = nullptr);

// What the user is told about the names a drop left out (native): how many and which.
std::string SkippedNamesMessage(const SkippedNames& skipped);

}  // namespace wvr
