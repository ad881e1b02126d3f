// Rebuilding a file beside itself and putting the rebuild in its place, so that whatever fails
// or wherever the process dies the file reads as it was or as rebuilt, and keeps its identity.
//
// The rebuild is an unnamed file in the target's folder (O_TMPFILE): a process that dies while
// building leaves nothing. It is flushed to disk and given the original's owner, permission
// bits, extended attributes and times before it is named. Then:
//
// - A file with one name: the rebuild is linked as ".wvr-new-<inode of the original>" and
//   renamed over the original. A crash between the two steps leaves that name beside an
//   untouched original; the next writer of the same file removes it (NewFile as well).
// - A file with several hard links: renaming would leave its other names with the old bytes.
//   The rebuild is linked as ".wvr-restore-<inode>-<birth time>" and the folder flushed, so a
//   complete copy is on disk under a name before the original changes. Only then are the
//   copy's bytes written into the original from its start and the original cut to their
//   length, and the copy's name removed. A longer file first has its room reserved, so a full
//   disk stops the write before its first byte. A write that fails half-way is made again
//   from the copy; if that fails too, the copy stays. A crash half-way leaves the copy too:
//   the next time the file is opened (File::Open) the write-back is finished from it, the
//   copy being known by the file's inode and birth time, so that a new file that reuses the
//   inode number is never taken for it. Without a birth time the copy is left for the user
//   and the file is not rebuilt again while it is there.
//
// A replacement holds an exclusive lock while it lives, so a leftover name that is locked
// belongs to a rebuild still at work and is left alone.
//
// File systems without unnamed files build in ".wvr-tmp<n>" instead, which a crash can leave.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "platform/base/FileOps.h"
#include "platform/base/FileOpsDetail.h"
#include "platform/base/NewFile.h"
#include "platform/base/WriteObserver.h"

namespace wvr::fs {

using detail::FolderOf;
using detail::SyncFolder;

namespace {

constexpr size_t kCopyBlock = size_t{1} << 20;

// What identifies the file at a path across a crash.
struct Identity {
    bool exists = false;
    struct stat st {};
    std::optional<statx_timestamp> birth;
};

// Nothing when the path cannot be looked at; `exists` false when nothing is there.
std::optional<Identity> Identify(const std::string& path) {
    Identity id;
    struct statx sx {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
        if (errno == ENOENT) return id;
        return std::nullopt;
    }
    if (::stat(path.c_str(), &id.st) != 0) return std::nullopt;
    id.exists = true;
    if (sx.stx_mask & STATX_BTIME) id.birth = sx.stx_btime;
    return id;
}

std::string PendingRenameName(const std::string& folder, const Identity& id) {
    return folder + ".wvr-new-" + std::to_string(id.st.st_ino);
}

std::string PendingWriteBackName(const std::string& folder, const Identity& id) {
    std::string name = folder + ".wvr-restore-" + std::to_string(id.st.st_ino);
    if (id.birth) name += "-" + std::to_string(id.birth->tv_sec) + "." + std::to_string(id.birth->tv_nsec);
    return name;
}

using detail::LockExclusive;


bool SetTimes(File& file, const timespec& access, const timespec& lastWrite) {
    const timespec times[2] = {access, lastWrite};
    return !Faulted("utime") && ::futimens(file.Descriptor(), times) == 0;
}

timespec Unchanged() {
    timespec t{};
    t.tv_nsec = UTIME_OMIT;
    return t;
}

// Extended attributes of the file at `from` onto `to`. Those the platform does not let this
// user set (security labels, trusted.*) are passed over, as is a file system without any.
bool CopyExtendedAttributes(const std::string& from, File& to) {
    ssize_t listSize = ::listxattr(from.c_str(), nullptr, 0);
    if (listSize < 0) return errno == ENOTSUP;
    std::vector<char> names(static_cast<size_t>(listSize));
    listSize = ::listxattr(from.c_str(), names.data(), names.size());
    if (listSize < 0) return false;
    std::vector<char> value;
    for (size_t at = 0; at < static_cast<size_t>(listSize);) {
        const char* name = names.data() + at;
        at += std::char_traits<char>::length(name) + 1;
        const ssize_t size = ::getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) return false;
        value.resize(static_cast<size_t>(size));
        if (::getxattr(from.c_str(), name, value.data(), value.size()) != size) return false;
        if (Faulted("xattr")) return false;
        if (::fsetxattr(to.Descriptor(), name, value.data(), value.size(), 0) != 0 && errno != EPERM &&
            errno != EACCES && errno != ENOTSUP)
            return false;
    }
    return true;
}

// Gives a rebuild the owner, extended attributes, permission bits and times of the original. A
// time that cannot be set does not stop it; the error goes to `timeError`.
bool GiveIdentity(File& copy, const std::string& originalPath, const struct stat& original,
                  const LastWriteTime* keepTime, int* timeError) {
    // Not allowed for an ordinary user when the group differs; the file stays the user's.
    // Before the mode: a change of owner clears the set-id bits.
    if (::fchown(copy.Descriptor(), original.st_uid, original.st_gid) != 0) {
        // Kept as it is: the platform decides who may give a file away.
    }
    if (!CopyExtendedAttributes(originalPath, copy)) return false;
    if (Faulted("chmod") || ::fchmod(copy.Descriptor(), original.st_mode & 07777) != 0) return false;
    if (!SetTimes(copy, original.st_atim, keepTime ? keepTime->mtime : Unchanged()) && timeError) *timeError = errno;
    return true;
}

// Writes the `length` bytes of `copy` over `target` from its start, cuts `target` to them and
// flushes it.
bool WriteBack(File& copy, uint64_t length, File& target) {
    std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(length, kCopyBlock)));
    for (uint64_t at = 0; at < length;) {
        const auto n = static_cast<size_t>(std::min<uint64_t>(length - at, buffer.size()));
        if (!copy.ReadExact(at, buffer.data(), n) || !target.WriteAt(at, buffer.data(), n)) return false;
        at += n;
    }
    return target.Truncate(length);
}

// Takes the disk room a file of `length` bytes needs without changing its size, so that a
// full disk is met before anything is written. File systems that cannot say go ahead.
bool ReserveRoom(File& file, uint64_t length) {
    if (Faulted("allocate")) return false;
    if (::fallocate(file.Descriptor(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length)) == 0) return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

// Writes the copy into the original with the times given and flushes it, once more from the
// copy when the first attempt fails. A time that cannot be set goes to `timeError`.
bool WriteBackFromCopy(File& copy, uint64_t length, File& original, const timespec& access,
                       const timespec& lastWrite, int* timeError) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!WriteBack(copy, length, original)) continue;
        if (!SetTimes(original, access, lastWrite) && timeError) *timeError = errno;
        if (original.Sync()) return true;
    }
    return false;
}

// Set while the rebuild's own steps open files, which are not to look for leftovers again.
thread_local bool t_rebuilding = false;

class Rebuilding {
public:
    Rebuilding() : outer_(t_rebuilding) { t_rebuilding = true; }
    ~Rebuilding() { t_rebuilding = outer_; }
    Rebuilding(const Rebuilding&) = delete;
    Rebuilding& operator=(const Rebuilding&) = delete;

private:
    bool outer_;
};

// A rebuild of the file `id` that was named but not renamed over it (the original is whole)
// is removed. False when it belongs to a rebuild still at work.
bool RemovePendingRename(const std::string& folder, const Identity& id) {
    const std::string pending = PendingRenameName(folder, id);
    if (!Exists(pending)) return true;
    File stale;
    if (!stale.Open(pending, File::Mode::Read) || !LockExclusive(stale)) return false;
    ::unlink(pending.c_str());
    return true;
}

}  // namespace

bool detail::LockExclusive(File& file) { return ::flock(file.Descriptor(), LOCK_EX | LOCK_NB) == 0; }

std::string detail::PendingRenameName(const std::string& target) {
    const auto id = Identify(target);
    return id && id->exists ? PendingRenameName(FolderOf(target), *id) : std::string();
}

bool detail::RemovePendingRename(const std::string& target) {
    const auto id = Identify(target);
    return !id || !id->exists || RemovePendingRename(FolderOf(target), *id);
}

bool detail::CreateUnnamed(const std::string& folder, File& file, std::string& named) {
    if (file.Open(folder, File::Mode::CreateUnnamed)) return LockExclusive(file);
    const int error = file.Error();
    if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL) return false;
    // The name does not repeat the target's, which may already be as long as a name can be.
    for (int i = 0; i < 1000; ++i) {
        std::string candidate = folder + ".wvr-tmp" + std::to_string(i);
        if (file.Open(candidate, File::Mode::CreateNew)) {
            named = candidate;
            return LockExclusive(file);
        }
        if (file.Error() != EEXIST) return false;
    }
    return false;
}

bool detail::LinkUnnamed(File& file, const std::string& name) {
    if (Faulted("link")) return false;
    // Through /proc any user may link the file; AT_EMPTY_PATH is the way where /proc is missing.
    const std::string self = "/proc/self/fd/" + std::to_string(file.Descriptor());
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
           (errno != EEXIST && ::linkat(file.Descriptor(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0);
}

void detail::FinishInterruptedWriteBack(const std::string& path) {
    if (t_rebuilding) return;
    Rebuilding rebuilding;
    const auto id = Identify(path);
    if (!id || !id->exists || !id->birth) return;
    const std::string folder = FolderOf(path);
    const std::string copyName = PendingWriteBackName(folder, *id);
    if (!Exists(copyName)) return;
    File copy, original;
    if (!copy.Open(copyName, File::Mode::Read) || !LockExclusive(copy)) return;
    if (!original.Open(path, File::Mode::ReadWrite)) return;
    original.Unobserved();
    struct stat copyStat;
    if (::fstat(copy.Descriptor(), &copyStat) != 0) return;
    // The copy carries the times the interrupted write meant the file to have.
    if (!WriteBackFromCopy(copy, copy.SizeAtOpen(), original, copyStat.st_atim, copyStat.st_mtim, nullptr)) return;
    ::unlink(copyName.c_str());
    SyncFolder(folder);
}

ReplacementFile::ReplacementFile(std::string targetPath) : target_(std::move(targetPath)) {}

ReplacementFile::~ReplacementFile() {
    file_.Close();
    if (!committed_ && !keepNamed_ && !named_.empty()) ::unlink(named_.c_str());
}

bool ReplacementFile::Create() {
    // Through a link the file it names is rebuilt; renaming over the link itself would turn
    // it into a copy and leave the real file as it was.
    if (char* real = ::realpath(target_.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
    folder_ = FolderOf(target_);
    const auto id = Identify(target_);
    if (!id) return false;
    if (id->exists) {
        if (!detail::MayReplace(target_, file_)) return false;
        if (!RemovePendingRename(folder_, *id)) return false;
        // A write-back that could not be finished (or is still at work) is not overtaken.
        detail::FinishInterruptedWriteBack(target_);
        if (Exists(PendingWriteBackName(folder_, *id))) return false;
    }

    return detail::CreateUnnamed(folder_, file_, named_);
}

bool ReplacementFile::Append(const void* data, size_t n) {
    if (!file_.WriteAt(written_, data, n)) return false;
    written_ += n;
    return true;
}

bool ReplacementFile::CopyFrom(File& source, uint64_t offset, uint64_t n) {
    return CopyPieces(source, offset, n, [this](const char* data, size_t size) { return Append(data, size); });
}

bool ReplacementFile::Name(const std::string& name) {
    if (!named_.empty()) {
        // Built under a name already: it takes the new one by a rename.
        if (Faulted("rename") || ::renameat2(AT_FDCWD, named_.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0)
            return false;
        named_ = name;
        return true;
    }
    if (!detail::LinkUnnamed(file_, name)) return false;
    named_ = name;
    return true;
}

bool ReplacementFile::Commit(const LastWriteTime* keepTime, int* timeError) {
    if (timeError) *timeError = 0;
    const auto id = Identify(target_);
    if (!id) return false;
    if (!id->exists) {
        // A new file: it appears under its name complete, with the mode a new file gets.
        if (!file_.Sync() || !Name(target_)) return false;
        named_.clear();
        committed_ = true;
        SyncFolder(folder_);
        return true;
    }
    if (observed_ && CurrentWriteObserver() && !CurrentWriteObserver()->BeforeReplace(target_, file_, written_))
        return false;
    if (!GiveIdentity(file_, target_, id->st, keepTime, timeError) || !file_.Sync()) return false;
    if (id->st.st_nlink > 1)
        return CommitByWriteBack(PendingWriteBackName(folder_, *id), id->st.st_atim, keepTime, timeError);
    return CommitByRename(PendingRenameName(folder_, *id));
}

bool ReplacementFile::CommitByRename(const std::string& pendingName) {
    if (!Name(pendingName)) return false;
    if (Faulted("rename") || ::rename(named_.c_str(), target_.c_str()) != 0) return false;
    named_.clear();
    committed_ = true;
    SyncFolder(folder_);
    return true;
}

bool ReplacementFile::CommitByWriteBack(const std::string& copyName, const timespec& access,
                                        const LastWriteTime* keepTime, int* timeError) {
    Rebuilding rebuilding;
    if (!Name(copyName)) return false;
    SyncFolder(folder_);
    File original;
    if (!original.Open(target_, File::Mode::ReadWrite)) return false;
    original.Unobserved();
    if (written_ > original.SizeAtOpen() && !ReserveRoom(original, written_)) return false;
    if (!WriteBackFromCopy(file_, written_, original, access, keepTime ? keepTime->mtime : Unchanged(), timeError)) {
        // The original is partly rewritten: the complete copy stays for the next rebuild.
        keepNamed_ = true;
        return false;
    }
    ::unlink(named_.c_str());
    named_.clear();
    committed_ = true;
    SyncFolder(folder_);
    return true;
}

OutputFile::OutputFile(std::string targetPath) : target_(targetPath), replacement_(std::move(targetPath)) {
    replacement_.Unobserved();
}

bool OutputFile::Create() {
    if (replacement_.Create()) return true;
    // Only a folder that refuses the new file; a file that may not be written stays refused.
    const int error = replacement_.file().Error();
    if ((error != EACCES && error != EPERM) || !RegularFileSize(target_)) return false;
    if (!inPlace_.Open(target_, File::Mode::ReadWrite)) return false;
    inPlace_.Unobserved();
    return true;
}

int OutputFile::Error() { return inPlace_.IsOpen() ? inPlace_.Error() : replacement_.file().Error(); }

bool OutputFile::Append(std::string_view bytes) {
    if (!inPlace_.IsOpen()) return replacement_.Append(bytes);
    bytes_ += bytes;
    return true;
}

bool OutputFile::Commit() {
    if (!inPlace_.IsOpen()) {
        if (replacement_.Commit(nullptr)) return true;
        // A shared folder with the sticky bit lets anyone make a file but rename only over
        // their own: the complete rebuild is written into the other user's file instead.
        if (errno != EPERM || !RegularFileSize(target_) || !inPlace_.Open(target_, File::Mode::ReadWrite)) return false;
        inPlace_.Unobserved();
        bytes_.resize(replacement_.Written());
        if (!replacement_.file().ReadExact(0, bytes_.data(), bytes_.size())) return false;
    }
    const uint64_t length = bytes_.size();
    if (length > inPlace_.SizeAtOpen() && !ReserveRoom(inPlace_, length)) return false;
    return inPlace_.WriteAt(0, bytes_.data(), bytes_.size()) && inPlace_.Truncate(length) && inPlace_.Sync();
}

}  // namespace wvr::fs
