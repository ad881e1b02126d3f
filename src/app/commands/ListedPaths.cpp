#include "app/commands/ListedPaths.h"

#include <bit>
#include <functional>

namespace wvr {
namespace {

uint64_t HashOf(std::string_view path) { return std::hash<std::string_view>{}(path); }
uint32_t TagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

}  // namespace

ListedPaths::ListedPaths(const RowList& rows, const WorkList& work, size_t expected)
    : rows_(rows), work_(work), slots_(std::bit_ceil(2 * expected + 2)) {}

void ListedPaths::AddRow(int row) { Insert(-1 - row); }

void ListedPaths::AddEntry(size_t entry) { Insert(static_cast<int32_t>(entry)); }

bool ListedPaths::Contains(std::string_view path) const {
    const uint64_t hash = HashOf(path);
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].ref != kEmpty; i = (i + 1) & mask)
        if (slots_[i].tag == TagOf(hash) && PathOf(slots_[i].ref) == path) return true;
    return false;
}

std::string_view ListedPaths::PathOf(int32_t ref) const {
    return ref >= 0 ? std::string_view(work_[static_cast<size_t>(ref)]) : std::string_view(rows_[-1 - ref].Path);
}

void ListedPaths::Insert(int32_t ref) {
    if (2 * (count_ + 1) > slots_.size()) {
        // Twice the room, every path placed again.
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.ref != kEmpty) Place(HashOf(PathOf(slot.ref)), slot.ref);
    }
    Place(HashOf(PathOf(ref)), ref);
    ++count_;
}

void ListedPaths::Place(uint64_t hash, int32_t ref) {
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].ref != kEmpty) i = (i + 1) & mask;
    slots_[i] = {TagOf(hash), ref};
}

}  // namespace wvr
