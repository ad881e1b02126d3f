#include "app/commands/TagsFromName.h"

#include <optional>

#include "app/commands/NamedSets.h"
#include "app/commands/RegistryReads.h"
#include "formats/CommaText.h"
#include "formats/PathText.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"
#include "platform/core/Registry.h"

namespace wvr {
namespace {

constexpr const char* kToTag = "ToTag";
constexpr const char* kParseFailed = "うまく読み込めませんでした。設定等を見直してください。\n\n     ";

void EnsureDefaultFirst(std::vector<std::string>& patterns, int& index, const char* pattern) {
    if (patterns.empty()) {
        patterns.push_back(pattern);
        index = 0;
    } else if (patterns[0].empty()) {
        patterns[0] = pattern;
        index = 0;
    }
    if (index < 0 || index >= static_cast<int>(patterns.size())) index = 0;
}

std::string Selected(const std::vector<std::string>& patterns, int index) {
    return index >= 0 && index < static_cast<int>(patterns.size()) ? patterns[index] : std::string();
}

// The folder that holds the file, without its final separator.
std::string FolderWithoutSeparator(const std::string& path) {
    std::string folder = path::Folder(path);
    if (!folder.empty()) folder.pop_back();
    return folder;
}

}  // namespace

FromNameSettings LoadFromNameSettings() {
    FromNameSettings s;
    if (auto key = RegistryKey::Open(kToTag, false)) {
        // A missing pattern list reads as empty and gets its default below.
        auto list = [](std::vector<std::string>& target) {
            return [&target](std::string text) { target = SplitCommaText(text); };
        };
        ReadBlock(*key)
            .Flag("ToTagOW1", s.overwriteFromFile)
            .Flag("UseDir", s.useFolder)
            .Flag("ToTagOW2", s.overwriteFromFolder)
            .Flag("ToSpace", s.underscoresToSpaces)
            .TextOrEmpty("Seed1Str", list(s.filePatterns))
            .TextOrEmpty("Seed2Str", list(s.folderPatterns))
            .Number("Seed1Idx", s.filePatternIndex)
            .Number("Seed2Idx", s.folderPatternIndex)
            .Flag("ZenEiTo", s.halfWidth)
            .Flag("ZenKanaTo", s.kanaToHalfWidth);
    }
    const FromNameSettings defaults;
    EnsureDefaultFirst(s.filePatterns, s.filePatternIndex, defaults.filePatterns[0].c_str());
    EnsureDefaultFirst(s.folderPatterns, s.folderPatternIndex, defaults.folderPatterns[0].c_str());
    return s;
}

void StoreFromNameSettings(const FromNameSettings& s, Prompter& prompter) {
    auto key = RegistryKey::Open(kToTag, true);
    bool ok = key.has_value();
    auto integer = [&](const char* name, int v) { ok = ok && key->WriteInteger(name, v); };
    integer("ToTagOW1", s.overwriteFromFile);
    integer("UseDir", s.useFolder);
    integer("ToTagOW2", s.overwriteFromFolder);
    integer("ToSpace", s.underscoresToSpaces);
    integer("ZenEiTo", s.halfWidth);
    integer("ZenKanaTo", s.kanaToHalfWidth);
    integer("Seed1Idx", s.filePatternIndex);
    ok = ok && key->WriteString("Seed1Str", JoinCommaText(s.filePatterns));
    integer("Seed2Idx", s.folderPatternIndex);
    ok = ok && key->WriteString("Seed2Str", JoinCommaText(s.folderPatterns));
    if (!ok || !key->Flush()) prompter.Plain(kRegistrySaveFailed);
}

FromNameRun RunFromSettings(const FromNameSettings& s) {
    FromNameRun run;
    run.filePattern = Selected(s.filePatterns, s.filePatternIndex);
    run.useFolder = s.useFolder;
    run.folderPattern = Selected(s.folderPatterns, s.folderPatternIndex);
    run.fileOptions = {s.overwriteFromFile, s.underscoresToSpaces, s.halfWidth};
    run.folderOptions = {s.overwriteFromFolder, s.underscoresToSpaces, s.halfWidth};
    return run;
}

bool TagsFromNameCommand(Session& session, const FromNameRun& run, Prompter& prompter, int* failedRow,
                         BusyIndicator* busy) {
    RowList& rows = session.rows;
    const bool allRows = session.settings.Get(Option::GetChkOff);
    BusySection section(busy);
    const int total = allRows ? rows.size() : rows.CheckedCount();
    int done = 0;
    int first = -1;  // the rows looked at, told to the list's view once
    auto changed = [&](int last) {
        if (first >= 0) rows.Changed(first, last);
    };
    for (int i = 0; i < rows.size(); ++i) {
        if (busy && busy->Cancelled()) break;
        if (!allRows && !rows[i].Checked) continue;
        TrackInfo& row = rows.Mutable(i);
        // The name on disk, not the file-name column, which may hold a pending rename.
        const std::string name = path::FileName(row.Path);
        // The name that did not match; a file in the root folder has an empty folder name.
        std::optional<std::string> failedName;
        if (!ParseByPattern(path::WithoutExtension(name), run.filePattern, row.Fields, run.fileOptions)) {
            failedName = name;
        } else if (run.useFolder) {
            const std::string folder = FolderWithoutSeparator(row.Path);
            if (!ParseByPattern(path::FileName(folder), run.folderPattern, row.Fields, run.folderOptions))
                failedName = folder;
        }
        if (first < 0) first = i;
        if (failedName) {
            changed(i);  // values stored before the failure stay
            prompter.Warning(kParseFailed + cp932::ToUtf8(*failedName));
            if (failedRow) *failedRow = i;
            return false;
        }
        row.Checked = true;
        if (busy) busy->Progress(++done, total);
    }
    changed(rows.size() - 1);
    return true;
}

}  // namespace wvr
