// POSIX implementation of the new-file writer. A Windows build replaces this file.
#include "platform/base/NewFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "platform/base/FileOpsDetail.h"

namespace wvr::fs {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// A name in the folder that nothing has, tried by `use` until it does not say "taken".
template <class Use>
bool WithFreeName(const std::string& folder, std::string& name, Use use) {
    for (int i = 0; i < 1000; ++i) {
        name = folder + ".wvr-new" + std::to_string(i);
        if (use(name)) return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

// After a name was given: the folder entry itself reaches the disk too.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

NewFile::NewFile(std::string targetPath) : target_(std::move(targetPath)) {}

NewFile::~NewFile() {
    file_.Close();
    if (!committed_ && !named_.empty()) ::unlink(named_.c_str());
}

bool NewFile::Create() {
    // What a crash left on the way to replacing the target goes first.
    if (!detail::RemovePendingRename(target_)) return false;
    const std::string folder = FolderOf(target_);
    if (file_.Open(folder, File::Mode::CreateUnnamed)) return detail::LockExclusive(file_);
    // File systems without unnamed files: a hidden name, removed on every way out but Commit.
    const int error = file_.Error();
    if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL) return false;
    return WithFreeName(folder, named_, [this](const std::string& name) {
        if (file_.Open(name, File::Mode::CreateNew)) return detail::LockExclusive(file_);
        errno = file_.Error();
        return false;
    });
}

bool NewFile::Append(const void* data, size_t n) {
    if (!file_.WriteAt(written_, data, n)) return false;
    written_ += n;
    return true;
}

bool NewFile::CopyFrom(File& source, uint64_t offset, uint64_t n) {
    return CopyPieces(source, offset, n, [this](const char* data, size_t size) { return Append(data, size); });
}

bool NewFile::LinkAs(const std::string& name) {
    if (Faulted("link")) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool NewFile::Commit(Existing existing) {
    if (!file_.IsOpen() || !file_.Sync()) return false;
    const std::string folder = FolderOf(target_);
    bool named = false;
    if (!named_.empty()) {
        named = existing == Existing::Keep ? MoveNoReplace(named_, target_) == MoveError::None
                                           : !Faulted("rename") && ::rename(named_.c_str(), target_.c_str()) == 0;
    } else if (existing == Existing::Keep) {
        named = LinkAs(target_);
    } else if (const std::string step = detail::PendingRenameName(target_); !step.empty()) {
        // A link cannot replace: name it beside, then rename over the old file.
        if (LinkAs(step)) {
            named = !Faulted("rename") && ::rename(step.c_str(), target_.c_str()) == 0;
            if (!named) ::unlink(step.c_str());
        }
    } else {
        named = LinkAs(target_);
    }
    if (!named) return false;
    committed_ = true;
    file_.Close();
    SyncFolder(folder);
    return true;
}

}  // namespace wvr::fs
