// The paths a run of AddFiles must not list again: those of the rows already in the list and
// those of the work-list entries it has added. Kept as an open-addressed table of hashes, each
// with where its path lives, so that a lookup touches one or two slots of a small array and
// no path is copied; a hash that matches is confirmed against the path itself.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/commands/FileScan.h"
#include "app/commands/RowList.h"

namespace wvr {

class ListedPaths {
public:
    // Over the list's rows and the work list, both of which must outlive this and keep the
    // paths added at their places (the work list may grow).
    ListedPaths(const RowList& rows, const WorkList& work, size_t expected);

    void AddRow(int row);
    void AddEntry(size_t entry);
    bool Contains(std::string_view path) const;

private:
    struct Slot {
        uint32_t tag = 0;           // high bits of the path's hash
        int32_t ref = kEmpty;       // a work-list entry (>= 0) or row -1 - ref
    };
    static constexpr int32_t kEmpty = INT32_MIN;

    std::string_view PathOf(int32_t ref) const;
    void Insert(int32_t ref);
    void Place(uint64_t hash, int32_t ref);

    const RowList& rows_;
    const WorkList& work_;
    std::vector<Slot> slots_;  // a power of two in size, at most half full
    size_t count_ = 0;
};

}  // namespace wvr
