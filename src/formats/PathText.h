// Parts of the CP932 paths that rows keep: file name, folder, extension. The separator is
// the platform's; a search for it never stops on the second byte of a double-byte character.
#pragma once

#include <string>
#include <string_view>

namespace wvr::path {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// "a/b/c.mp3" -> "c.mp3"
std::string FileName(std::string_view path);
// "a/b/c.mp3" -> "a/b/" (with its separator; empty when there is none)
std::string Folder(std::string_view path);
// The part from the last "." of the last component on: "c.mp3" -> ".mp3"; none -> "".
std::string Extension(std::string_view path);
// The path without its extension: "a/b/c.mp3" -> "a/b/c".
std::string WithoutExtension(std::string_view path);
// A folder as names are joined to it: "a/b" -> "a/b/"; an empty text and "a/b/" stay as they are.
std::string WithTrailingSeparator(std::string_view folder);

// `target` as seen from `folder`: "../" once for each folder of `folder` that the two do not
// share, then the rest of `target` ("/m" and "/m/sub/b.mp3" give "sub/b.mp3"; a target
// folder with its separator gives the relative folder with its separator, "" for the same
// folder). Folder names compare as the file system does: ignoring letter case on Windows,
// exactly elsewhere. On another drive the target is returned as it is.
std::string RelativeTo(std::string_view folder, std::string_view target);

}  // namespace wvr::path
