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

// A file the user asked to have written over whatever is there (a list, a playlist, a page):
// a ReplacementFile, except where the folder lets no new file be made while the existing file
// may be written (a shared web folder), or lets the rebuild be made but not renamed over the
// file (a sticky folder, the file another user's). The file is then written where it is at
// Commit(): the bytes wait in memory (or in the rebuild) until then, the room is reserved, the file written from its start, cut
// to its length and flushed. That gives up what a rebuild beside it gives: a crash or a failing
// disk during the commit leaves that one file part old, part new. Music files and the settings
// are never written so.
class OutputFile {
public:
    explicit OutputFile(std::string targetPath);

    bool Create();
    // The reason of the last failure to open or write.
    int Error();
    bool Append(std::string_view bytes);
    // Flushes the file and puts it in place.
    bool Commit();

private:
    std::string target_;
    ReplacementFile replacement_;
    File inPlace_;  // open when the file is written where it is
    std::string bytes_;
};

}  // namespace wvr::fs
