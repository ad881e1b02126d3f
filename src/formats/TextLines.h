// The lines of a text file as the program reads playlists, CSV files and text-input files:
// a line ends at CR, LF or CR LF, and a final line break does not make an empty last line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wvr {

std::vector<std::string> SplitLines(std::string_view text);

}  // namespace wvr
