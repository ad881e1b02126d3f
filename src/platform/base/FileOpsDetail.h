// What the parts of the file layer share among themselves and nobody else needs.
#pragma once

#include <string>

namespace wvr::fs {
class File;
}

namespace wvr::fs::detail {

// The folder part of a path, with its separator ("./" for a bare name).
std::string FolderOf(const std::string& path);
// So that a name just made or removed in `folder` is on disk before the next step relies on it.
void SyncFolder(const std::string& folder);

// A file with several names whose rebuilt bytes a crash stopped half-way into it is finished
// from the complete copy left beside it (ReplacementFile.cpp). Called for every file with more
// than one link that is opened, so nothing reads the half-written file. Does nothing when
// there is nothing to finish or it cannot be done.
void FinishInterruptedWriteBack(const std::string& path);

// The name a complete rebuild or new file takes beside the existing file `target` on its way
// to replacing it by a rename ("" when `target` cannot be looked at). A crash between the
// naming and the rename leaves it beside the untouched target; the next writer of the target
// removes it (RemovePendingRename).
std::string PendingRenameName(const std::string& target);
// False when the leftover belongs to a writer still at work.
bool RemovePendingRename(const std::string& target);

// Whether permission bits `mode` make a file read-only for everybody: no write bit at all.
bool ReadOnlyByMode(unsigned mode);

// Whether the file that a writer is to replace at `target` may be written (true when there is
// none). Renaming over a file needs only its folder's permission, so a file its owner made
// read-only, or a folder under the name, would be replaced all the same. The reason of a
// refusal is left in `probe.Error()`.
bool MayReplace(const std::string& target, File& probe);

// The sign of a writer at work on a file; held until the file is closed.
bool LockExclusive(File& file);

// Opens a file for a writer in `folder` that has no name yet (O_TMPFILE), locked. Where the
// file system has no unnamed files it gets a hidden free name, put in `named`, which the
// writer removes on every way out but its commit.
bool CreateUnnamed(const std::string& folder, File& file, std::string& named);
// Gives an unnamed file the name; fails when the name is taken.
bool LinkUnnamed(File& file, const std::string& name);

}  // namespace wvr::fs::detail
