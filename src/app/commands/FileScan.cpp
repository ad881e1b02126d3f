#include "app/commands/FileScan.h"

#include <algorithm>
#include <dirent.h>
#include <optional>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "formats/PathText.h"
#include "formats/SjisText.h"
#include "formats/TextLines.h"
#include "platform/base/FileOps.h"
#include "platform/base/Utf8.h"
#include "platform/core/FileNameOrder.h"

namespace wvr {
namespace {

constexpr char kSep = path::kSeparator;

bool HasWildcards(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

bool IsDotEntry(const char* name) { return name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])); }

bool SameCharacter(std::string_view a, std::string_view b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

// A name search pattern as the file system's search reads it: "*" any run of characters, "?"
// one character, letters equal in either case, every other character itself ("[" too), and a
// final ".*" that also matches a name without a dot.
bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    size_t p = 0, n = 0;
    size_t starP = std::string_view::npos, starN = 0;  // where the last "*" may take one more character
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        if (p < pattern.size()) {
            const size_t np = utf8::CharLength(pattern, p), nn = utf8::CharLength(name, n);
            if (pattern[p] == '?' || SameCharacter(pattern.substr(p, np), name.substr(n, nn))) {
                p += np;
                n += nn;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        starN += utf8::CharLength(name, starN);
        n = starN;
        p = starP;
    }
    const std::string_view rest = pattern.substr(p);
    return rest.find_first_not_of('*') == std::string_view::npos || rest == ".*";
}

// Folders already entered in this scan, by device and inode, so that links cannot loop.
using Visited = std::set<std::pair<dev_t, ino_t>>;

bool Enter(const std::string& nativeFolder, Visited& visited) {
    struct stat st;
    if (::stat(nativeFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return visited.insert({st.st_dev, st.st_ino}).second;
}

// Pipes, sockets and devices are never files to the program: opening a pipe for reading would
// wait for a writer that never comes. They are sorted out here, where the folder listing
// tells the type of most entries for free.
enum class EntryType { Missing, Folder, File, Special };

EntryType TypeOf(const std::string& nativePath) {
    struct stat st;
    if (::stat(nativePath.c_str(), &st) != 0) return EntryType::Missing;
    return S_ISDIR(st.st_mode) ? EntryType::Folder : S_ISREG(st.st_mode) ? EntryType::File : EntryType::Special;
}

EntryType TypeOf(const std::string& nativeFolder, const std::string& nativeName, unsigned char direntType) {
    switch (direntType) {
    case DT_DIR: return EntryType::Folder;
    case DT_REG: return EntryType::File;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return EntryType::Special;
    }
    const EntryType type = TypeOf(nativeFolder + nativeName);
    // A link to nothing is listed like any file that cannot be read, and dropped later.
    return type == EntryType::Missing ? EntryType::File : type;
}

// Lists the entries of one folder that `wanted` accepts, in name order (ListedName): files go
// to the work list, folders to `enterFolder` (row path with its separator, native path with its
// separator) at their place in that order. The folder is read whole and closed first, so a deep
// tree holds no folder open while its sub-folders are scanned.
template <typename Wanted, typename EnterFolder>
void ListFolder(const std::string& folder, const std::string& nativeFolder, WorkList& work, SkippedNames* skipped,
                Wanted wanted, EnterFolder enterFolder) {
    struct Entry {
        ListedName name;
        unsigned char type;
        bool operator<(const Entry& other) const { return name < other.name; }
    };
    std::vector<Entry> entries;
    DIR* dir = ::opendir(nativeFolder.c_str());
    if (!dir) return;
    while (const struct dirent* entry = ::readdir(dir)) {
        if (IsDotEntry(entry->d_name) || !wanted(entry->d_name)) continue;
        entries.push_back({ListedName(entry->d_name), entry->d_type});
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end());

    for (const Entry& entry : entries) {
        const std::string& nativeName = entry.name.Native();
        auto name = fs::FromNative(nativeName);
        if (!name) {
            if (skipped) skipped->push_back(nativeFolder + nativeName);
            continue;
        }
        const EntryType type = TypeOf(nativeFolder, nativeName, entry.type);
        if (type == EntryType::Folder) {
            enterFolder(folder + *name + kSep, nativeFolder + nativeName + '/');
        } else if (type == EntryType::File) {
            std::string& path = work.emplace_back();
            path.reserve(folder.size() + name->size());
            path.append(folder).append(*name);
        }
    }
}

void ScanNativeFolder(const std::string& folder, const std::string& nativeFolder, WorkList& work,
                      SkippedNames* skipped, Visited& visited) {
    if (!Enter(nativeFolder, visited)) return;
    ListFolder(folder, nativeFolder, work, skipped, [](const char*) { return true; },
               [&](const std::string& sub, const std::string& nativeSub) {
                   ScanNativeFolder(sub, nativeSub, work, skipped, visited);
               });
}

// The current folder as a row path, without its separator ("" when it cannot be one).
std::string CurrentFolder() {
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? fs::FromNative(cwd).value_or(std::string()) : std::string();
}

// Resolves "." and ".." components lexically, as a full-path expansion does.
std::string Normalize(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    const bool absolute = !path.empty() && path[0] == kSep;
    while (start <= path.size()) {
        size_t end = sjis::Find(path, std::string(1, kSep), start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = absolute ? std::string(1, kSep) : std::string();
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? std::string(1, kSep) : std::string()) + parts[i];
    return out;
}

std::string Join(const std::string& folder, const std::string& path) {
    if (!path.empty() && path[0] == kSep) return Normalize(path);
    return Normalize(folder + (folder.empty() || folder.back() == kSep ? "" : std::string(1, kSep)) + path);
}

bool RowPathExists(const std::string& rowPath) {
    auto native = fs::ToNative(rowPath);
    return native && fs::Exists(*native);
}

// A playlist line read as Shift-JIS; when that names no file, the line as the file system
// names files (the playlists of other players, and the program's own). Nothing, after naming
// it in `skipped`, for a file that only the latter names and whose name CP932 cannot hold.
std::optional<std::string> PlaylistEntry(const std::string& folder, const std::string& line, SkippedNames* skipped) {
    std::string entry = ExpandPath(folder, line);
    if (RowPathExists(entry)) return entry;
    if (auto asNative = fs::FromNative(line)) {
        if (*asNative != line) {
            std::string other = ExpandPath(folder, *asNative);
            if (RowPathExists(other)) return other;
        }
    } else if (auto nativeFolder = fs::ToNative(folder)) {
        std::string native = !line.empty() && line[0] == '/' ? line : *nativeFolder + line;
        if (fs::Exists(native)) {
            if (skipped) skipped->push_back(std::move(native));
            return std::nullopt;
        }
    }
    return entry;
}

}  // namespace

std::string RowPathFromNative(const std::string& native) { return fs::FromNative(native).value_or(std::string()); }

bool IsPlaylistName(const std::string& path) { return path::Extension(path) == ".m3u"; }

std::string ExpandPath(const std::string& folder, const std::string& path) {
    std::string expanded = Join(folder, path);
    if (kSep == '\\' || RowPathExists(expanded)) return expanded;
    std::string other = sjis::ReplaceAll(path, "\\", std::string(1, kSep));
    if (other == path) return expanded;
    // "C:\..." from a playlist written on Windows: the drive cannot be reached here.
    return Join(folder, other);
}

void ScanFolder(const std::string& folder, WorkList& work, SkippedNames* skipped) {
    auto native = fs::ToNative(folder);
    if (!native) return;
    Visited visited;
    ScanNativeFolder(folder, *native, work, skipped, visited);
}

void ScanPath(const std::string& path, WorkList& work, SkippedNames* skipped) {
    const std::string folder = path::Folder(path);
    const std::string pattern = path::FileName(path);
    auto nativePath = fs::ToNative(path);
    if (!nativePath) return;
    if (!HasWildcards(pattern)) {
        const EntryType type = TypeOf(*nativePath);
        if (type == EntryType::Folder) {
            std::string withSep = path;
            if (withSep.empty() || withSep.back() != kSep) withSep += kSep;
            ScanFolder(withSep, work, skipped);
        } else if (type == EntryType::File) {
            work.push_back(path);
        }
        return;
    }
    // Wildcards: the matching entries of the folder; a matching folder is scanned whole.
    auto nativeFolder = fs::ToNative(folder.empty() ? std::string(".") + kSep : folder);
    auto nativePattern = fs::ToNative(pattern);
    if (!nativeFolder || !nativePattern) return;
    ListFolder(folder, *nativeFolder, work, skipped,
               [&](const char* name) { return MatchesWildcard(*nativePattern, name); },
               [&](const std::string& sub, const std::string&) { ScanFolder(sub, work, skipped); });
}

WorkList CollectArguments(const std::vector<std::string>& nativeArgs, SkippedNames* skipped) {
    WorkList work;
    for (const std::string& arg : nativeArgs) {
        std::string rowPath = RowPathFromNative(arg);
        if (rowPath.empty()) {
            if (skipped) skipped->push_back(arg);
            continue;
        }
        // Per argument: a playlist read before makes its own folder the current one.
        std::string full = ExpandPath(CurrentFolder(), rowPath);
        if (IsPlaylistName(full)) ReadPlaylist(full, work, skipped);
        else ScanPath(full, work, skipped);
    }
    return work;
}

bool ReadPlaylist(const std::string& playlist, WorkList& work, SkippedNames* skipped) {
    auto native = fs::ToNative(playlist);
    if (!native) return false;
    auto bytes = fs::ReadWholeFile(*native, 64u << 20);
    if (!bytes || bytes->empty()) return false;

    std::string folder = path::Folder(playlist);
    if (folder.empty()) {
        folder = CurrentFolder();
        if (!folder.empty()) folder += kSep;
    } else if (auto nativeFolder = fs::ToNative(folder)) {
        if (::chdir(nativeFolder->c_str()) != 0) {
            // The lines are resolved against the folder all the same.
        }
    }
    for (const std::string& line : SplitLines(*bytes)) {
        // "#EXTM3U", "#EXTINF:..." and other comments name no file.
        if (!line.empty() && line[0] == '#') continue;
        if (auto entry = PlaylistEntry(folder, line, skipped)) work.push_back(std::move(*entry));
    }
    return true;
}

}  // namespace wvr
