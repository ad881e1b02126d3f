// The rows of the main list, in display order. Plain C++: the table model on screen is only
// a view over it and learns of every change through the observer.
#pragma once

#include <functional>
#include <vector>

#include "formats/TrackInfo.h"

namespace wvr {

class RowListObserver {
public:
    virtual ~RowListObserver() = default;
    virtual void RowsAboutToBeInserted(int first, int count) = 0;
    virtual void RowsInserted() = 0;
    virtual void RowsAboutToBeRemoved(int first, int count) = 0;
    virtual void RowsRemoved() = 0;
    virtual void RowsChanged(int first, int last) = 0;
    virtual void AboutToReset() = 0;
    virtual void Reset() = 0;
    // Same rows in a new order: row k is now the old row order[k].
    virtual void AboutToReorder() = 0;
    virtual void Reordered(const std::vector<int>& order) = 0;
};

class RowList {
public:
    int size() const { return static_cast<int>(rows_.size()); }
    bool empty() const { return rows_.empty(); }
    const TrackInfo& operator[](int i) const { return rows_[i]; }
    const TrackInfo& at(int i) const { return rows_.at(i); }
    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

    // Changes a row through `edit` and tells the observer.
    void Edit(int i, const std::function<void(TrackInfo&)>& edit);
    // Direct access for bulk changes; call Changed() afterwards.
    TrackInfo& Mutable(int i) { return rows_[i]; }
    void Changed(int first, int last);
    void ChangedAll() {
        if (!rows_.empty()) Changed(0, size() - 1);
    }

    // Room for `count` rows in all, so that appending does not move the rows already there.
    void Reserve(size_t count) { rows_.reserve(count); }
    void Append(std::vector<TrackInfo> rows);
    void Append(TrackInfo row);
    void Insert(int at, TrackInfo row);
    void Remove(int i);
    // Removes the rows whose index is listed (any order, duplicates allowed).
    void Remove(std::vector<int> indexes);
    void Clear();
    void Swap(int i, int j);
    // Puts the rows in the order given: row k of the result is the old row order[k].
    void Reorder(const std::vector<int>& order);

    int CheckedCount() const;
    bool AnyChecked() const;
    void SetObserver(RowListObserver* observer) { observer_ = observer; }
    RowListObserver* observer() const { return observer_; }

private:
    std::vector<TrackInfo> rows_;
    RowListObserver* observer_ = nullptr;
};

}  // namespace wvr
