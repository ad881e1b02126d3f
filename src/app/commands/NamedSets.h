// The named sets that the output and input dialogs keep as sections of their ini files:
// storing under a name (some names are the program's own and refused), deleting, and the
// remembered choice of a dialog in the settings store.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/commands/SettingsIo.h"

namespace wvr {

class Prompter;

// Whether a name may not be used: empty, or one of `reserved`. Letter case is ignored as the
// ini file ignores it, so that no set can overwrite a section of the program's own.
bool IsRefusedSetName(const std::string& name, std::initializer_list<const char*> reserved);

// Stores `entries` as the section `name`; a refused name shows "この名前は使用出来ません。
// 変更してください。", a name the ini file cannot hold (a "]", blanks at either end) says so,
// and nothing is stored. False when nothing was stored (after a message).
bool StoreNamedSet(const char* iniName, const std::string& name, std::initializer_list<const char*> reserved,
                   const IniEntries& entries, Prompter& prompter);
bool DeleteNamedSet(const char* iniName, const std::string& name, Prompter& prompter);
// Appends prefix + "0", prefix + "1", ... for the lines, each in double quotes so that
// leading and trailing spaces survive the ini file.
void AppendQuotedLines(IniEntries& entries, const char* prefix, const std::vector<std::string>& lines);

// An integer of a dialog's own subkey; nothing when the key or the value is missing.
std::optional<int> ReadDialogInteger(const char* subkey, const char* name);
// Writes it, creating the key; "レジストリへの保存に失敗しました。" when that fails.
void StoreDialogInteger(const char* subkey, const char* name, int value, Prompter& prompter);

}  // namespace wvr
