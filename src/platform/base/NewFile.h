// A file that is written where it will live and only gets its name once it is complete: on
// Linux an unnamed file in the target's folder, linked under its name at Commit(). A file
// that is never committed leaves nothing behind, even when the process dies half-way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/base/FileOps.h"

namespace wvr::fs {

class NewFile {
public:
    explicit NewFile(std::string targetPath);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Creates the unnamed file in the target's folder.
    bool Create();
    // Writes at the current end.
    bool Append(const void* data, size_t n);
    bool Append(std::string_view bytes) { return Append(bytes.data(), bytes.size()); }
    // Copies n bytes of `source` from `offset` to the end, through one buffer.
    bool CopyFrom(File& source, uint64_t offset, uint64_t n);
    uint64_t Written() const { return written_; }

    enum class Existing { Keep, Replace };
    // Flushes the data to the disk and names the file. With Existing::Keep a file that has
    // taken the name meanwhile makes the commit fail; with Replace it is replaced.
    bool Commit(Existing existing);

private:
    bool LinkAs(const std::string& name);

    std::string target_;
    std::string named_;  // the temporary name where unnamed files are not supported
    File file_;
    uint64_t written_ = 0;
    bool committed_ = false;
};

}  // namespace wvr::fs
