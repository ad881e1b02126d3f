#include "app/commands/Fill.h"

#include "formats/FieldMacros.h"
#include "formats/SjisText.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

// Fields that copy all carries over: the fourteen with a column and Fields[14].
constexpr int kCopiedFields = 15;

}  // namespace

int FillRows(Session& session, int field, const std::string& text, FillMode mode) {
    if (field < 0 || field >= kColumnCount - 1) return 0;
    RowList& rows = session.rows;
    const bool allRows = session.settings.Get(Option::FilChkOff);
    const bool macros = session.settings.Get(Option::FilUseMcr);
    int filled = 0, first = -1, last = -1;
    for (int i = 0; i < rows.size(); ++i) {
        TrackInfo& row = rows.Mutable(i);
        if (!row.Checked && !allRows) continue;
        const std::string fill = macros ? ExpandFieldMacros(text, i + 1, row, MacroOptions{}) : text;
        std::string& value = row.Fields[field];
        // A text cut mid-character loses its dangling lead byte where another text is joined
        // after it, as every joiner of texts drops it.
        switch (mode) {
        case FillMode::Front: value.insert(0, sjis::WithoutLoneLeadByte(fill)); break;
        case FillMode::Replace: value = fill; break;
        case FillMode::Back:
            if (!fill.empty()) value.resize(sjis::WithoutLoneLeadByte(value).size());
            value += fill;
            break;
        }
        row.Checked = true;
        ++filled;
        if (first < 0) first = i;
        last = i;
    }
    if (filled) rows.Changed(first, last);
    return filled;
}

bool CopyAllFields(Session& session, int current, Prompter& prompter) {
    RowList& rows = session.rows;
    if (current < 0 || current >= rows.size()) return false;
    const Prompt question{kAppTitle, "すべての項目を選択されてるファイルと同じにします。\n", PromptIcon::Question,
                          PromptButtons::OkCancel};
    if (prompter.Ask(question) != PromptAnswer::Ok) return false;
    const TrackInfo source = rows[current];
    for (int i = 0; i < rows.size(); ++i) {
        TrackInfo& row = rows.Mutable(i);
        for (int f = 0; f < kCopiedFields; ++f) row.Fields[f] = source.Fields[f];
        row.Checked = true;
    }
    rows.ChangedAll();
    return true;
}

}  // namespace wvr
