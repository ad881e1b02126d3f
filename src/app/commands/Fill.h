// Filling one tag field of many rows with one text, and copying every field of one row to
// all rows. Both change rows only (and check them); files change when the rows are written.
#pragma once

#include <string>

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

// Where the fill text goes: in front of the field's text, instead of it, or after it.
enum class FillMode : int { Front = 0, Replace = 1, Back = 2 };

// The fill: for each checked row (every row with FilChkOff) the field `field` (0..13) gets
// the text, expanded by the field macros for that row when FilUseMcr is on, "%n" being the
// row's position in the whole list from 1. Filled rows are checked. Returns the rows filled.
int FillRows(Session& session, int field, const std::string& text, FillMode mode);

// Copy all: after the OK/Cancel question, Fields[0..14] of `current` go into every row,
// which is checked; file names and Fields[15], Fields[16] stay. False when there is no such
// row or the user declined.
bool CopyAllFields(Session& session, int current, Prompter& prompter);

}  // namespace wvr
