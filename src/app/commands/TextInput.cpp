#include "app/commands/TextInput.h"

#include <algorithm>
#include <array>

#include "app/commands/NamedSets.h"
#include "app/commands/TextFiles.h"
#include "app/commands/Utf8Text.h"
#include "formats/PatternParser.h"
#include "formats/SjisText.h"
#include "formats/TextLines.h"

namespace wvr {
namespace {

constexpr const char* kDefaultFormatName = "Default";
constexpr std::initializer_list<const char*> kReservedNames = {"wvr", kDefaultFormatName};
constexpr int kCommonValues = 6;  // like Fields[0]..Fields[5]

// Values found by a line replace what a field held; nothing else is converted.
constexpr ParseOptions kOverwrite{true, false, false};

// One run: k walks the format, j the text and i the rows.
class TextInputRun {
public:
    TextInputRun(RowList& rows, const std::vector<std::string>& format, const std::vector<std::string>& text,
                 BusyIndicator* busy)
        : rows_(rows), format_(format), text_(text), busy_(busy) {}

    void Run() {
        const size_t rowCount = static_cast<size_t>(rows_.size());
        while (k_ < format_.size() && i_ < rowCount && j_ < text_.size()) {
            while (k_ < format_.size() && format_[k_].empty()) ++k_;
            while (j_ < text_.size() && text_[j_].empty()) ++j_;
            if (k_ == format_.size() || j_ == text_.size()) break;
            if (sjis::Trim(format_[k_]) == "{") {
                k_ = Block(k_ + 1) + 1;
                continue;
            }
            // A line common to all tracks: the first text line that matches supplies it.
            bool matched = false;
            while (!matched && j_ < text_.size()) matched = ParseByPattern(text_[j_++], format_[k_], common_, kOverwrite);
            ++k_;
        }
        if (touched_ >= 0) rows_.Changed(0, touched_);
    }

private:
    // Repeats the block from `start` with the next text line and row until the rows or the
    // lines run out, a line fails to match or a whole round takes nothing. Returns the format
    // line where block mode ended (the one after a line that failed).
    size_t Block(size_t start) {
        const size_t rowCount = static_cast<size_t>(rows_.size());
        for (;;) {
            bool consumed = false;
            size_t m = start;
            for (; m < format_.size(); ++m) {
                const std::string line = sjis::Trim(format_[m]);
                if (line == "}") break;
                if (line == "%0") {
                    if (j_ < text_.size()) {
                        ++j_;
                        consumed = true;
                    }
                    continue;
                }
                if (i_ == rowCount || j_ == text_.size() || (busy_ && busy_->Cancelled())) return m;
                TrackInfo& row = rows_.Mutable(static_cast<int>(i_));
                touched_ = static_cast<int>(i_);
                for (int f = 0; f < kCommonValues; ++f)
                    if (!common_[f].empty()) row.Fields[f] = common_[f];
                if (!ParseByPattern(text_[j_], format_[m], row.Fields, kOverwrite)) return m + 1;
                ++i_;
                ++j_;
                consumed = true;
                if (busy_) busy_->Progress(static_cast<int>(i_), static_cast<int>(rowCount));
            }
            if (!consumed) return m;
        }
    }

    RowList& rows_;
    const std::vector<std::string>& format_;
    const std::vector<std::string>& text_;
    BusyIndicator* busy_;
    size_t k_ = 0, j_ = 0, i_ = 0;
    std::array<std::string, kCommonValues> common_;
    int touched_ = -1;  // the last row whose fields may have changed
};

}  // namespace

InputFormat DefaultInputFormat() {
    return {kDefaultFormatName, {"%3 / %1", "{", "%0.%2", "}"}, "txt"};
}

std::vector<std::string> InputFormatChoices() {
    std::vector<std::string> names = {kDefaultFormatName};
    for (std::string& name : InputFormatNames()) names.push_back(std::move(name));
    return names;
}

InputFormat LoadInputFormat(const std::string& name) {
    if (name == kDefaultFormatName) return DefaultInputFormat();
    const IniEntries entries = ReadIniSection(kInputIni, name);
    if (entries.empty()) return DefaultInputFormat();
    InputFormat format;
    format.name = name;
    for (const auto& [key, value] : entries) {
        if (key.empty()) continue;
        if (key[0] == 'D') format.lines.push_back(value);
        else if (key[0] == 'E') format.extension = value;
    }
    return format;
}

bool StoreInputFormat(const InputFormat& format, Prompter& prompter) {
    IniEntries entries;
    AppendQuotedLines(entries, "DATA_", format.lines);
    entries.emplace_back("EXT", format.extension);
    return StoreNamedSet(kInputIni, format.name, kReservedNames, entries, prompter);
}

bool DeleteInputFormat(const std::string& name, Prompter& prompter) { return DeleteNamedSet(kInputIni, name, prompter); }

void RunTextInput(RowList& rows, const std::vector<std::string>& format, const std::vector<std::string>& text,
                  BusyIndicator* busy) {
    TextInputRun(rows, format, text, busy).Run();
}

bool TextInputCommand(Session& session, const std::vector<std::string>& format, const std::string& textPath,
                      Prompter& prompter, BusyIndicator* busy) {
    auto bytes = ReadTextFile(textPath, prompter);
    if (!bytes) return false;
    // A track list from an editor that writes UTF-8 is read as such: with a byte-order mark, or
    // valid UTF-8 holding non-ASCII bytes, which CP932 text almost never is.
    if (StartsWithUtf8ByteOrderMark(*bytes) || LooksLikeUtf8(*bytes)) *bytes = Utf8FileAsCp932(textPath, *bytes, prompter);
    BusySection section(busy);
    RunTextInput(session.rows, format, SplitLines(*bytes), busy);
    return true;
}

}  // namespace wvr
