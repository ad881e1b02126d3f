// POSIX implementation of the new-file writer. A Windows build replaces this file.
#include "platform/base/NewFile.h"

#include <cstdio>
#include <unistd.h>

#include "platform/base/FileOpsDetail.h"

namespace wvr::fs {

using detail::FolderOf;
using detail::SyncFolder;

NewFile::NewFile(std::string targetPath) : target_(std::move(targetPath)) {}

NewFile::~NewFile() {
    file_.Close();
    if (!committed_ && !named_.empty()) ::unlink(named_.c_str());
}

bool NewFile::Create() {
    if (!detail::MayReplace(target_, file_)) return false;
    // What a crash left on the way to replacing the target goes first.
    if (!detail::RemovePendingRename(target_)) return false;
    return detail::CreateUnnamed(FolderOf(target_), file_, named_);
}

bool NewFile::Append(const void* data, size_t n) {
    if (!file_.WriteAt(written_, data, n)) return false;
    written_ += n;
    return true;
}

bool NewFile::CopyFrom(File& source, uint64_t offset, uint64_t n) {
    return CopyPieces(source, offset, n, [this](const char* data, size_t size) { return Append(data, size); });
}

bool NewFile::LinkAs(const std::string& name) { return detail::LinkUnnamed(file_, name); }

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
