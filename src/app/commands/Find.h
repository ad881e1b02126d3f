// Finding the next row whose file name or any tag field holds a text, byte for byte over the
// CP932 texts, folding only ASCII letters when the case does not matter.
#pragma once

#include <string>
#include <string_view>

#include "app/commands/RowList.h"

namespace wvr {

class Prompter;

// Whether `needle` occurs in `text`. A match starts only where a character starts, never on
// the second byte of a double-byte character. Without `matchCase` an ASCII letter of the
// needle also matches the same letter in the other case; nothing else is folded. An empty
// needle never matches.
bool ContainsText(std::string_view text, std::string_view needle, bool matchCase);

// The first row at or after `start` whose FileName or Fields[0..16] holds the needle, or -1.
// The search never wraps around to the top.
int FindRow(const RowList& rows, int start, std::string_view needle, bool matchCase);

// What the main window keeps of the searches until the program ends.
struct SearchState {
    std::string SearchText;        // CP932
    int LastFoundIndex = 0;
    bool SearchMatchCase = false;  // of the last successful search from the dialog
};

// The search of the find dialog: from after the focused row, or from LastFoundIndex when no
// row is focused, or from the top. Returns the row found, or -1 after the not-found box.
int FindFromDialog(const RowList& rows, SearchState& state, const std::string& text, bool matchCase,
                   bool fromTop, int focusedRow, Prompter& prompter);

// Find next: from after the focused row with the last search's text and case choice.
// Returns the row found, or -1 (after the not-found box when something was searched).
// Does nothing without a focused row or a text; the caller opens the dialog for the latter.
int FindNext(const RowList& rows, SearchState& state, int focusedRow, Prompter& prompter);

}  // namespace wvr
