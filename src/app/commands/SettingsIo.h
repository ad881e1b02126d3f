// Reading the settings at start and writing them at close, block by block: each block stops
// at its first missing or unreadable value, keeping what it read and the defaults after it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/commands/Settings.h"

namespace wvr {

class Prompter;

void LoadSettings(Settings& settings);
// The edit window's own values, read when it is created.
void LoadEditWindowSettings(EditWindowSettings& state);
// Writes every block; a block that fails shows "レジストリへの保存に失敗しました。" once.
void SaveSettings(const Settings& settings, Prompter& prompter);

// The ini-file parts of the settings: the CSV column order in "wvr.ini".
std::vector<int> ParseCsvColumnOrder(const std::string& data0);
std::string FormatCsvColumnOrder(const std::vector<int>& columns);
void LoadCsvColumnOrder(Settings& settings);
void SaveCsvColumnOrder(const Settings& settings);

// The names of the output template sets of "wvr.ini" and of the input formats of
// "wvr_In.ini", in file order, as their submenus list them.
std::vector<std::string> OutputSetNames();
std::vector<std::string> InputFormatNames();

// One section of an ini file of the program: keys and values in file order, a value in
// double quotes read without them.
using IniEntries = std::vector<std::pair<std::string, std::string>>;
IniEntries ReadIniSection(const char* iniName, const std::string& section);
// Writes the section anew at the end of the file (the old one of that name is erased first);
// EraseIniSection only erases. False when the file could not be written; a file that is
// there but cannot be read is left alone.
bool StoreIniSection(const char* iniName, const std::string& section, const IniEntries& entries);
bool EraseIniSection(const char* iniName, const std::string& section);

inline constexpr const char* kOutputIni = "wvr.ini";
inline constexpr const char* kRegistrySaveFailed = "レジストリへの保存に失敗しました。";
inline constexpr const char* kInputIni = "wvr_In.ini";

}  // namespace wvr
