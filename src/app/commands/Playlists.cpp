#include "app/commands/Playlists.h"

#include "platform/base/FileOps.h"

namespace wvr {

std::string PlaylistBytes(const std::vector<std::string>& cp932Paths) {
    std::string bytes;
    for (const std::string& p : cp932Paths) bytes += fs::ToNative(p).value_or(p) + "\r\n";
    return bytes;
}

}  // namespace wvr
