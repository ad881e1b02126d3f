#include "app/commands/DragDrop.h"

#include "app/commands/Rename.h"
#include "formats/PathText.h"

namespace wvr {
namespace {

bool HasExtension(const std::string& name, std::string_view lowerExtension) {
    const std::string extension = path::Extension(name);
    if (extension.size() != lowerExtension.size()) return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        const char c = extension[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != lowerExtension[i]) return false;
    }
    return true;
}

}  // namespace

std::vector<int> RowsToDrag(const RowList& rows, int highlighted) {
    if (highlighted < 0 || highlighted >= rows.size()) return {};
    if (!rows[highlighted].Checked) return {highlighted};
    std::vector<int> dragged;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].Checked) dragged.push_back(i);
    return dragged;
}

bool DropStartsNewList(const Settings& settings, int keyState) {
    return settings.Get(Option::EdtAddClr) != ((keyState & kKeyShift) != 0);
}

bool IsLyricsDrop(const std::vector<std::string>& names, const Settings& settings, int focusedRow) {
    return settings.Get(Option::LrcDrop) && names.size() == 1 && HasExtension(names.front(), ".txt") &&
           focusedRow >= 0;
}

bool AttachLyricsFile(const std::string& dropped, const TrackInfo& row, Prompter& prompter) {
    return MoveFileStep(dropped, path::WithoutExtension(row.Path) + path::Extension(dropped), prompter);
}

WorkList CollectDroppedNames(const std::vector<std::string>& names, SkippedNames* skipped) {
    WorkList work;
    for (const std::string& name : names) {
        if (HasExtension(name, ".m3u")) ReadPlaylist(name, work, skipped);
        else if (!HasExtension(name, ".csv")) ScanPath(name, work, skipped);
    }
    return work;
}

std::string SkippedNamesMessage(const SkippedNames& skipped) {
    // A folder may hold thousands: the box names the first few and counts the rest.
    constexpr size_t kNamed = 10;
    std::string text = "名前に Shift-JIS で表せない文字があるため、次の " + std::to_string(skipped.size()) +
                       " 個は読み込みませんでした。\n";
    for (size_t i = 0; i < skipped.size() && i < kNamed; ++i) text += "\n" + skipped[i];
    if (skipped.size() > kNamed) text += "\nほか " + std::to_string(skipped.size() - kNamed) + " 個";
    return text;
}

}  // namespace wvr
