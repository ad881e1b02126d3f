#include "formats/FieldMacros.h"

#include <cstdio>

#include "formats/PathText.h"
#include "formats/SjisText.h"

namespace wvr {
namespace {

// The file-name characters and their full-width CP932 forms, in the order they are replaced.
constexpr std::string_view kSafeCharTable[][2] = {
    {"/", "\x81\x5E"}, {"\\", "\x81\x8F"}, {"?", "\x81\x48"}, {":", "\x81\x46"},
    {";", "\x81\x47"}, {",", "\x81\x43"},  {"*", "\x81\x96"}, {"\"", "\x81\x68"},
    {"<", "\x81\x83"}, {">", "\x81\x84"},  {"|", "\x81\x62"},
};

// The ASCII form of the full-width character lead + trail, or 0 when it has none here.
char HalfWidthOf(unsigned char lead, unsigned char trail) {
    if (lead == 0x81) {
        switch (trail) {
        case 0x40: return ' ';
        case 0x43: return ',';
        case 0x46: return ':';
        case 0x47: return ';';
        case 0x48: return '?';
        case 0x49: return '!';
        case 0x5E: return '/';
        case 0x62: return '|';
        case 0x68: return '"';
        case 0x83: return '<';
        case 0x84: return '>';
        case 0x8F: return '\\';
        case 0x96: return '*';
        default: return 0;
        }
    }
    if (lead == 0x82) {
        if ((trail >= 0x4F && trail <= 0x58) || (trail >= 0x60 && trail <= 0x79)) return static_cast<char>(trail - 0x1F);
        if (trail >= 0x81 && trail <= 0x9A) return static_cast<char>(trail - 0x20);
    }
    return 0;
}

}  // namespace

std::string FullToHalfWidth(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string out;
    out.reserve(text.size());
    // Character by character: a lead byte takes the next byte with it, any other byte stands
    // alone, so a control byte or a stray byte never shifts where the next character starts.
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (sjis::CharWidth(text, i) == 1) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (char half = HalfWidthOf(b, static_cast<unsigned char>(text[i + 1]))) out += half;
        else out.append(text.substr(i, 2));
        i += 2;
    }
    return out;
}

std::string ApplySafeCharTable(std::string_view text) {
    std::string out(text);
    for (const auto& [ascii, fullWidth] : kSafeCharTable) out = sjis::ReplaceAll(out, ascii, fullWidth);
    return out;
}

std::string FormatPlayTime(long long seconds) {
    char text[64];
    if (seconds < 3600)
        std::snprintf(text, sizeof text, "%02lld:%02lld", seconds % 3600 / 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds % 3600 / 60, seconds % 60);
    return text;
}

std::string KindExtension(int kind, bool rmpAsMp3) {
    switch (static_cast<FileKind>(kind)) {
    case FileKind::Mpeg:
    case FileKind::Id3v2Mpeg: return ".mp3";
    case FileKind::RiffWave: return ".wav";
    case FileKind::RiffRmp3: return rmpAsMp3 ? ".mp3" : ".rmp";
    case FileKind::SoundVq: return ".vqf";
    default: return {};
    }
}

std::string ExpandFieldMacros(std::string_view pattern, long long number, const TrackInfo& row,
                              MacroOptions options) {
    // The name on disk, not the file-name column, which may hold a pending rename.
    const std::string name = path::FileName(row.Path);
    const std::string extension = path::Extension(name);
    const std::string stem = name.substr(0, name.size() - extension.size());
    const std::string numberText = (number < 10 ? "0" : "") + std::to_string(number);
    const std::string kindExtension = KindExtension(row.KindCode(), options.RmpAsMp3);

    // One replace-all pass per code, in this order, each over the result of the one before.
    const std::pair<std::string_view, std::string_view> passes[] = {
        {"%1", row.Fields[kArtist]}, {"%2", row.Fields[kTitle]},   {"%3", row.Fields[kAlbum]},
        {"%4", row.Fields[kDate]},   {"%5", row.Fields[kComment]}, {"%7", stem},
        {"%f", stem},                {"%9", extension},            {"%n", numberText},
        {"%e", kindExtension},
    };
    std::string text(pattern);
    for (const auto& [code, value] : passes) {
        // A value cut mid-character (a 30-byte ID3v1 field) loses its dangling lead byte, which
        // would pair with the first byte of what follows it.
        auto next = sjis::ReplaceAllWithin(text, code, sjis::WithoutLoneLeadByte(value), kMaxExpandedBytes);
        if (!next) break;
        text = std::move(*next);
    }

    if (options.HalfWidth) text = FullToHalfWidth(text);
    if (options.UnderscoreSpaces) text = sjis::ReplaceAll(text, " ", "_");
    if (options.SafeChars) text = ApplySafeCharTable(text);
    return text;
}

}  // namespace wvr
