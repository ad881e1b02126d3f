// What the file layer tells before it changes a file of the user's: an in-place write or cut,
// a rebuild put in the original's place, a move, a removal. The write journal listens here, so
// that every writer is journaled without knowing of it. An observer that answers false stops
// the change before its first byte (the operation fails with the errno it set).
#pragma once

#include <cstdint>
#include <string>

namespace wvr::fs {

class File;

class WriteObserver {
public:
    virtual ~WriteObserver() = default;
    // `file` is open on `path` and still holds its old bytes.
    virtual bool BeforeWrite(const std::string& path, File& file, uint64_t offset, const void* data, uint64_t n) = 0;
    virtual bool BeforeTruncate(const std::string& path, File& file, uint64_t length) = 0;
    // `rebuild` holds the complete new bytes (`size` of them); the original is still at `path`.
    virtual bool BeforeReplace(const std::string& path, File& rebuild, uint64_t size) = 0;
    virtual bool BeforeMove(const std::string& from, const std::string& to) = 0;
    virtual bool BeforeRemove(const std::string& path) = 0;
};

// At most one at a time; nullptr for none.
void SetWriteObserver(WriteObserver* observer);
WriteObserver* CurrentWriteObserver();

}  // namespace wvr::fs
