// POSIX implementation of the file layer. A Windows build replaces this file.
#include "platform/base/FileOps.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "platform/base/Cp932.h"
#include "platform/base/FileOpsDetail.h"
#include "platform/base/NewFile.h"
#include "platform/base/Prompter.h"
#include "platform/base/WriteObserver.h"

namespace wvr::fs {
namespace {

FaultHook g_faultHook = nullptr;
WriteObserver* g_writeObserver = nullptr;

}  // namespace

std::string detail::FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

void detail::SyncFolder(const std::string& folder) {
    if (Faulted("sync-folder")) return;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool detail::ReadOnlyByMode(unsigned mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

bool detail::MayReplace(const std::string& target, File& probe) {
    if (!Exists(target)) return true;
    if (!probe.Open(target, File::Mode::ReadWrite)) return false;
    probe.Close();
    return true;
}

using detail::FolderOf;

// The operation fails with the errno the hook set (a missing feature, say), else EIO. Opening an
// unnamed file is "open-unnamed", so that a hook can stand for a file system without them.
bool Faulted(const char* operation, uint64_t bytes) {
    if (!g_faultHook) return false;
    const int before = errno;
    errno = 0;
    if (g_faultHook(operation, bytes)) {
        if (errno == 0) errno = EIO;
        return true;
    }
    errno = before;
    return false;
}

void SetFaultHook(FaultHook hook) { g_faultHook = hook; }

void SetWriteObserver(WriteObserver* observer) { g_writeObserver = observer; }
WriteObserver* CurrentWriteObserver() { return g_writeObserver; }

std::optional<std::string> ToNative(std::string_view cp932Path) { return cp932::ToUtf8Exact(cp932Path); }
std::optional<std::string> FromNative(std::string_view nativePath) {
    return cp932::FromUtf8Exact(nativePath);
}

// --- File

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      error_(other.error_),
      readFailed_(other.readFailed_),
      sizeAtOpen_(other.sizeAtOpen_),
      linkCount_(other.linkCount_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        observed_ = other.observed_;
        path_ = std::move(other.path_);
        error_ = other.error_;
        readFailed_ = other.readFailed_;
        linkCount_ = other.linkCount_;
        sizeAtOpen_ = other.sizeAtOpen_;
    }
    return *this;
}

bool File::Open(const std::string& path, Mode mode) {
    if (fd_ >= 0) Close();
    // Non-blocking, so that a pipe named by a playlist or a drop cannot hang the open; it is
    // refused below as not a regular file.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    case Mode::CreateUnnamed: flags |= O_RDWR | O_TMPFILE; break;
    }
    if (Faulted(mode == Mode::CreateUnnamed ? "open-unnamed" : "open")) {
        error_ = errno;
        return false;
    }
    if (!Adopt(::open(path.c_str(), flags, 0644), mode == Mode::ReadWrite)) return false;
    observed_ = mode == Mode::ReadWrite;
    if (observed_) path_ = path;
    if (linkCount_ > 1) {
        detail::FinishInterruptedWriteBack(path);
        struct stat st;
        if (::fstat(fd_, &st) == 0) sizeAtOpen_ = static_cast<uint64_t>(st.st_size);
    }
    return true;
}

bool File::Adopt(int fd, bool forWriting) {
    fd_ = fd;
    readFailed_ = false;
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    // A folder opens read-only on POSIX; it is never a file to the program.
    struct stat st;
    const bool statted = ::fstat(fd_, &st) == 0;
    const bool readOnly = statted && forWriting && detail::ReadOnlyByMode(st.st_mode);
    if (!statted || !S_ISREG(st.st_mode) || readOnly) {
        error_ = !statted ? errno : S_ISDIR(st.st_mode) ? EISDIR : readOnly ? EACCES : EINVAL;
        ::close(fd_);
        fd_ = -1;
        errno = error_;  // for callers that take the reason from errno, as after a failed open
        return false;
    }
    sizeAtOpen_ = static_cast<uint64_t>(st.st_size);
    linkCount_ = static_cast<uint64_t>(st.st_nlink);
    return true;
}

std::optional<uint64_t> File::Size() {
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        error_ = errno;
        return std::nullopt;
    }
    return static_cast<uint64_t>(st.st_size);
}

int64_t File::ReadAt(uint64_t offset, void* buffer, size_t n) {
    if (Faulted("read", n)) {
        error_ = errno;
        readFailed_ = true;
        return -1;
    }
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            readFailed_ = true;
            return -1;
        }
        if (r == 0) break;
        done += static_cast<size_t>(r);
    }
    return static_cast<int64_t>(done);
}

bool File::WriteAt(uint64_t offset, const void* data, size_t n) {
    if (observed_ && g_writeObserver && !g_writeObserver->BeforeWrite(path_, *this, offset, data, n)) {
        error_ = errno;
        return false;
    }
    // A failing write stops part of the way, as one does on a full disk.
    const bool faulted = Faulted("write", n);
    const size_t goal = faulted ? n / 2 : n;
    size_t done = 0;
    auto* in = static_cast<const char*>(data);
    while (done < goal) {
        ssize_t r = ::pwrite(fd_, in + done, goal - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return false;
        }
        done += static_cast<size_t>(r);
    }
    if (faulted) error_ = ENOSPC;
    return !faulted;
}

bool File::Truncate(uint64_t length) {
    if (observed_ && g_writeObserver && !g_writeObserver->BeforeTruncate(path_, *this, length)) {
        error_ = errno;
        return false;
    }
    if (Faulted("truncate") || ::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool File::Sync() {
    if (Faulted("sync") || ::fsync(fd_) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool File::Close() {
    if (fd_ < 0) return true;
    int r = ::close(fd_);
    fd_ = -1;
    if (r != 0) error_ = errno;
    return r == 0;
}

bool CopyPieces(File& source, uint64_t offset, uint64_t n, const std::function<bool(const char*, size_t)>& write) {
    std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(n, 1 << 20)));
    while (n > 0) {
        const auto piece = static_cast<size_t>(std::min<uint64_t>(n, buffer.size()));
        if (!source.ReadExact(offset, buffer.data(), piece) || !write(buffer.data(), piece)) return false;
        offset += piece;
        n -= piece;
    }
    return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    File f;
    if (!f.Open(path, File::Mode::Read)) return std::nullopt;
    auto size = f.Size();
    if (!size || *size > maxBytes) return std::nullopt;
    std::string bytes(*size, '\0');
    if (!f.ReadExact(0, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

// --- times

std::optional<LastWriteTime> ReadLastWriteTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return LastWriteTime{st.st_mtim};
}

namespace {

// The times to set: the access time left alone, the last-write time given.
std::array<timespec, 2> LastWriteOnly(const LastWriteTime& time) {
    timespec keepAccess{};
    keepAccess.tv_nsec = UTIME_OMIT;
    return {keepAccess, time.mtime};
}

}  // namespace

bool SetLastWriteTime(const std::string& path, const LastWriteTime& time, int* error) {
    const auto times = LastWriteOnly(time);
    if (Faulted("utime") || ::utimensat(AT_FDCWD, path.c_str(), times.data(), 0) != 0) {
        if (error) *error = errno;
        return false;
    }
    return true;
}

void RestoreLastWriteTime(const std::string& path, const LastWriteTime& time, Prompter& prompter) {
    // A file that cannot be opened for writing, or is read-only, is left alone without a word.
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st;
    const bool readOnly = ::fstat(fd, &st) != 0 || detail::ReadOnlyByMode(st.st_mode);
    ::close(fd);
    if (readOnly) return;
    int error = 0;
    if (!SetLastWriteTime(path, time, &error)) ShowTimeError(error, prompter);
}

void ShowTimeError(int error, Prompter& prompter) {
    prompter.Plain(std::string("FileTime SetError.\n") + std::strerror(error));
}

// --- moves

namespace {

MoveError MoveErrorFrom(int error) {
    switch (error) {
    case 0: return MoveError::None;
    case ENOENT: return MoveError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY: return MoveError::AccessDenied;
    case EEXIST:
    case ENOTEMPTY: return MoveError::Exists;
    default: return MoveError::Other;
    }
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (Faulted("rename")) return errno;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails when the target exists.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    if (::unlink(from.c_str()) != 0) {
        int e = errno;
        ::unlink(to.c_str());
        return e;
    }
    return 0;
}

// Another file system cannot take a file by a rename: the file is copied whole under the new
// name, and the original removed once the copy is on disk there. A copy that cannot be finished
// leaves nothing; one whose original cannot be removed is taken back. Returns an errno value.
int CopyAcross(const std::string& from, const std::string& to) {
    if (Exists(to)) return EEXIST;
    File source;
    if (!source.Open(from, File::Mode::Read)) return source.Error();
    NewFile copy(to);
    errno = 0;
    if (!copy.Create() || !copy.CopyFrom(source, 0, source.SizeAtOpen()) || !copy.Commit(NewFile::Existing::Keep))
        return errno ? errno : EIO;
    if (Faulted("unlink") || ::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return error;
    }
    return 0;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

bool RemoveFile(const std::string& path) {
    if (g_writeObserver && Exists(path) && !g_writeObserver->BeforeRemove(path)) return false;
    return !Faulted("unlink") && ::unlink(path.c_str()) == 0;
}

MoveError MoveNoReplace(const std::string& from, const std::string& to) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return MoveErrorFrom(errno);
    if (g_writeObserver && !Exists(to) && !g_writeObserver->BeforeMove(from, to)) return MoveError::Other;
    if (from != to && SameFile(from, to)) {
        // Only the letter case differs on a case-insensitive file system: go through a free name.
        std::string step;
        for (int i = 0; i < 1000; ++i) {
            step = from + ".wvr-move" + std::to_string(i);
            if (!Exists(step)) break;
        }
        if (int e = RenameNoReplace(from, step)) return MoveErrorFrom(e);
        if (int e = RenameNoReplace(step, to)) {
            RenameNoReplace(step, from);
            return MoveErrorFrom(e);
        }
        return MoveError::None;
    }
    const int error = RenameNoReplace(from, to);
    return MoveErrorFrom(error == EXDEV && S_ISREG(st.st_mode) ? CopyAcross(from, to) : error);
}

std::optional<uint64_t> FreeSpace(const std::string& path) {
    struct statvfs sv;
    if (::statvfs(FolderOf(path).c_str(), &sv) != 0) return std::nullopt;
    return static_cast<uint64_t>(sv.f_bavail) * sv.f_frsize;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<uint64_t> RegularFileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<uint64_t>(st.st_size);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && detail::ReadOnlyByMode(st.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteWholeFileOver(const std::string& path, std::string_view bytes, int* error) {
    NewFile out(path);
    if (out.Create() && out.Append(bytes) && out.Commit(NewFile::Existing::Replace)) return true;
    if (error) *error = errno;
    return false;
}

}  // namespace wvr::fs
