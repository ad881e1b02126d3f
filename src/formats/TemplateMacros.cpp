#include "formats/TemplateMacros.h"

#include "formats/FieldMacros.h"
#include "formats/PathText.h"
#include "formats/SjisText.h"

namespace wvr {

std::string ExpandTemplateLine(std::string_view line, const TemplateContext& context, const TrackInfo& row,
                               long long number) {
    if (line.find('%') == std::string_view::npos) return std::string(line);
    const std::string name = path::FileName(row.Path);
    const std::string extension = path::Extension(name);
    const std::string folder = path::Folder(row.Path);
    const std::string valued[][2] = {
        {"%1", row.Fields[kArtist]},     {"%2", row.Fields[kTitle]},      {"%3", row.Fields[kAlbum]},
        {"%4", row.Fields[kDate]},       {"%5", row.Fields[kComment]},    {"%6", row.Fields[kGenre]},
        {"%A", row.Fields[kCopyright]},  {"%B", row.Fields[kEngineer]},   {"%C", row.Fields[kSource]},
        {"%D", row.Fields[kSoftware]},   {"%E", row.Fields[kKeywords]},   {"%F", row.Fields[kTechnician]},
        {"%G", row.Fields[kLyrics]},     {"%H", row.Fields[kCommission]},
        {"%7", name.substr(0, name.size() - extension.size())},
        {"%8", folder},                  {"%9", extension},
        {"%n", std::to_string(number)},  {"%p", folder.empty() ? folder : path::RelativeTo(context.outputFolder, folder)},
    };
    std::string text(line);
    // These codes never leave a cell empty: an empty value gives the replacement text.
    for (const auto& [code, value] : valued)
        text = sjis::ReplaceAll(text, code, value.empty() ? context.replacement : value);
    text = sjis::ReplaceAll(text, "%t", FormatPlayTime(row.SecondsValue()));
    text = sjis::ReplaceAll(text, "%s", std::to_string(row.AudioSizeValue() / 1024) + "KB");
    return sjis::ReplaceAll(text, "%a", FormatPlayTime(context.totalSeconds));
}

}  // namespace wvr
