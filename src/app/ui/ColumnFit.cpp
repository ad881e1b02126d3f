#include "app/ui/ColumnFit.h"

#include <cmath>
#include <string>

#include "app/ui/Text.h"

namespace wvr {
namespace {

constexpr unsigned kCodes = 256 * 256;

}  // namespace

CharacterWidths::CharacterWidths(const QFont& font) : metrics_(font), table_(kCodes, -1) {}

qreal CharacterWidths::WidthOf(unsigned code, std::string_view character) {
    qreal& width = table_[code];
    if (width < 0) width = metrics_.horizontalAdvance(FromSjis(std::string(character)));
    return width;
}

int CharacterWidths::Width(std::string_view text) {
    qreal width = 0;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // A lead byte takes the next byte along; one at the very end stands alone.
        if (cp932::IsLeadByte(lead) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            width += WidthOf(lead * 256u + trail, text.substr(i, 2));
            i += 2;
        } else {
            width += WidthOf(lead, text.substr(i, 1));
            ++i;
        }
    }
    return static_cast<int>(std::ceil(width));
}

WidestText WidestInColumn(const RowList& rows, int column, CharacterWidths& widths) {
    WidestText widest;
    for (int i = 0; i < rows.size(); ++i) {
        const std::string& text = rows[i].Column(column);
        if (text.empty()) continue;
        const int width = widths.Width(text);
        if (widest.row < 0 || width > widest.width) widest = {i, width};
    }
    return widest;
}

}  // namespace wvr
