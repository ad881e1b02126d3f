// Tags from file names: the checked rows' fields read out of each file's name, and out of
// the name of the folder that holds it, by the patterns of the dialog's two lists.
#pragma once

#include <string>
#include <vector>

#include "app/commands/Session.h"
#include "formats/PatternParser.h"

namespace wvr {

class Prompter;

// What the dialog keeps in the settings store (subkey "ToTag").
struct FromNameSettings {
    std::vector<std::string> filePatterns = {"[%1]%?%2"};  // Seed1Str
    int filePatternIndex = 0;                               // Seed1Idx
    std::vector<std::string> folderPatterns = {"[%1]%?%3"};  // Seed2Str
    int folderPatternIndex = 0;                              // Seed2Idx
    bool overwriteFromFile = false;   // ToTagOW1
    bool useFolder = false;           // UseDir
    bool overwriteFromFolder = false; // ToTagOW2
    bool underscoresToSpaces = true;  // ToSpace
    bool halfWidth = true;            // ZenEiTo
    bool kanaToHalfWidth = true;      // ZenKanaTo (kept, has no effect)

    bool operator==(const FromNameSettings&) const = default;
};

// Reads the stored values in their order; a value that cannot be read leaves it and the ones
// after it at their defaults. An empty pattern list, or one whose first entry is empty,
// gets the default pattern first, selected.
FromNameSettings LoadFromNameSettings();
// Writes every value, creating the key; "レジストリへの保存に失敗しました。" when that fails.
void StoreFromNameSettings(const FromNameSettings& settings, Prompter& prompter);

// One run's choice: the patterns selected and the options of each.
struct FromNameRun {
    std::string filePattern;
    bool useFolder = false;
    std::string folderPattern;
    ParseOptions fileOptions;
    ParseOptions folderOptions;
};
FromNameRun RunFromSettings(const FromNameSettings& settings);

// Parses the checked rows (every row with GetChkOff) and checks each one done. At the first
// name that does not match, shows "うまく読み込めませんでした。…" with the name, puts the
// row's index in `failedRow` and stops; returns whether every row matched.
bool TagsFromNameCommand(Session& session, const FromNameRun& run, Prompter& prompter, int* failedRow = nullptr,
                         BusyIndicator* busy = nullptr);

}  // namespace wvr
