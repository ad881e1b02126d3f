// What the options dialog edits: the working copy it opens on, and how its result reaches the
// settings when the user presses OK.
#pragma once

#include <string>

#include "app/commands/Settings.h"

namespace wvr {

inline constexpr int kOptionPageCount = 7;
inline constexpr int kColumnClickChoices = 3;  // sort, fill, column width
inline constexpr int kCsvIgnoreCode = 15;      // the CSV column "無視する"
inline constexpr int kCsvChoiceCount = 16;     // codes the dialog offers by name: 0..15

// The settings as the options dialog shows them. A stored value that means nothing opens on the
// first choice: a column-click action outside 0..2 as "sort", a pattern index beyond the list
// as the first pattern, a column index outside 0..14 of an exception rule or outside 0..17 of a
// filter entry as the file name; a rule lacking texts gets empty ones. Values the dialog cannot
// name but the commands use are kept: filter entries on the fields without a list column
// (15..17) and CSV codes beyond 15.
Settings OptionsWorkingCopy(const Settings& settings);

// OK: the values the dialog edits, in this order: the option bits; the column-click action,
// player, engineer and lyrics folder; the rename patterns and the selected one; the fonts; the
// filter mode; the exception rules; the filter; the CSV column order and file options. Window
// sizes, column widths and the edit window's own values are not the dialog's business and stay.
void ApplyOptions(Settings& settings, const Settings& edited);

// The help topic of options page 0..6: "HELPC_0019" .. "HELPC_0025".
std::string OptionsHelpTopic(int page);

}  // namespace wvr
