#include "app/commands/Csv.h"

#include <chrono>
#include <unordered_map>

#include "app/commands/AddFiles.h"
#include "app/commands/TextFiles.h"
#include "formats/CommaText.h"
#include "formats/PathText.h"
#include "formats/SjisText.h"
#include "formats/TextLines.h"

namespace wvr {
namespace {

constexpr int kPathCode = 0;
constexpr int kLastTextCode = 20;  // codes 1..20 name the indexed texts 0..19
constexpr int kDefaultFieldCodes = kFieldCount;  // the default order ends with Fields[16]
constexpr size_t kBatchRows = 4096;

bool IsTextCode(int code) { return code >= 1 && code <= kLastTextCode; }

// A spreadsheet-style value is quoted when it holds a comma or a space. So is one that would
// not read back as itself bare: a leading double quote would open a quoted value, and a tab or
// another control byte would end it as a space does, shifting every column after it.
bool NeedsSpreadsheetQuotes(const std::string& value) {
    if (!value.empty() && value[0] == '"') return true;
    for (char c : value)
        if (c == ',' || static_cast<unsigned char>(c) <= 32) return true;
    return false;
}

void AppendValue(std::string& out, const std::string& value, bool spreadsheet) {
    // Quote, comma, space and control bytes never occur as the second byte of a CP932
    // character, so the bytes can be looked at one by one.
    if (spreadsheet && !NeedsSpreadsheetQuotes(value)) {
        out += value;
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void AppendCsvLine(std::string& out, const TrackInfo& row, const std::vector<int>& columns,
                   const std::string& pathValue, bool spreadsheet) {
    for (size_t j = 0; j < columns.size(); ++j) {
        if (j > 0) out += ',';
        const int code = columns[j];
        AppendValue(out, IsTextCode(code) ? row.Text(code - 1) : pathValue, spreadsheet);
    }
}

// A save shows the list's texts trimmed. The path is left as it is: on this file system a
// trailing blank may belong to the file's name, and the row must keep naming its file.
void TrimRows(RowList& rows) {
    for (int i = 0; i < rows.size(); ++i) {
        TrackInfo& row = rows.Mutable(i);
        for (int t = 0; t < kIndexedTextCount; ++t)
            if (t != kPathText) sjis::TrimInPlace(row.Text(t));
    }
    rows.ChangedAll();
}

// The lines of a CSV file. A line break inside a quoted value belongs to the value (a comment
// or lyrics over several lines), so that the rest of the row is not cut off into a line of its
// own; a quote is opened only where a value starts, as the splitting of a line reads it. A
// quote that is never closed leaves its line breaks ending lines as any other.
std::vector<std::string> SplitCsvLines(std::string_view text) {
    std::vector<std::string> lines;
    const size_t n = text.size();
    size_t start = 0, p = 0;
    bool quoted = false, valueStart = true;
    auto isBreak = [&](size_t i) { return i < n && (text[i] == '\r' || text[i] == '\n'); };
    while (p < n) {
        const char c = text[p];
        const size_t width = sjis::IsLeadByte(static_cast<unsigned char>(c)) && p + 1 < n && !isBreak(p + 1) ? 2 : 1;
        if (quoted) {
            if (c == '"' && p + 1 < n && text[p + 1] == '"') {
                p += 2;
            } else if (c == '"') {
                quoted = false;
                valueStart = true;  // text right after a closing quote starts a new value
                ++p;
            } else {
                p += width;
            }
        } else if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, p - start));
            p += c == '\r' && p + 1 < n && text[p + 1] == '\n' ? 2 : 1;
            start = p;
            valueStart = true;
        } else if (c == '"' && valueStart) {
            quoted = true;
            ++p;
        } else {
            valueStart = c == ',' || static_cast<unsigned char>(c) <= 32;
            p += width;
        }
    }
    if (quoted) {
        for (std::string& line : SplitLines(text.substr(start))) lines.push_back(std::move(line));
    } else if (start < n) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::string FirstValue(const std::string& line) {
    std::vector<std::string> values = SplitCommaText(line);
    return values.empty() ? std::string() : std::move(values[0]);
}

// A CD player's track list: album on line 1, artist on line 2, then one line per row with
// the title as its second value and the comment as its fourth.
void LayCdList(RowList& rows, const std::vector<std::string>& lines) {
    if (lines.size() < 3) return;
    const std::string album = FirstValue(lines[0]);
    const std::string artist = FirstValue(lines[1]);
    int changed = 0;
    for (size_t n = 2; n < lines.size() && changed < rows.size(); ++n, ++changed) {
        const std::vector<std::string> values = SplitCommaText(lines[n]);
        if (values.size() < 4) break;
        TrackInfo& row = rows.Mutable(changed);
        row.Fields[kTitle] = values[1];
        row.Fields[kArtist] = artist;
        row.Fields[kAlbum] = album;
        row.Fields[kComment] = values[3];
    }
    if (changed > 0) rows.Changed(0, changed - 1);
}

// Without a path column, line i is laid onto row i.
void LayLines(RowList& rows, const std::vector<std::string>& lines, const std::vector<int>& columns) {
    const int count = std::min(static_cast<int>(lines.size()), rows.size());
    for (int i = 0; i < count; ++i) {
        const std::vector<std::string> values = SplitCommaText(lines[i]);
        TrackInfo& row = rows.Mutable(i);
        for (size_t j = 0; j < columns.size(); ++j)
            if (IsTextCode(columns[j])) row.Text(columns[j] - 1) = j < values.size() ? values[j] : std::string();
    }
    if (count > 0) rows.Changed(0, count - 1);
}

// Lines with a path column become rows. Rows that a line replaces (CsvAdd) are only marked
// while the files are read and leave the list at the end, so that the row indexes stay put
// and finding the row of a path does not walk the whole list for every line.
class CsvRowReader {
public:
    CsvRowReader(Session& session, int pathColumn, Prompter& prompter, BusyIndicator* busy, SkippedCsvLines* skipped)
        : rows_(session.rows),
          columns_(CsvColumnsInUse(session.settings)),
          pathColumn_(static_cast<size_t>(pathColumn)),
          replace_(session.settings.Get(Option::CsvAdd)),
          prompter_(prompter),
          busy_(busy),
          skipped_(skipped) {
        if (!replace_) return;
        for (int i = 0; i < rows_.size(); ++i) rowsOfPath_[rows_[i].Path].push_back(i);
    }

    void Read(const std::string& csvPath, const std::vector<std::string>& lines) {
        const std::string folder = path::Folder(csvPath);
        for (size_t n = 0; n < lines.size(); ++n) {
            if (!ReadLine(folder, lines[n]) && skipped_ && !sjis::Trim(lines[n]).empty())
                skipped_->emplace_back(csvPath, static_cast<int>(n + 1));
            if (busy_) busy_->Progress(static_cast<int>(n + 1), static_cast<int>(lines.size()));
        }
    }

    void Finish() {
        Flush();
        rows_.Remove(std::move(replaced_));
        replaced_.clear();
    }

private:
    bool ReadLine(const std::string& folder, const std::string& line) {
        const std::vector<std::string> values = SplitCommaText(line);
        if (values.size() <= pathColumn_) return false;
        const std::string full = ExpandPath(folder, values[pathColumn_]);
        if (replace_) ForgetFirstRowOf(full);
        Detection detection = DetectKind(full, prompter_);
        if (detection.kind == FileKind::Unsupported) return false;
        // The texts come from the line only; the file's tags are not read. The property text
        // is built for an audio size of 0, so the play time is 0.
        AudioInfo info = PropertyText(detection, 0);
        if (info.infoText.empty()) return false;
        TrackInfo row;
        for (size_t j = 0; j < values.size() && j < columns_.size(); ++j) {
            if (IsTextCode(columns_[j])) {
                row.Text(columns_[j] - 1) = values[j];
            } else if (columns_[j] == kPathCode) {
                row.Path = full;
                row.FileName = path::FileName(full);
            }
        }
        row.Kind = std::to_string(static_cast<int>(detection.kind));
        row.InfoText = std::move(info.infoText);
        row.Seconds.assign(1, '0');  // (an assignment of "0" trips a false GCC 12 warning)
        Append(std::move(row));
        return true;
    }

    void ForgetFirstRowOf(const std::string& path) {
        auto it = rowsOfPath_.find(path);
        if (it == rowsOfPath_.end() || it->second.empty()) return;
        replaced_.push_back(it->second.front());
        it->second.erase(it->second.begin());
    }

    void Append(TrackInfo row) {
        if (replace_) rowsOfPath_[row.Path].push_back(rows_.size() + static_cast<int>(pending_.size()));
        if (pending_.empty()) pending_.reserve(kBatchRows);
        pending_.push_back(std::move(row));
        if (pending_.size() >= kBatchRows || std::chrono::steady_clock::now() - lastFlush_ > std::chrono::milliseconds(100))
            Flush();
    }

    void Flush() {
        if (!pending_.empty()) rows_.Append(std::move(pending_));
        pending_.clear();
        lastFlush_ = std::chrono::steady_clock::now();
    }

    RowList& rows_;
    const std::vector<int> columns_;
    const size_t pathColumn_;
    const bool replace_;
    Prompter& prompter_;
    BusyIndicator* busy_;
    SkippedCsvLines* skipped_;
    std::unordered_map<std::string, std::vector<int>> rowsOfPath_;  // live rows by path, in list order
    std::vector<int> replaced_;
    std::vector<TrackInfo> pending_;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};

int PathColumnOf(const std::vector<int>& columns) {
    for (size_t j = 0; j < columns.size(); ++j)
        if (columns[j] == kPathCode) return static_cast<int>(j);
    return -1;
}

}  // namespace

std::vector<int> CsvColumnsInUse(const Settings& settings) {
    if (!settings.csvColumns.empty()) return settings.csvColumns;
    std::vector<int> columns = {kPathCode, kKindText + 1};
    for (int code = 1; code <= kDefaultFieldCodes; ++code) columns.push_back(code);
    return columns;
}

std::string CsvLine(const TrackInfo& row, const std::vector<int>& columns, const std::string& pathValue,
                    bool spreadsheet) {
    std::string line;
    AppendCsvLine(line, row, columns, pathValue, spreadsheet);
    return line;
}

bool SaveCsv(Session& session, const std::string& csvPath, Prompter& prompter, BusyIndicator* busy) {
    TextOutput out(csvPath);
    if (!out.Create(prompter)) return false;
    BusySection section(busy);
    RowList& rows = session.rows;
    TrimRows(rows);

    const Settings& settings = session.settings;
    const std::vector<int> columns = CsvColumnsInUse(settings);
    const bool spreadsheet = settings.Get(Option::CsvExcel);
    const bool relative = settings.Get(Option::CsvRelative);
    const std::string folder = path::Folder(csvPath);
    std::string line;
    for (int i = 0; i < rows.size(); ++i) {
        const TrackInfo& row = rows[i];
        line.clear();
        AppendCsvLine(line, row, columns, relative ? path::RelativeTo(folder, row.Path) : row.Path, spreadsheet);
        line += "\r\n";
        out.Write(line);
        if (busy) busy->Progress(i + 1, rows.size());
    }
    return out.Finish(prompter);
}

bool LoadCsv(Session& session, const std::vector<std::string>& csvPaths, Prompter& prompter, BusyIndicator* busy,
             SkippedCsvLines* skipped) {
    const Settings& settings = session.settings;
    BusySection section(busy);
    const bool cdList = settings.Get(Option::CsvKnowCD);
    const std::vector<int> columns = CsvColumnsInUse(settings);
    const int pathColumn = PathColumnOf(columns);
    // The list is cleared only when there is something to put in its place: rows that the
    // lines add. The CD player's list and lines without a path are laid onto the rows listed,
    // which a clearing would throw away and leave nothing to lay them onto.
    bool clearFirst = settings.Get(Option::EdtAddClr) && !cdList && pathColumn >= 0;
    auto readNext = [&](const std::string& csvPath) -> std::optional<std::vector<std::string>> {
        auto bytes = ReadTextFile(csvPath, prompter);
        if (!bytes) return std::nullopt;
        if (clearFirst) session.rows.Clear();
        clearFirst = false;
        return SplitCsvLines(*bytes);
    };

    if (cdList) {
        if (csvPaths.empty()) return true;
        auto lines = readNext(csvPaths[0]);  // further files are not read in this mode
        if (lines) LayCdList(session.rows, *lines);
        return lines.has_value();
    }

    std::optional<CsvRowReader> reader;  // made after the list was cleared, if it is
    bool allRead = true;
    for (const std::string& csvPath : csvPaths) {
        auto lines = readNext(csvPath);
        if (!lines) {
            allRead = false;
            break;
        }
        if (pathColumn < 0) {
            LayLines(session.rows, *lines, columns);
            continue;
        }
        if (!reader) reader.emplace(session, pathColumn, prompter, busy, skipped);
        reader->Read(csvPath, *lines);
    }
    if (reader) reader->Finish();
    return allRead;
}

}  // namespace wvr
