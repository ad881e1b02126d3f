#include "app/commands/TemplateOutput.h"

#include "app/commands/NamedSets.h"
#include "app/commands/TextFiles.h"
#include "formats/PathText.h"
#include "formats/TemplateMacros.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

namespace wvr {
namespace {

constexpr const char* kToFile = "ToFile";
// A set is read by the first letter of each key, and "E" is the extension's: the flag that
// asks for escaping is kept under a letter of its own.
constexpr const char* kEscapeKey = "SAFEHTML";
constexpr std::initializer_list<const char*> kReservedNames = {"wvr", kDefaultSetName, "wvr_csv", "wvr_Input"};

std::vector<std::string> Texts(std::initializer_list<const char*> utf8) {
    std::vector<std::string> out;
    for (const char* line : utf8) out.push_back(cp932::Text(line));
    return out;
}

}  // namespace

TemplateSet DefaultTemplateSet() {
    TemplateSet set;
    set.name = kDefaultSetName;
    set.header = Texts({"<html>", "<body bgcolor=\"#ffffff\"><center>",
                        "<table border><tr><th>曲名</th><th>アーティスト</th><th>アルバム名</th><th>ファイル名</th></tr>",
                        ""});
    set.body = Texts({"<tr><td>%2</td><td>%1</td><td>%3</td><td>%7</td></tr>"});
    set.footer = Texts({"</table></center>", "</body>", "</html>"});
    set.extension = "html";
    set.replacement = "\x81\x40";  // the ideographic space
    set.escapeHtml = true;
    return set;
}

std::vector<std::string> TemplateSetNames() {
    std::vector<std::string> names = {kDefaultSetName};
    for (std::string& name : OutputSetNames()) names.push_back(std::move(name));
    return names;
}

TemplateSet LoadTemplateSet(const std::string& name) {
    if (name == kDefaultSetName) return DefaultTemplateSet();
    const IniEntries entries = ReadIniSection(kOutputIni, name);
    if (entries.empty()) return DefaultTemplateSet();
    TemplateSet set;
    set.name = name;
    for (const auto& [key, value] : entries) {
        switch (key.empty() ? '\0' : key[0]) {
        case 'H': set.header.push_back(value); break;
        case 'B': set.body.push_back(value); break;
        case 'F': set.footer.push_back(value); break;
        case 'E': set.extension = value; break;
        case 'R': set.replacement = value; break;
        case 'S':
            if (key == kEscapeKey) set.escapeHtml = value == "1";
            break;
        default: break;
        }
    }
    return set;
}

bool StoreTemplateSet(const TemplateSet& set, Prompter& prompter) {
    IniEntries entries;
    AppendQuotedLines(entries, "HEAD_", set.header);
    AppendQuotedLines(entries, "BODY_", set.body);
    AppendQuotedLines(entries, "FOOT_", set.footer);
    entries.emplace_back("EXT", set.extension);
    entries.emplace_back("REPSTR", set.replacement);
    if (set.escapeHtml) entries.emplace_back(kEscapeKey, "1");
    return StoreNamedSet(kOutputIni, set.name, kReservedNames, entries, prompter);
}

bool DeleteTemplateSet(const std::string& name, Prompter& prompter) {
    return DeleteNamedSet(kOutputIni, name, prompter);
}

std::optional<int> StoredTemplateSetIndex() { return ReadDialogInteger(kToFile, "Index"); }

void StoreTemplateSetIndex(int index, Prompter& prompter) { StoreDialogInteger(kToFile, "Index", index, prompter); }

bool WriteTemplateOutput(const Session& session, const TemplateSet& set, const std::string& outPath,
                         Prompter& prompter, BusyIndicator* busy) {
    const RowList& rows = session.rows;
    TemplateContext context;
    context.outputFolder = path::Folder(outPath);
    context.replacement = set.replacement;
    context.escapeHtml = set.escapeHtml;
    for (const TrackInfo& row : rows) context.totalSeconds += row.SecondsValue();

    TextOutput out(outPath);
    if (!out.Create(prompter)) return false;
    {
        BusySection section(busy);
        const TrackInfo none;
        auto writeLines = [&](const std::vector<std::string>& lines, const TrackInfo& row, long long number) {
            for (const std::string& line : lines) {
                out.Write(ExpandTemplateLine(line, context, row, number));
                out.Write("\r\n");
            }
        };
        writeLines(set.header, rows.empty() ? none : rows[0], 0);
        for (int i = 0; i < rows.size(); ++i) {
            writeLines(set.body, rows[i], i + 1);
            if (busy) busy->Progress(i + 1, rows.size());
        }
        writeLines(set.footer, rows.empty() ? none : rows[rows.size() - 1], 0);
        if (!out.Finish(prompter)) return false;
    }
    prompter.Information(cp932::ToUtf8(path::FileName(outPath)) + "の出力を終了しました。");
    return true;
}

}  // namespace wvr
