#include "app/commands/Find.h"

#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

bool BytesAgree(unsigned char t, unsigned char n) {
    if (t == n) return true;
    if (n >= 'A' && n <= 'Z') return t == n + 32;
    if (n >= 'a' && n <= 'z') return t == n - 32;
    return false;
}

bool MatchesAt(std::string_view text, size_t at, std::string_view needle, bool matchCase) {
    if (matchCase) return text.compare(at, needle.size(), needle) == 0;
    for (size_t k = 0; k < needle.size(); ++k)
        if (!BytesAgree(static_cast<unsigned char>(text[at + k]), static_cast<unsigned char>(needle[k]))) return false;
    return true;
}

void ShowNotFound(const std::string& text, Prompter& prompter) {
    prompter.Ask({"検索", cp932::ToUtf8(text) + " が見つかりません。", PromptIcon::Information, PromptButtons::Ok});
}

}  // namespace

bool ContainsText(std::string_view text, std::string_view needle, bool matchCase) {
    if (needle.empty() || needle.size() > text.size()) return false;
    const size_t lastStart = text.size() - needle.size();
    for (size_t i = 0; i <= lastStart;) {
        if (MatchesAt(text, i, needle, matchCase)) return true;
        i += cp932::IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    }
    return false;
}

int FindRow(const RowList& rows, int start, std::string_view needle, bool matchCase) {
    for (int i = start < 0 ? 0 : start; i < rows.size(); ++i) {
        const TrackInfo& row = rows[i];
        if (ContainsText(row.FileName, needle, matchCase)) return i;
        for (const std::string& field : row.Fields)
            if (ContainsText(field, needle, matchCase)) return i;
    }
    return -1;
}

int FindFromDialog(const RowList& rows, SearchState& state, const std::string& text, bool matchCase, bool fromTop,
                   int focusedRow, Prompter& prompter) {
    state.SearchText = text;
    const int start = fromTop ? 0 : focusedRow >= 0 ? focusedRow + 1 : state.LastFoundIndex;
    const int found = FindRow(rows, start, text, matchCase);
    if (found < 0) {
        ShowNotFound(text, prompter);
        return -1;
    }
    state.LastFoundIndex = found;
    state.SearchMatchCase = matchCase;
    return found;
}

int FindNext(const RowList& rows, SearchState& state, int focusedRow, Prompter& prompter) {
    if (focusedRow < 0 || state.SearchText.empty()) return -1;
    const int found = FindRow(rows, focusedRow + 1, state.SearchText, state.SearchMatchCase);
    if (found < 0) {
        ShowNotFound(state.SearchText, prompter);
        return -1;
    }
    state.LastFoundIndex = found;
    return found;
}

}  // namespace wvr
