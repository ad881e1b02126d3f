// Reading tag fields out of a name or a line of text by a pattern such as "[%1]%?%2": the
// literals between the codes are searched for, and each code takes the text between them.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace wvr {

struct ParseOptions {
    bool overwrite = false;            // a value replaces a field that already holds text
    bool underscoresToSpaces = false;  // "_" in a value becomes " "
    bool halfWidth = false;            // FullToHalfWidth on each value
};

// Matches `text` against `pattern` and stores what "%1" to "%6" take into `target`, indexed
// like Fields[0] to Fields[5] (at least six entries). "%?" skips one byte of the text; "%0"
// and any other code skip the text they take. Literals are found at their first occurrence,
// character by character. Returns false when a literal is missing; values stored before
// that stay stored.
bool ParseByPattern(std::string_view text, std::string_view pattern, std::span<std::string> target,
                    ParseOptions options);

}  // namespace wvr
