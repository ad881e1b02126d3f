#include "formats/PathText.h"

#include <vector>

#include "formats/SjisText.h"

namespace wvr::path {
namespace {

// The folder names of a path, in order, with "." and ".." resolved as a full path would be.
std::vector<std::string_view> FolderNames(std::string_view folder) {
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start < folder.size()) {
        size_t end = sjis::Find(folder, std::string_view(&kSeparator, 1), start);
        if (end == std::string_view::npos) end = folder.size();
        const std::string_view name = folder.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    return names;
}

#ifdef _WIN32
char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters compare in either case; the second byte of a double-byte character exactly.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
        if (sjis::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size() && a[++i] != b[i]) return false;
    }
    return true;
}

std::string_view DriveOf(std::string_view path) {
    const size_t colon = path.find(':');
    return colon == std::string_view::npos ? std::string_view() : path.substr(0, colon + 1);
}
#else
bool SameName(std::string_view a, std::string_view b) { return a == b; }
std::string_view DriveOf(std::string_view) { return {}; }
#endif

}  // namespace

std::string FileName(std::string_view path) {
    size_t sep = sjis::FindLastChar(path, kSeparator);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string Folder(std::string_view path) {
    size_t sep = sjis::FindLastChar(path, kSeparator);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string Extension(std::string_view path) {
    std::string name = FileName(path);
    size_t dot = sjis::FindLastChar(name, '.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string WithoutExtension(std::string_view path) {
    return std::string(path.substr(0, path.size() - Extension(path).size()));
}

std::string RelativeTo(std::string_view folder, std::string_view target) {
    if (!SameName(DriveOf(folder), DriveOf(target))) return std::string(target);
    const std::string targetFolder = Folder(target);
    const std::vector<std::string_view> from = FolderNames(folder.substr(DriveOf(folder).size()));
    const std::vector<std::string_view> to =
        FolderNames(std::string_view(targetFolder).substr(DriveOf(targetFolder).size()));
    size_t shared = 0;
    while (shared < from.size() && shared < to.size() && SameName(from[shared], to[shared])) ++shared;
    std::string out;
    for (size_t i = shared; i < from.size(); ++i) out += std::string("..") + kSeparator;
    for (size_t i = shared; i < to.size(); ++i) (out += to[i]) += kSeparator;
    return out + FileName(target);
}

std::string WithTrailingSeparator(std::string_view folder) {
    std::string out(folder);
    // The last character, not the last byte: on Windows "\" is also the second byte of characters like "ソ".
    if (!out.empty() && sjis::FindLastChar(out, kSeparator) != out.size() - 1) out += kSeparator;
    return out;
}

}  // namespace wvr::path
