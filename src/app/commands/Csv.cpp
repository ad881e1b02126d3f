#include "app/commands/Csv.h"

#include <chrono>
#include <optional>
#include <unordered_map>

#include "app/commands/AddFiles.h"
#include "app/commands/ColumnNames.h"
#include "app/commands/TextFiles.h"
#include "app/commands/Utf8Text.h"
#include "formats/CsvRecords.h"
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
bool IsHeader(const std::vector<std::string>& values, const std::vector<int>& columns) {
    if (values.size() != columns.size()) return false;
    for (size_t j = 0; j < columns.size(); ++j)
        if (values[j] != cp932::Text(CsvColumnName(columns[j]))) return false;
    return true;
}

struct CsvFile {
    std::string path;
    std::vector<CsvRecord> records;
};

// A file that begins with a UTF-8 byte-order mark is ours in UTF-8 or a spreadsheet's, which
// quote a value with a space only when they must: it is read by RFC 4180, its texts in CP932.
// `headerColumns`, when given, are the columns a header line would name.
std::optional<CsvFile> ReadCsvFile(const std::string& csvPath, const std::vector<int>* headerColumns,
                                   Prompter& prompter) {
    auto bytes = ReadTextFile(csvPath, prompter);
    if (!bytes) return std::nullopt;
    CsvFile file{csvPath, {}};
    if (StartsWithUtf8ByteOrderMark(*bytes))
        file.records = Rfc4180Records(Utf8FileAsCp932(csvPath, *bytes, prompter));
    else
        file.records = CommaTextRecords(*bytes);
    std::vector<CsvRecord>& records = file.records;
    if (headerColumns && !records.empty() && IsHeader(records[0].values, *headerColumns)) records.erase(records.begin());
    return file;
}

CsvLineNumbers OverlongLines(const std::vector<CsvFile>& files, size_t columns) {
    CsvLineNumbers overlong;
    for (const CsvFile& file : files)
        for (const CsvRecord& record : file.records)
            if (record.values.size() > columns) overlong.emplace_back(file.path, record.line);
    return overlong;
}

// Values beyond the columns mean the values before them are in the wrong columns, and would be
// written into the wrong fields: the user decides, seeing which lines.
bool LoadOverlongLines(const CsvLineNumbers& overlong, Prompter& prompter) {
    constexpr size_t kNamed = 10;
    std::string text = "列の数より多い値のある行が " + std::to_string(overlong.size()) +
                       " 行あります（空白を含む値が「\"」で囲まれていないのかもしれません）。\n";
    for (size_t i = 0; i < overlong.size() && i < kNamed; ++i)
        text += "\n" + cp932::ToUtf8(path::FileName(overlong[i].first)) + " " + std::to_string(overlong[i].second) + "行目";
    if (overlong.size() > kNamed) text += "\nほか " + std::to_string(overlong.size() - kNamed) + " 行";
    return prompter.YesNo(text + "\n\n値がずれた行も読み込みますか？");
}

const std::string& FirstValue(const CsvRecord& record) {
    static const std::string none;
    return record.values.empty() ? none : record.values[0];
}

// A CD player's track list: album on line 1, artist on line 2, then one line per row with
// the title as its second value and the comment as its fourth.
void LayCdList(RowList& rows, const std::vector<CsvRecord>& records) {
    if (records.size() < 3) return;
    const std::string album = FirstValue(records[0]);
    const std::string artist = FirstValue(records[1]);
    int changed = 0;
    for (size_t n = 2; n < records.size() && changed < rows.size(); ++n, ++changed) {
        const std::vector<std::string>& values = records[n].values;
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
void LayLines(RowList& rows, const std::vector<CsvRecord>& records, const std::vector<int>& columns) {
    const int count = std::min(static_cast<int>(records.size()), rows.size());
    for (int i = 0; i < count; ++i) {
        const std::vector<std::string>& values = records[i].values;
        TrackInfo& row = rows.Mutable(i);
        for (size_t j = 0; j < columns.size(); ++j)
            if (IsTextCode(columns[j])) row.Text(columns[j] - 1) = j < values.size() ? values[j] : std::string();
    }
    if (count > 0) rows.Changed(0, count - 1);
}

// Lines with a path column become rows. Rows that a line replaces (CsvAdd) are only marked
// while the files are read and leave the list at the end, so that the row indexes stay put
// and finding the row of a path does not walk the whole list for every line. With
// `clearFirst` the list is cleared just before the first row goes in; the rows it held are
// then none that a line replaces.
class CsvRowReader {
public:
    CsvRowReader(Session& session, int pathColumn, bool clearFirst, Prompter& prompter, BusyIndicator* busy,
                 CsvLineNumbers* skipped)
        : rows_(session.rows),
          columns_(CsvColumnsInUse(session.settings)),
          pathColumn_(static_cast<size_t>(pathColumn)),
          replace_(session.settings.Get(Option::CsvAdd)),
          reader_(ReaderOfSettings(session.settings)),
          clearPending_(clearFirst),
          prompter_(prompter),
          busy_(busy),
          skipped_(skipped) {
        if (!replace_ || clearPending_) return;
        for (int i = 0; i < rows_.size(); ++i) rowsOfPath_[rows_[i].Path].push_back(i);
    }

    void Read(const CsvFile& file) {
        const std::string folder = path::Folder(file.path);
        const std::vector<CsvRecord>& records = file.records;
        for (size_t n = 0; n < records.size(); ++n) {
            if (busy_ && busy_->Cancelled()) break;
            if (!ReadRecord(folder, records[n].values) && !records[n].blank && skipped_)
                skipped_->emplace_back(file.path, records[n].line);
            if (busy_) busy_->Progress(static_cast<int>(n + 1), static_cast<int>(records.size()));
        }
    }

    void Finish() {
        Flush();
        rows_.Remove(std::move(replaced_));
        replaced_.clear();
    }

private:
    bool ReadRecord(const std::string& folder, const std::vector<std::string>& values) {
        if (values.size() <= pathColumn_) return false;
        const std::string full = ExpandPath(folder, values[pathColumn_]);
        if (replace_) ForgetFirstRowOf(full);
        Detection detection = DetectKind(full, prompter_, {}, reader_);
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
        row.Reading.reader = detection.reader;
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
        if (replace_) {
            const int listed = clearPending_ ? 0 : rows_.size();
            rowsOfPath_[row.Path].push_back(listed + static_cast<int>(pending_.size()));
        }
        if (pending_.empty()) pending_.reserve(kBatchRows);
        pending_.push_back(std::move(row));
        if (pending_.size() >= kBatchRows || std::chrono::steady_clock::now() - lastFlush_ > std::chrono::milliseconds(100))
            Flush();
    }

    void Flush() {
        if (!pending_.empty() && std::exchange(clearPending_, false)) rows_.Clear();
        if (!pending_.empty()) rows_.Append(std::move(pending_));
        pending_.clear();
        lastFlush_ = std::chrono::steady_clock::now();
    }

    RowList& rows_;
    const std::vector<int> columns_;
    const size_t pathColumn_;
    const bool replace_;
    const TagReader reader_;
    bool clearPending_;
    Prompter& prompter_;
    BusyIndicator* busy_;
    CsvLineNumbers* skipped_;
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
             CsvLoadReport* report) {
    const Settings& settings = session.settings;
    const std::vector<int> columns = CsvColumnsInUse(settings);
    if (settings.Get(Option::CsvKnowCD)) {
        if (csvPaths.empty()) return true;
        auto file = ReadCsvFile(csvPaths[0], nullptr, prompter);  // further files are not read in this mode
        if (!file) return false;
        BusySection section(busy);
        LayCdList(session.rows, file->records);
        return true;
    }

    // Every file is read before the list changes, so that the user can see what the lines are
    // like first. A file that cannot be read ends the reading; the files before it still count.
    std::vector<CsvFile> files;
    bool allRead = true;
    for (const std::string& csvPath : csvPaths) {
        auto file = ReadCsvFile(csvPath, &columns, prompter);
        if (!file) {
            allRead = false;
            break;
        }
        files.push_back(std::move(*file));
    }
    CsvLineNumbers overlong = OverlongLines(files, columns.size());
    const bool load = overlong.empty() || LoadOverlongLines(overlong, prompter);
    if (report) report->overlong = std::move(overlong);
    if (!load) return false;

    BusySection section(busy);
    const int pathColumn = PathColumnOf(columns);
    if (pathColumn < 0) {
        // Laid onto the rows listed, which the lines need: EdtAddClr does not clear them.
        for (const CsvFile& file : files) LayLines(session.rows, file.records, columns);
        return allRead;
    }
    CsvRowReader reader(session, pathColumn, settings.Get(Option::EdtAddClr), prompter, busy,
                        report ? &report->skipped : nullptr);
    for (const CsvFile& file : files) reader.Read(file);
    reader.Finish();
    return allRead;
}

}  // namespace wvr
