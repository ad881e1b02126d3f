#include "app/commands/Csv.h"

#include <chrono>
#include <unordered_map>

#include "app/commands/AddFiles.h"
#include "app/commands/ColumnNames.h"
#include "app/commands/TextFiles.h"
#include "app/commands/Utf8Text.h"
#include "formats/CommaText.h"
#include "formats/PathText.h"
#include "formats/SjisText.h"
#include "platform/base/Cp932.h"
#include "platform/base/Prompter.h"

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

void AppendValue(std::string& out, const std::string& whole, bool spreadsheet) {
    // A value cut after the first byte of a double-byte character loses that byte, as every
    // joiner of texts drops it. Quote, comma, space and control bytes never occur as the
    // second byte of a CP932 character, so the bytes can be looked at one by one.
    const std::string value(sjis::WithoutLoneLeadByte(whole));
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

// Whether the quoted value that holds the line break at `p` is closed at the end of a value:
// by a quote followed by blanks and then a comma, a line end or the end of the text. Gives
// the position of that quote, or npos.
size_t ClosingQuoteAtValueEnd(std::string_view text, size_t p) {
    const size_t n = text.size();
    for (; p < n; p += sjis::CharWidth(text, p)) {
        if (text[p] != '"') continue;
        if (p + 1 < n && text[p + 1] == '"') ++p;  // a doubled quote stands for one
        else break;
    }
    if (p >= n) return std::string_view::npos;
    size_t after = p + 1;
    while (after < n && text[after] != '\r' && text[after] != '\n' && static_cast<unsigned char>(text[after]) <= 32) ++after;
    return after == n || text[after] == ',' || text[after] == '\r' || text[after] == '\n' ? p : std::string_view::npos;
}

// The lines of a CSV file. A line break inside a quoted value belongs to the value (a comment
// or lyrics over several lines), so that the rest of the row is not cut off into a line of its
// own; a quote is opened only where a value starts, as the splitting of a line reads it. A
// quote that is not closed at the end of a value (a bare quote in a spreadsheet-style value, a
// hand edit) leaves its line breaks ending lines as any other, so that it cannot swallow the
// lines after it.
std::vector<std::string> SplitCsvLines(std::string_view text) {
    std::vector<std::string> lines;
    const size_t n = text.size();
    size_t start = 0, p = 0;
    bool quoted = false, valueStart = true;
    while (p < n) {
        const char c = text[p];
        const size_t width = sjis::CharWidth(text, p);
        if (quoted && (c == '\r' || c == '\n')) {
            const size_t close = ClosingQuoteAtValueEnd(text, p);
            quoted = close != std::string_view::npos;
            if (quoted) p = close;  // the value runs on to its closing quote
            continue;
        }
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
    if (start < n) lines.emplace_back(text.substr(start));
    return lines;
}

// The first line a save writes with CsvHeader: the column names, quoted as values are.
std::string CsvHeaderLine(const std::vector<int>& columns, bool spreadsheet) {
    std::string line;
    for (size_t j = 0; j < columns.size(); ++j) {
        if (j > 0) line += ',';
        AppendValue(line, cp932::Text(CsvColumnName(columns[j])), spreadsheet);
    }
    return line;
}

// A first line that names the columns of the order in use, as a save with CsvHeader writes it
// (in either quoting, as a spreadsheet may have written it again), is no row.
bool IsHeaderLine(const std::string& line, const std::vector<int>& columns) {
    const std::vector<std::string> values = SplitCommaText(line);
    if (values.size() != columns.size()) return false;
    for (size_t j = 0; j < columns.size(); ++j)
        if (values[j] != cp932::Text(CsvColumnName(columns[j]))) return false;
    return true;
}

// What the lines of a load were like, told once at the end: more values than columns is the
// mark of values with spaces that a spreadsheet wrote without quotes.
struct CsvLoadCounts {
    int overlong = 0;
    int skipped = 0;
};

void ReportOverlongLines(const CsvLoadCounts& counts, Prompter& prompter) {
    if (counts.overlong == 0) return;
    prompter.Warning("列の数より多い値のある行が " + std::to_string(counts.overlong) +
                     " 行ありました（空白を含む値が「\"」で囲まれていないのかもしれません）。読み飛ばした行は " +
                     std::to_string(counts.skipped) + " 行です。");
}

// A file that begins with a UTF-8 byte-order mark, as spreadsheets write it: its texts in
// CP932, a character CP932 lacks as "?", said once for the file.
std::string ReadUtf8Csv(const std::string& csvPath, const std::string& bytes, Prompter& prompter) {
    Utf8Reading reading = Utf8AsCp932(bytes);
    if (reading.lacking > 0)
        prompter.Warning(cp932::ToUtf8(path::FileName(csvPath)) + " には Shift-JIS で表せない文字が " +
                         std::to_string(reading.lacking) + " 個あり、「?」に置き換えました。");
    return std::move(reading.cp932);
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
void LayLines(RowList& rows, const std::vector<std::string>& lines, const std::vector<int>& columns,
              CsvLoadCounts& counts) {
    for (const std::string& line : lines)
        if (SplitCommaText(line).size() > columns.size()) ++counts.overlong;
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
    CsvRowReader(Session& session, int pathColumn, Prompter& prompter, BusyIndicator* busy, SkippedCsvLines* skipped,
                 CsvLoadCounts& counts)
        : rows_(session.rows),
          columns_(CsvColumnsInUse(session.settings)),
          pathColumn_(static_cast<size_t>(pathColumn)),
          replace_(session.settings.Get(Option::CsvAdd)),
          readId3v2_(session.settings.Id3v2Edit),
          prompter_(prompter),
          busy_(busy),
          skipped_(skipped),
          counts_(counts) {
        if (!replace_) return;
        for (int i = 0; i < rows_.size(); ++i) rowsOfPath_[rows_[i].Path].push_back(i);
    }

    // `firstLine` is the number in the file of lines[0], from 1.
    void Read(const std::string& csvPath, const std::vector<std::string>& lines, int firstLine) {
        const std::string folder = path::Folder(csvPath);
        for (size_t n = 0; n < lines.size(); ++n) {
            if (busy_ && busy_->Cancelled()) break;
            if (!ReadLine(folder, lines[n]) && !sjis::Trim(lines[n]).empty()) {
                ++counts_.skipped;
                if (skipped_) skipped_->emplace_back(csvPath, firstLine + static_cast<int>(n));
            }
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
        if (values.size() > columns_.size()) ++counts_.overlong;
        if (values.size() <= pathColumn_) return false;
        const std::string full = ExpandPath(folder, values[pathColumn_]);
        if (replace_) ForgetFirstRowOf(full);
        Detection detection = DetectKind(full, prompter_, {}, readId3v2_);
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
    const bool readId3v2_;
    Prompter& prompter_;
    BusyIndicator* busy_;
    SkippedCsvLines* skipped_;
    CsvLoadCounts& counts_;
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
    // The lines are made in CP932 either way; a file for spreadsheets that expect UTF-8 gets
    // them converted, after a byte-order mark.
    auto write = [&out, utf8 = settings.CsvUtf8](const std::string& line) {
        out.Write(utf8 ? cp932::ToUtf8(line) : line);
    };
    if (settings.CsvUtf8) out.Write(kUtf8ByteOrderMark);
    if (settings.CsvHeader) write(CsvHeaderLine(columns, spreadsheet) + "\r\n");
    std::string line;
    for (int i = 0; i < rows.size(); ++i) {
        const TrackInfo& row = rows[i];
        line.clear();
        AppendCsvLine(line, row, columns, relative ? path::RelativeTo(folder, row.Path) : row.Path, spreadsheet);
        line += "\r\n";
        write(line);
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
    int headerLines = 0;  // of the file read last
    auto readNext = [&](const std::string& csvPath) -> std::optional<std::vector<std::string>> {
        auto bytes = ReadTextFile(csvPath, prompter);
        if (!bytes) return std::nullopt;
        if (clearFirst) session.rows.Clear();
        clearFirst = false;
        if (StartsWithUtf8ByteOrderMark(*bytes)) *bytes = ReadUtf8Csv(csvPath, *bytes, prompter);
        std::vector<std::string> lines = SplitCsvLines(*bytes);
        headerLines = !cdList && !lines.empty() && IsHeaderLine(lines[0], columns) ? 1 : 0;
        lines.erase(lines.begin(), lines.begin() + headerLines);
        return lines;
    };

    if (cdList) {
        if (csvPaths.empty()) return true;
        auto lines = readNext(csvPaths[0]);  // further files are not read in this mode
        if (lines) LayCdList(session.rows, *lines);
        return lines.has_value();
    }

    std::optional<CsvRowReader> reader;  // made after the list was cleared, if it is
    CsvLoadCounts counts;
    bool allRead = true;
    for (const std::string& csvPath : csvPaths) {
        auto lines = readNext(csvPath);
        if (!lines) {
            allRead = false;
            break;
        }
        if (pathColumn < 0) {
            LayLines(session.rows, *lines, columns, counts);
            continue;
        }
        if (!reader) reader.emplace(session, pathColumn, prompter, busy, skipped, counts);
        reader->Read(csvPath, *lines, 1 + headerLines);
    }
    if (reader) reader->Finish();
    ReportOverlongLines(counts, prompter);
    return allRead;
}

}  // namespace wvr
