#include "app/commands/Options.h"

namespace wvr {
namespace {

// The filter also reads the fields that have no list column (up to Fields[16]): a condition on
// one of them is kept, though the dialog has no name to choose it by.
int FilterFieldOrFileName(int index) { return index >= 0 && index <= kFieldCount ? index : 0; }

}  // namespace

Settings OptionsWorkingCopy(const Settings& settings) {
    Settings copy = settings;
    if (copy.EdtClmIdx < 0 || copy.EdtClmIdx >= kColumnClickChoices) copy.EdtClmIdx = 0;
    if (copy.RenString.empty()) copy.RenStrIdx = -1;
    else if (copy.RenStrIdx < 0 || copy.RenStrIdx >= static_cast<int>(copy.RenString.size())) copy.RenStrIdx = 0;
    for (auto& rule : copy.ReName) {
        const int field = RuleField(rule);
        rule.resize(kRuleItemCount);
        rule[kRuleField] = std::to_string(field < 0 ? 0 : field);
    }
    // Entry 0 is the inclusion condition, which the dialog always shows.
    if (copy.Filter.empty()) copy.Filter.push_back({false, 0, ""});
    for (auto& entry : copy.Filter) entry.Index = FilterFieldOrFileName(entry.Index);
    return copy;
}

void ApplyOptions(Settings& settings, const Settings& edited) {
    settings.bits = edited.bits;
    settings.EdtClmIdx = edited.EdtClmIdx;
    settings.PlyPlayer = edited.PlyPlayer;
    settings.CnvEngineer = edited.CnvEngineer;
    settings.RenLrcFld = edited.RenLrcFld;
    settings.RenString = edited.RenString;
    settings.RenStrIdx = edited.RenStrIdx;
    settings.fonts = edited.fonts;
    settings.FilterSel = edited.FilterSel;
    settings.ReName = edited.ReName;
    settings.Filter = edited.Filter;
    settings.csvColumns = edited.csvColumns;
    settings.CsvUtf8 = edited.CsvUtf8;
    settings.CsvHeader = edited.CsvHeader;
    settings.Id3v2Edit = edited.Id3v2Edit;
    settings.Id3v2Version = edited.Id3v2Version;
    settings.JournalDays = edited.JournalDays;
    settings.JournalMegabytes = edited.JournalMegabytes;
}

std::string OptionsHelpTopic(int page) { return "HELPC_00" + std::to_string(page + 19); }

}  // namespace wvr
