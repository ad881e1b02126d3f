#include "app/commands/Select.h"

#include <chrono>

#include "app/commands/Playlists.h"
#include "app/commands/TextFiles.h"
#include "formats/FieldMacros.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr std::array<long long, kTimeEntries.size()> kTimeBudgets = {0, 2760, 3240, 3600, 4440, 4800, 5400, 7200};
constexpr std::array<long long, kSizeEntries.size()> kSizeBudgets = {0, 16777216, 33554432, 67108864};
constexpr long long kMegabyte = 1048576;

std::optional<uint64_t> ExistingFileSize(const std::string& cp932Path) {
    auto native = fs::ToNative(cp932Path);
    return native ? fs::RegularFileSize(*native) : std::nullopt;
}

}  // namespace

long long SelectBudget(SelectMode mode, int index, long long customValue) {
    if (mode == SelectMode::Time) {
        if (index < 0 || index >= static_cast<int>(kTimeBudgets.size())) return 0;
        return index == 0 ? customValue * 60 : kTimeBudgets[index];
    }
    if (index < 0 || index >= static_cast<int>(kSizeBudgets.size())) return 0;
    return index == 0 ? customValue * 1024 : kSizeBudgets[index];
}

std::vector<Candidate> BuildCandidates(const RowList& rows, SelectMode mode) {
    std::vector<Candidate> candidates;
    candidates.reserve(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        if (mode == SelectMode::Time) {
            // A value is a length; a negative text (only a hand-made CSV holds one) counts as none.
            candidates.push_back({std::max(0LL, rows[i].SecondsValue()), i});
        } else if (auto size = ExistingFileSize(rows[i].Path)) {
            candidates.push_back({static_cast<long long>(*size), i});
        }
    }
    return candidates;
}

Selection RandomFill(std::vector<Candidate> candidates, long long budget, std::mt19937& random) {
    Selection selection;
    while (!candidates.empty()) {
        std::uniform_int_distribution<size_t> pick(0, candidates.size() - 1);
        const size_t k = pick(random);
        const Candidate drawn = candidates[k];
        // Drawn once: the last candidate takes its place.
        candidates[k] = candidates.back();
        candidates.pop_back();
        if (drawn.value <= budget - selection.total) {
            selection.chosen.push_back(drawn);
            selection.total += drawn.value;
        }
    }
    return selection;
}

std::mt19937 ClockSeededGenerator() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return std::mt19937(static_cast<std::mt19937::result_type>(now ^ (now >> 32)));
}

std::string Megabytes(long long bytes) {
    // Tenths of a megabyte, rounded half up: the pattern "0.#".
    const long long tenths = (bytes * 10 + kMegabyte / 2) / kMegabyte;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10) text += "." + std::to_string(tenths % 10);
    return text;
}

std::string SelectValueText(SelectMode mode, long long value) {
    return mode == SelectMode::Time ? FormatPlayTime(value) : Megabytes(value) + "MB";
}

std::string SelectTotalText(SelectMode mode, long long total, long long budget) {
    if (mode == SelectMode::Time) return FormatPlayTime(total) + " / " + FormatPlayTime(budget);
    return Megabytes(total) + "MB / " + Megabytes(budget) + "MB";
}

bool WritePlaylist(const std::string& cp932Path, const std::vector<TrackInfo>& rows, bool extended,
                   Prompter& prompter) {
    TextOutput out(cp932Path);
    if (!out.Create(prompter)) return false;
    if (extended) {
        out.Write(ExtendedPlaylistBytes(rows));
    } else {
        std::vector<std::string> paths;
        for (const TrackInfo& row : rows) paths.push_back(row.Path);
        out.Write(PlaylistBytes(paths));
    }
    return out.Finish(prompter);
}

void KeepOnlyRows(RowList& rows, const std::vector<int>& kept) {
    std::vector<bool> keep(rows.size(), false);
    for (int row : kept)
        if (row >= 0 && row < rows.size()) keep[row] = true;
    std::vector<int> removed;
    for (int i = 0; i < rows.size(); ++i) {
        if (!keep[i]) removed.push_back(i);
    }
    rows.Remove(std::move(removed));
    for (int i = 0; i < rows.size(); ++i) rows.Mutable(i).Checked = false;
    rows.ChangedAll();
}

}  // namespace wvr
