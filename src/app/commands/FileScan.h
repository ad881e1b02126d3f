// Turning what the user names (files, folders, wildcard patterns, playlists) into the work
// list of file paths that AddFiles reads. Paths in the work list are CP932 row paths.
#pragma once

#include <string>
#include <vector>

namespace wvr {

using WorkList = std::vector<std::string>;

// Names met while scanning that could not become rows: not representable in CP932.
using SkippedNames = std::vector<std::string>;  // native names

// Expands one argument: a file, a folder (scanned recursively) or a wildcard pattern, whose
// matches come in name order.
void ScanPath(const std::string& path, WorkList& work, SkippedNames* skipped = nullptr);

// Appends every file below `folder` (which ends with the separator), each folder's entries in
// name order (ListedName), a sub-folder scanned at its place in it. Unreadable folders and symbolic-link loops are passed over.
void ScanFolder(const std::string& folder, WorkList& work, SkippedNames* skipped = nullptr);

// Appends every line of a playlist, resolved against the playlist's folder, which becomes
// the current folder. A line is read as Shift-JIS, or as the file system's name when only
// that names a file; lines that begin with "#" (comments, #EXTINF) are passed over. A line
// naming a file whose name CP932 cannot hold goes to `skipped`, as a folder scan's would.
// Returns false when the playlist has no line (or cannot be read).
bool ReadPlaylist(const std::string& playlist, WorkList& work, SkippedNames* skipped = nullptr);

// The full form of `path` against `folder`: absolute paths stay, "." and ".." are resolved.
// A name written with "\" separators that does not exist as written is read with them as
// separators.
std::string ExpandPath(const std::string& folder, const std::string& path);

// A path of the command line or a dialog, native (UTF-8), as a row path; "" when CP932
// cannot represent it.
std::string RowPathFromNative(const std::string& native);

// The paths of the program's command line, in order: ".m3u" arguments are read as
// playlists, every other one is expanded by ScanPath. Relative paths are taken from the
// current folder.
WorkList CollectArguments(const std::vector<std::string>& nativeArgs, SkippedNames* skipped = nullptr);

// The extension test of the playlist commands: exactly ".m3u", case-sensitive.
bool IsPlaylistName(const std::string& path);

}  // namespace wvr
