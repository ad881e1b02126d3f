// One run of a writing command as its journal entry keeps it: the records in the order they
// were made, each one made (and on disk) before the change it tells of. Encoding and decoding
// only; the files are kept by WriteJournal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wvr::journal {

// A file the run changed, as it was before its first change.
struct TouchedFile {
    std::string path;  // native
    uint64_t device = 0, inode = 0, size = 0;
    int64_t mtimeSec = 0, mtimeNsec = 0;
};

// How to take one change back. `Bytes`: the old bytes at `offset` are put back and the file
// cut to `oldSize`; before, the file has `afterSize` bytes and the `newLength` bytes at
// `offset` hash to `newHash`. `Middle`: the file was rebuilt; its first `offset` and last
// `suffix` bytes were kept, and what lay between was `oldBytes` (`newLength` new bytes there).
struct Change {
    enum class Kind : char { Bytes = 'W', Middle = 'R', Move = 'M', Removal = 'K', NotUndoable = 'X' };
    explicit Change(Kind k = Kind::Bytes) : kind(k) {}
    Kind kind;
    uint64_t file = 0;  // index into the entry's files (not for moves)
    uint64_t offset = 0, suffix = 0, oldSize = 0, afterSize = 0, newLength = 0, newHash = 0;
    std::string oldBytes;
    std::string from, to;  // a move; a removal: the file's path and where its bytes are kept
};

struct Entry {
    std::string id;
    int64_t time = 0;  // seconds since the epoch
    std::string command;
    std::vector<TouchedFile> files;
    std::vector<Change> changes;
    std::string undoes;               // an undo run: the run it took back
    std::vector<std::string> undoneBy;  // runs that took this one back
    bool closed = false;              // the run ended (else it was killed)
    bool withoutUndo = false;         // it went on without keeping what it changed
    uint64_t bytes = 0;               // the entry's size on disk

    // Files changed or moved.
    size_t FileCount() const;
    bool Undoable() const { return closed && !withoutUndo && undoneBy.empty() && !changes.empty(); }
};

uint64_t Hash(std::string_view bytes, uint64_t seed = 1469598103934665603ull);

std::string EncodeHeader(int64_t time, const std::string& command);
std::string EncodeFile(const TouchedFile& file);
std::string EncodeChange(const Change& change);
std::string EncodeUndoes(const std::string& id);
std::string EncodeUndoneBy(const std::string& id);
std::string EncodeWithoutUndo();
std::string EncodeClosed();

// A record cut short by a crash ends the entry; nothing when the bytes are no entry.
std::optional<Entry> Decode(std::string_view bytes);

}  // namespace wvr::journal
