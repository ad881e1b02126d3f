// The comma text: the one form in which a list of texts is held in one text (rename patterns,
// exception rules, parser pattern lists) and in which CSV lines are split.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wvr {

std::string JoinCommaText(const std::vector<std::string>& items);
std::vector<std::string> SplitCommaText(std::string_view text);

}  // namespace wvr
