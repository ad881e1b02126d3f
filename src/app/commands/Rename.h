// Renaming files from their tags in two stages: the rename command only puts new names into
// the file-name column, the write commands carry them out on disk through the rename step.
#pragma once

#include "app/commands/Session.h"
#include "formats/FieldMacros.h"

namespace wvr {

class Prompter;

// Whether a batch command asks its count question first. The command line runs without it:
// running the command is the user's go-ahead.
enum class Questions { Ask, Skip };

// The name options from the settings RenSpcTrs, RenChaTrs, RenRmpMp3 and Zen2Han (the edit
// window's rename of one row clears HalfWidth and uses the pattern in use without rules).
MacroOptions RenameMacroOptions(const Settings& settings);

// Before a batch command: "no items are checked" (and go on), or the count question with
// `question` ("…してもよろしいですか？") after the count. False when the user declined.
bool ConfirmCheckedCount(int count, const std::string& question, Prompter& prompter);

// The pattern for a row: the current rename pattern, or the pattern of the first exception
// rule whose text matches the rule's field ignoring letter case (when RenOther is on).
std::string RenamePatternFor(const TrackInfo& row, const Settings& settings);

// Puts the expanded pattern into the file-name column of the checked rows (every row with
// RenChkOff); "%n" is the row's position in the whole list from 1. Nothing on disk changes
// and check marks stay. Returns false when the user declined.
bool RenameCommand(Session& session, Prompter& prompter, Questions questions = Questions::Ask,
                   BusyIndicator* busy = nullptr);

// Puts the name on disk back into the file-name column of every checked row. Returns false
// when the user declined.
bool UndoRenameCommand(Session& session, Prompter& prompter);

// The file move of the rename step (CP932 paths): never replaces a file, keeps the last-write
// time, and reports a missing file, a refused access and a taken name.
bool MoveFileStep(const std::string& from, const std::string& to, Prompter& prompter);

// Moves the row's file to its folder joined with the file-name column, never replacing a
// file, keeps its last-write time, takes lyrics files along and sets Path (and the column to
// the new file's own name). A name that is empty or leaves the folder is refused. On failure
// the file and the row stay as they were; a missing file, a refused access and a taken name
// are reported, other causes fail silently.
bool RenameStep(TrackInfo& row, const Settings& settings, Prompter& prompter);

}  // namespace wvr
