#include "formats/PathText.h"

#include "formats/SjisText.h"

namespace wvr::path {

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

std::string WithTrailingSeparator(std::string_view folder) {
    std::string out(folder);
    // The last character, not the last byte: on Windows "\" is also the second byte of characters like "ソ".
    if (!out.empty() && sjis::FindLastChar(out, kSeparator) != out.size() - 1) out += kSeparator;
    return out;
}

}  // namespace wvr::path
