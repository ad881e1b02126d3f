#include "formats/TemplateMacros.h"

#include <bitset>

#include "formats/FieldMacros.h"
#include "formats/PathText.h"
#include "formats/SjisText.h"

namespace wvr {
namespace {

// The tag codes and their fields, in the order they are replaced.
constexpr std::pair<std::string_view, int> kTagCodes[] = {
    {"%1", kArtist},    {"%2", kTitle},    {"%3", kAlbum},     {"%4", kDate},       {"%5", kComment},
    {"%6", kGenre},     {"%A", kCopyright}, {"%B", kEngineer}, {"%C", kSource},     {"%D", kSoftware},
    {"%E", kKeywords},  {"%F", kTechnician}, {"%G", kLyrics},  {"%H", kCommission},
};

// The characters c for which "%c" stands in the text at a character start: one walk over the
// text tells which of the many passes have anything to do.
std::bitset<256> CodesIn(std::string_view text) {
    std::bitset<256> codes;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%') codes.set(static_cast<unsigned char>(text[i + 1]));
        else i += sjis::CharWidth(text, i) - 1;
    }
    return codes;
}

}  // namespace

std::string EscapeHtml(std::string_view text) {
    // None of these bytes is ever the second byte of a CP932 character. Most values hold none.
    const size_t next = text.find_first_of("<>&\"");
    if (next == std::string_view::npos) return std::string(text);
    std::string out(text.substr(0, next));
    out.reserve(text.size() + 16);
    for (char c : text.substr(next)) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string ExpandTemplateLine(std::string_view line, const TemplateContext& context, const TrackInfo& row,
                               long long number) {
    std::string text(line);
    std::bitset<256> present = CodesIn(text);
    // One replace-all pass per code, each over the result of the one before (whose values may
    // bring codes of their own); a value is only worked out when its code is there. The codes
    // of names and fields never leave a cell empty: an empty value gives the replacement text.
    // A pass that would grow the line past kMaxExpandedBytes ends the expansion.
    bool full = false;
    auto pass = [&](std::string_view code, auto&& value, bool mayBeEmpty) {
        if (full || !present[static_cast<unsigned char>(code[1])]) return;
        // A value cut mid-character loses its dangling lead byte, which would pair with the
        // first byte of what follows it. The replacement text is the user's own markup.
        const std::string whole = value();
        const std::string_view cut = sjis::WithoutLoneLeadByte(whole);
        const std::string v = context.escapeHtml ? EscapeHtml(cut) : std::string(cut);
        auto next = sjis::ReplaceAllWithin(text, code, v.empty() && !mayBeEmpty ? std::string_view(context.replacement) : v,
                                           kMaxExpandedBytes);
        full = !next;
        if (full) return;
        text = std::move(*next);
        present = CodesIn(text);
    };
    // Not a structured binding: clang 14, which builds the fuzz targets, cannot capture one.
    for (const auto& code : kTagCodes) pass(code.first, [&] { return row.Fields[code.second]; }, false);
    const std::string name = path::FileName(row.Path);
    const std::string folder = path::Folder(row.Path);
    pass("%7", [&] { return path::WithoutExtension(name); }, false);
    pass("%8", [&] { return folder; }, false);
    pass("%9", [&] { return path::Extension(name); }, false);
    pass("%n", [&] { return std::to_string(number); }, false);
    pass("%p", [&] { return folder.empty() ? folder : path::RelativeTo(context.outputFolder, folder); }, false);
    pass("%t", [&] { return FormatPlayTime(row.SecondsValue()); }, true);
    pass("%s", [&] { return std::to_string(row.AudioSizeValue() / 1024) + "KB"; }, true);
    pass("%a", [&] { return FormatPlayTime(context.totalSeconds); }, true);
    return text;
}

}  // namespace wvr
