#include "cli/Help.h"

#include <sstream>

#include "cli/Subcommands.h"

namespace wvr::cli {
namespace {

constexpr const char* kIntro =
    R"(The command-line front end of wvr, a librarian for music files: the program's own routines
and settings, without windows.)";

constexpr const char* kConventions =
    R"(Every subcommand takes PATH... as the program takes its command line: files, folders (every
file below them), wildcard patterns and ".m3u" playlists. A file whose name CP932 cannot hold is
not read and is named on stderr, as is a PATH that names nothing (the exit status is then 1).
Options may stand anywhere among the arguments; after "--" every argument is taken as a name,
even one that starts with "-". Rows are printed one a line as "list" prints them. Messages go to
stderr as "title: text"; questions are answered No unless --yes is given. The settings are the
program's, in $XDG_CONFIG_HOME/brambly/ (default ~/.config/brambly/): wvr_2.conf, wvr.ini and
wvr_In.ini (an ini file beside the executable wins). --id3v2, given anywhere before "--", turns
the setting Id3v2Edit (options, last page) on for the run: files with an ID3v2.2, 2.3 or 2.4 tag are
listed with the tag's texts and play time, and written into that tag.)";

constexpr const char* kExitStatus = R"(Exit status:
  0  everything asked for was done
  1  some row or file was not done (said on stderr)
  2  bad arguments)";

void Put(std::FILE* out, const std::string& text) { std::fputs(text.c_str(), out); }

// --- roff

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    // A line must not start with a control character of roff.
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Paragraphs parted by blank lines become .PP paragraphs; a paragraph whose first line ends in
// ":" and whose other lines are indented is a heading over a list of "  ITEM  text" lines.
std::string Roff(const std::string& text) {
    std::string out;
    std::vector<std::string> paragraph;
    auto flush = [&] {
        if (paragraph.empty()) return;
        const bool list = paragraph.size() > 1 && paragraph[0].back() == ':' && paragraph[1].starts_with("  ");
        out += ".PP\n";
        if (list) {
            out += "\\fB" + Escaped(paragraph[0]) + "\\fR\n";
            for (size_t i = 1; i < paragraph.size(); ++i) {
                const std::string line = paragraph[i].substr(paragraph[i].find_first_not_of(' '));
                const size_t gap = line.find("  ");
                out += ".TP\n.B " + Escaped(line.substr(0, gap)) + "\n";
                if (gap != std::string::npos) out += Escaped(line.substr(line.find_first_not_of(' ', gap))) + "\n";
            }
        } else {
            for (const std::string& line : paragraph) out += Escaped(line) + "\n";
        }
        paragraph.clear();
    };
    for (const std::string& line : Lines(text)) {
        if (line.empty()) flush();
        else paragraph.push_back(line);
    }
    flush();
    return out;
}

}  // namespace

const SubcommandEntry* FindSubcommand(const std::string& name) {
    for (const SubcommandEntry& sub : Subcommands())
        if (name == sub.name) return &sub;
    return nullptr;
}

void PrintUsage(std::FILE* out) {
    Put(out, "usage:\n");
    for (const SubcommandEntry& sub : Subcommands()) Put(out, std::string("  wvr-cli ") + sub.usage + "\n");
    Put(out, "  wvr-cli SUBCOMMAND --help\n");
}

void PrintShortUsage(const SubcommandEntry& sub, std::FILE* out) {
    Put(out, std::string("usage: wvr-cli ") + sub.usage + "\n(wvr-cli " + sub.name + " --help tells more)\n");
}

void PrintOverview(std::FILE* out) {
    PrintUsage(out);
    Put(out, std::string("\n") + kIntro + "\n\nSubcommands:\n");
    size_t width = 0;
    for (const SubcommandEntry& sub : Subcommands()) width = std::max(width, std::string(sub.name).size());
    for (const SubcommandEntry& sub : Subcommands())
        Put(out, "  " + std::string(sub.name) + std::string(width + 2 - std::string(sub.name).size(), ' ') +
                     sub.summary + "\n");
    Put(out, std::string("\n") + kConventions + "\n\n" + kExitStatus + "\n");
}

void PrintHelp(const SubcommandEntry& sub, std::FILE* out) {
    Put(out, std::string("usage: wvr-cli ") + sub.usage + "\n\n" + sub.help + "\n");
}

std::string ManPage() {
    std::string page = ".TH WVR\\-CLI 1 \"\" \"wvr 1.10\" \"User Commands\"\n.SH NAME\n"
                       "wvr\\-cli \\- the command\\-line front end of wvr, a librarian for music files\n"
                       ".SH SYNOPSIS\n";
    for (const SubcommandEntry& sub : Subcommands()) page += ".B wvr\\-cli\n" + Escaped(sub.usage) + "\n.br\n";
    page += ".B wvr\\-cli\n" + Escaped("SUBCOMMAND --help") + "\n.SH DESCRIPTION\n" + Roff(kIntro) +
            Roff(kConventions) + ".SH SUBCOMMANDS\n";
    for (const SubcommandEntry& sub : Subcommands())
        page += ".SS \"" + Escaped(std::string("wvr-cli ") + sub.usage) + "\"\n" + Roff(sub.help);
    page += ".SH EXIT STATUS\n" + Roff(kExitStatus).substr(Roff(kExitStatus).find(".TP"));
    page += ".SH ENVIRONMENT\n.TP\n.B XDG_CONFIG_HOME\nWhere the folder brambly with the settings is; "
            "default ~/.config.\n";
    return page;
}

}  // namespace wvr::cli
