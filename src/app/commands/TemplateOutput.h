// Writing the whole list into a text file through a header, a body per row and a footer
// (HTML by default), and the named template sets kept in "wvr.ini".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/commands/Session.h"

namespace wvr {

class Prompter;

struct TemplateSet {
    std::string name;  // every text CP932
    std::vector<std::string> header, body, footer;
    std::string extension;
    std::string replacement;  // stands in for an empty value
    // The values go into HTML: "<", ">", "&" and the double quote become character references.
    bool escapeHtml = false;

    bool operator==(const TemplateSet&) const = default;
};

inline constexpr const char* kDefaultSetName = "Default";

// The "Default" set: an HTML table of title, artist, album and file name, its values escaped.
TemplateSet DefaultTemplateSet();
// "Default", then the stored sets in file order.
std::vector<std::string> TemplateSetNames();
// The set of that name; "Default" or a missing one give the default set.
TemplateSet LoadTemplateSet(const std::string& name);
// Stores the set under its name (refused: "wvr", "Default", "wvr_csv", "wvr_Input"); false
// after a message when nothing was stored.
bool StoreTemplateSet(const TemplateSet& set, Prompter& prompter);
bool DeleteTemplateSet(const std::string& name, Prompter& prompter);

// The position in the name list of the set chosen when the dialog was last closed.
std::optional<int> StoredTemplateSetIndex();
void StoreTemplateSetIndex(int index, Prompter& prompter);

// Writes the header once (number 0, first row), the body once per row (numbers from 1) and
// the footer once (number 0, last row), each line followed by CR LF, then shows
// "<name>の出力を終了しました。". False after a message when the file could not be written.
bool WriteTemplateOutput(const Session& session, const TemplateSet& set, const std::string& outPath,
                         Prompter& prompter, BusyIndicator* busy);

}  // namespace wvr
