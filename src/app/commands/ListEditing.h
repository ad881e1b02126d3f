// What the user does to the rows as a list: check marks, deleting, moving, sorting, and the
// in-place rename of the file-name column.
#pragma once

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

void CheckAll(RowList& rows);
void UncheckAll(RowList& rows);
void InvertChecks(RowList& rows);
void ToggleCheck(RowList& rows, int row);

// Asks "チェックされているアイテムは、N個あります。\nリストから削除してもよろしいですか？" and
// removes the checked rows on Yes. Returns whether rows were removed.
bool DeleteCheckedRows(RowList& rows, Prompter& prompter);

// Swaps the whole content of row `row` with its neighbour above (up) or below; returns the
// neighbour's index (where the moved file now is), or -1 when nothing moved.
int MoveRow(RowList& rows, int row, bool up);

// Sorts by list column n with the locale's collation, in the session's next direction, and
// flips that direction.
void SortRows(Session& session, int column);

// The end of an in-place edit of column 0: the row is checked when the text changed, and
// the text becomes its FileName in every case. Returns whether the text changed.
bool CommitFileNameEdit(RowList& rows, int row, const std::string& text);

}  // namespace wvr
