#include "app/commands/RowList.h"

#include <algorithm>

namespace wvr {

void RowList::Edit(int i, const std::function<void(TrackInfo&)>& edit) {
    edit(rows_[i]);
    Changed(i, i);
}

void RowList::Changed(int first, int last) {
    if (observer_) observer_->RowsChanged(first, last);
}

void RowList::Append(std::vector<TrackInfo> rows) {
    if (rows.empty()) return;
    if (observer_) observer_->RowsAboutToBeInserted(size(), static_cast<int>(rows.size()));
    // Into an empty list without room of its own the rows come whole, none of them moved.
    if (rows_.empty() && rows_.capacity() < rows.size()) rows_.swap(rows);
    else rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    if (observer_) observer_->RowsInserted();
}

void RowList::Append(TrackInfo row) { Insert(size(), std::move(row)); }

void RowList::Insert(int at, TrackInfo row) {
    if (observer_) observer_->RowsAboutToBeInserted(at, 1);
    rows_.insert(rows_.begin() + at, std::move(row));
    if (observer_) observer_->RowsInserted();
}

void RowList::Remove(int i) {
    if (observer_) observer_->RowsAboutToBeRemoved(i, 1);
    rows_.erase(rows_.begin() + i);
    if (observer_) observer_->RowsRemoved();
}

void RowList::Remove(std::vector<int> indexes) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    // From the end, one contiguous run at a time, so that indexes stay valid.
    int k = static_cast<int>(indexes.size()) - 1;
    while (k >= 0) {
        int last = indexes[k];
        int first = last;
        while (k > 0 && indexes[k - 1] == first - 1) first = indexes[--k];
        --k;
        if (observer_) observer_->RowsAboutToBeRemoved(first, last - first + 1);
        rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
        if (observer_) observer_->RowsRemoved();
    }
}

void RowList::Clear() {
    if (observer_) observer_->AboutToReset();
    rows_.clear();
    rows_.shrink_to_fit();
    if (observer_) observer_->Reset();
}

void RowList::Swap(int i, int j) {
    std::swap(rows_[i], rows_[j]);
    Changed(std::min(i, j), std::max(i, j));
}

void RowList::Reorder(const std::vector<int>& order) {
    if (observer_) observer_->AboutToReorder();
    // In place, one cycle of the permutation at a time: a second array of rows would double
    // the list's memory at the moment of every sort.
    std::vector<bool> placed(rows_.size());
    for (size_t start = 0; start < rows_.size(); ++start) {
        if (placed[start]) continue;
        TrackInfo first = std::move(rows_[start]);
        size_t at = start;
        for (size_t from = static_cast<size_t>(order[at]); from != start; from = static_cast<size_t>(order[at])) {
            rows_[at] = std::move(rows_[from]);
            placed[at] = true;
            at = from;
        }
        rows_[at] = std::move(first);
        placed[at] = true;
    }
    if (observer_) observer_->Reordered(order);
}

int RowList::CheckedCount() const {
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const TrackInfo& r) { return r.Checked; }));
}

bool RowList::AnyChecked() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const TrackInfo& r) { return r.Checked; });
}

}  // namespace wvr
