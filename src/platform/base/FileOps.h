// File operations of the program: reading and writing by position, last-write times, moves
// that never replace, free space, and whole-file replacement through a temporary file.
// Paths here are native (UTF-8 on Linux); rows keep CP932 paths and convert with ToNative.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wvr {
class Prompter;
}

namespace wvr::fs {

// Row path (CP932) -> native path; nothing when the name cannot be represented.
std::optional<std::string> ToNative(std::string_view cp932Path);
// Native path -> row path (CP932); nothing when CP932 cannot represent the name.
std::optional<std::string> FromNative(std::string_view nativePath);

// An open file. Every operation of the write path (opening, reading, writing, cutting,
// flushing) passes the fault hook, so that tests can make any step fail.
class File {
public:
    // CreateUnnamed: `path` is a folder; the file has no name until it is linked into one
    // (Linux O_TMPFILE), so if the process dies it is gone. Fails where the file system
    // cannot do it.
    enum class Mode { Read, ReadWrite, CreateNew, CreateUnnamed };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // A file with several names that a crash left half-rewritten is finished first
    // (ReplacementFile), so what is read is whole. ReadWrite refuses (EACCES) a file that has
    // no write permission bit at all, also for a user the system would let write it: a file
    // made read-only is never written, whoever runs the program.
    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return fd_ >= 0; }
    int Error() const { return error_; }  // errno of the last failure
    // Whether a read failed since the file was opened: what was read may not be the whole story.
    bool ReadFailed() const { return readFailed_; }

    std::optional<uint64_t> Size();
    // The size seen when the file was opened (no system call).
    uint64_t SizeAtOpen() const { return sizeAtOpen_; }
    // Reads up to n bytes at offset; returns the count read (short at the end of the file), or -1.
    int64_t ReadAt(uint64_t offset, void* buffer, size_t n);
    // Reads exactly n bytes at offset.
    bool ReadExact(uint64_t offset, void* buffer, size_t n) {
        return ReadAt(offset, buffer, n) == static_cast<int64_t>(n);
    }
    bool WriteAt(uint64_t offset, const void* data, size_t n);
    bool Truncate(uint64_t length);
    bool Sync();
    bool Close();
    int Descriptor() const { return fd_; }
    // The file layer's own writes into a file it opened itself (a rebuild written back) are
    // not the user's changes: the write observer is not told of them.
    void Unobserved() { observed_ = false; }

private:
    bool Adopt(int fd, bool forWriting);

    int fd_ = -1;
    bool observed_ = false;  // opened for writing in place: the write observer hears of changes
    std::string path_;
    int error_ = 0;
    bool readFailed_ = false;
    uint64_t sizeAtOpen_ = 0;
    uint64_t linkCount_ = 0;
};

// Reads n bytes of `source` from `offset` in pieces of at most 1 MB and hands each to `write`;
// false when a read is short or `write` says so.
bool CopyPieces(File& source, uint64_t offset, uint64_t n, const std::function<bool(const char*, size_t)>& write);

// Reads a whole file (up to maxBytes); nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t maxBytes = UINT64_MAX);

struct LastWriteTime {
    timespec mtime{};
};
std::optional<LastWriteTime> ReadLastWriteTime(const std::string& path);
// Sets only the last-write time back; access time is left alone.
bool SetLastWriteTime(const std::string& path, const LastWriteTime& time, int* error = nullptr);
// The program's rule after a change: when the file can be opened, set the time back and
// report a failure as "FileTime SetError.\n" + the system's text.
void RestoreLastWriteTime(const std::string& path, const LastWriteTime& time, Prompter& prompter);
// "FileTime SetError.\n" + the system's text for `error`, in a plain box.
void ShowTimeError(int error, Prompter& prompter);

enum class MoveError { None, NotFound, AccessDenied, Exists, Other };
// Moves a file; never replaces an existing target. A target that differs from the source
// only by letter case is allowed on case-insensitive file systems too. A file moves to another
// file system as a copy, and the original goes once the copy is complete.
MoveError MoveNoReplace(const std::string& from, const std::string& to);

std::optional<uint64_t> FreeSpace(const std::string& path);

// Whether two paths name the same file (also through links or a different letter case).
bool SameFile(const std::string& a, const std::string& b);
// Deletes a file (not a folder); false when it could not be deleted.
bool RemoveFile(const std::string& path);

bool Exists(const std::string& path);
// The size of the regular file at `path` (through links); nothing for anything else.
std::optional<uint64_t> RegularFileSize(const std::string& path);
bool IsDirectory(const std::string& path);
// A regular file (through links) without any write permission bit: every writer refuses it,
// whoever runs the program.
bool IsReadOnlyFile(const std::string& path);

// Rebuilds a file beside the original and puts it in the original's place at Commit(). Until
// Commit() the original is untouched. The file keeps its identity: owner where allowed,
// permission bits, extended attributes (and with them ACLs), access time and, when given, the
// last-write time; a file with several hard links stays one file. A target that does not exist
// yet is created by the commit; a target that is a symbolic link has the file it names
// replaced, and stays a link.
//
// The rebuild is an unnamed file where the file system allows (Linux O_TMPFILE), so a process
// that dies while building leaves nothing behind; it gets a name only once it is complete and
// on disk. See ReplacementFile.cpp for how each case reaches the original safely.
class ReplacementFile {
public:
    explicit ReplacementFile(std::string targetPath);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool Create();
    File& file() { return file_; }
    // Writes at the current end of the replacement.
    bool Append(const void* data, size_t n);
    bool Append(std::string_view bytes) { return Append(bytes.data(), bytes.size()); }
    // Copies n bytes from `source` at `offset` to the end of the replacement.
    bool CopyFrom(File& source, uint64_t offset, uint64_t n);
    uint64_t Written() const { return written_; }
    // A file of the program's own (not the user's): the write observer is not told of it.
    void Unobserved() { observed_ = false; }
    // Flushes the replacement, gives it the original's identity and puts it in its place. A
    // time that cannot be set does not stop the replacement: the change is done, and the error
    // is handed back in `timeError` (0 when the time was set or none was asked for).
    bool Commit(const LastWriteTime* keepTime, int* timeError = nullptr);

private:
    bool Name(const std::string& name);
    bool CommitByRename(const std::string& pendingName);
    bool CommitByWriteBack(const std::string& copyName, const timespec& access, const LastWriteTime* keepTime,
                           int* timeError);

    std::string target_;
    std::string folder_;
    std::string named_;  // the replacement's name while it has one
    File file_;
    uint64_t written_ = 0;
    bool committed_ = false;
    bool keepNamed_ = false;  // a complete copy that a half-done write-back still needs
    bool observed_ = true;
};

// Writes a whole new file beside `path` and renames it over `path`: a link found under that
// name is replaced, not followed (for files of ours in folders other users share). Nothing
// is left behind on failure, nor when the process dies (NewFile).
bool WriteWholeFileOver(const std::string& path, std::string_view bytes, int* error = nullptr);

// Fault hook for tests: when set, each step of the write path asks it before it runs and fails
// when it says so ("open", "read", "write", "truncate", "sync", "sync-folder", "rename",
// "link", "utime", "chmod", "xattr", "allocate", "unlink"); `bytes` is the size of a read or write, else 0. A failing
// "write" writes half of its bytes first, as a full disk does. A hook may also end the process
// there, to stand for a crash at that point.
using FaultHook = bool (*)(const char* operation, uint64_t bytes);
void SetFaultHook(FaultHook hook);
// Asks the hook; a faulted operation sets errno to EIO. For the writers of other files here.
bool Faulted(const char* operation, uint64_t bytes = 0);

}  // namespace wvr::fs
