// The codes of template output: a header, body or footer line with "%1", "%t", "%p" and the
// rest replaced by the values of one row.
#pragma once

#include <string>
#include <string_view>

#include "formats/TrackInfo.h"

namespace wvr {

// What a run of the output knows besides the row.
struct TemplateContext {
    std::string outputFolder;   // folder of the output file, for "%p"
    std::string replacement;    // stands in for an empty value
    long long totalSeconds = 0; // "%a": the play time of every row
    bool escapeHtml = false;    // "<", ">", "&" and the double quote of values as HTML references
};

// The text with "<", ">", "&" and the double quote written as HTML character references.
std::string EscapeHtml(std::string_view text);

// Replaces the codes of `line` for `row` with replace-all passes in a fixed order, each over
// the result of the one before; `number` is "%n" (0 in header and footer).
std::string ExpandTemplateLine(std::string_view line, const TemplateContext& context, const TrackInfo& row,
                               long long number);

}  // namespace wvr
