#include "app/commands/JournalUndo.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/commands/AddFiles.h"
#include "app/commands/ColumnNames.h"
#include "app/commands/WriteJournal.h"
#include "formats/PathText.h"
#include "platform/base/Cp932.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"

namespace wvr::journal {
namespace {

namespace stdfs = std::filesystem;

// The journal's own files are read past the file layer: they are no music files, and its
// faults stand for those of the music files' disk.
std::optional<std::string> ReadJournalFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    char buffer[1 << 16];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    return bytes;
}

std::optional<Entry> ReadEntryFile(const std::string& path) {
    auto bytes = ReadJournalFile(path);
    if (!bytes) return std::nullopt;
    auto entry = Decode(*bytes);
    if (entry) {
        const std::string name = stdfs::path(path).filename().string();
        entry->id = name.substr(0, name.rfind('.'));
    }
    return entry;
}

// Takes one change back in `bytes`; false when the bytes are not those the change left.
bool TakeBack(const Change& c, std::string& bytes, UndoMode mode) {
    const bool asLeft = bytes.size() == c.afterSize && c.offset + c.newLength <= bytes.size() &&
                        Hash(std::string_view(bytes).substr(c.offset, c.newLength)) == c.newHash;
    if (c.kind == Change::Kind::Middle) {
        // In a recovery a rebuild that did not reach the file has nothing to take back.
        if (!asLeft) return mode == UndoMode::Recovery;
        bytes = bytes.substr(0, c.offset) + c.oldBytes + bytes.substr(bytes.size() - c.suffix);
        return true;
    }
    if (!asLeft && mode == UndoMode::Checked) return false;
    if (bytes.size() < c.offset + c.oldBytes.size()) bytes.resize(c.offset + c.oldBytes.size());
    std::copy(c.oldBytes.begin(), c.oldBytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
    bytes.resize(c.oldSize);
    return true;
}

// The file's bytes before the changes [first, last] (taken back newest first), or why not.
std::optional<std::string> BytesBefore(const Entry& run, size_t first, size_t last, UndoMode mode,
                                       std::string& why, const std::string& path) {
    auto bytes = fs::ReadWholeFile(path);
    if (!bytes) {
        why = "見つからないか読めません";
        return std::nullopt;
    }
    for (size_t i = last + 1; i-- > first;) {
        const Change& c = run.changes[i];
        if (c.kind == Change::Kind::NotUndoable) {
            why = "元に戻せない大きさの書き換えです";
            return std::nullopt;
        }
        if (!TakeBack(c, *bytes, mode)) {
            why = "書き込みの後に変更されています";
            return std::nullopt;
        }
    }
    return bytes;
}

std::string FollowMoves(const Entry& run, size_t from, std::string path) {
    for (size_t i = from; i < run.changes.size(); ++i)
        if (run.changes[i].kind == Change::Kind::Move && run.changes[i].from == path) path = run.changes[i].to;
    return path;
}

// Where a file changed at change `at` of the run is once the run's later moves are made.
std::string NameAfterRun(const Entry& run, size_t at, const std::string& path) { return FollowMoves(run, at + 1, path); }

// Changes [first, last] of one file, found walking back from `last`.
size_t FirstOfFile(const Entry& run, size_t last) {
    size_t first = last;
    const auto isContent = [](const Change& c) {
        return c.kind != Change::Kind::Move && c.kind != Change::Kind::Removal;
    };
    while (first > 0 && isContent(run.changes[first - 1]) && run.changes[first - 1].file == run.changes[last].file)
        --first;
    return first;
}

bool RestoreFile(const TouchedFile& f, const std::string& bytes) {
    fs::ReplacementFile out(f.path);
    const fs::LastWriteTime time{{static_cast<time_t>(f.mtimeSec), static_cast<long>(f.mtimeNsec)}};
    return out.Create() && out.Append(bytes) && out.Commit(&time);
}

}  // namespace

std::vector<Entry> ReadRuns() {
    std::vector<Entry> runs;
    std::error_code ec;
    for (const auto& e : stdfs::directory_iterator(JournalFolder(), ec)) {
        const std::string name = e.path().filename().string();
        if (!name.ends_with(kClosedSuffix) && !name.ends_with(kOpenSuffix)) continue;
        if (auto entry = ReadEntryFile(e.path().string())) runs.push_back(std::move(*entry));
    }
    // Ids of one second differ in their last number: "-10" is newer than "-9".
    std::sort(runs.begin(), runs.end(), [](const Entry& a, const Entry& b) {
        if (a.time != b.time) return a.time > b.time;
        return a.id.size() != b.id.size() ? a.id.size() > b.id.size() : a.id > b.id;
    });
    return runs;
}

std::optional<Entry> ReadRun(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos) return std::nullopt;
    const std::string path = EntryPath(id);
    if (path.empty()) return std::nullopt;
    return ReadEntryFile(path);
}

std::string WhyNotUndoable(const Entry& run) {
    if (!run.undoneBy.empty()) return "元に戻し済みです";
    if (run.withoutUndo || run.changes.empty()) return "元に戻せない実行です";
    if (!run.closed) {
        const int fd = ::open(EntryPath(run.id).c_str(), O_RDONLY | O_CLOEXEC);
        const bool atWork = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
        if (fd >= 0) ::close(fd);
        if (atWork) return "書き込み中です";
    }
    return {};
}

std::vector<Entry> InterruptedRuns() {
    std::vector<Entry> found;
    std::error_code ec;
    for (const auto& e : stdfs::directory_iterator(JournalFolder(), ec)) {
        if (!e.path().filename().string().ends_with(kOpenSuffix)) continue;
        const int fd = ::open(e.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        // A run at work holds its entry locked.
        const bool killed = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        if (!killed) continue;
        if (auto run = ReadEntryFile(e.path().string()); run && !run->closed && !run->changes.empty())
            found.push_back(std::move(*run));
    }
    return found;
}

// Whether the file at `path` is as an earlier undo of the run left it (one that could not
// take every file back, so the run is not marked undone).
bool TakenBackBefore(const std::vector<Entry>& earlierUndos, const std::string& path) {
    std::optional<std::string> bytes;
    for (const Entry& undo : earlierUndos) {
        for (const Change& c : undo.changes) {
            if (c.kind != Change::Kind::Middle || undo.files[c.file].path != path) continue;
            if (!bytes) bytes = fs::ReadWholeFile(path);
            if (bytes && bytes->size() == c.afterSize &&
                Hash(std::string_view(*bytes).substr(c.offset, c.newLength)) == c.newHash)
                return true;
        }
    }
    return false;
}

UndoReport UndoRun(const Entry& run, UndoMode mode) {
    UndoReport report;
    std::vector<Entry> earlierUndos;
    for (Entry& e : ReadRuns())
        if (e.undoes == run.id && e.closed && e.undoneBy.empty()) earlierUndos.push_back(std::move(e));
    JournalRun undo("undo");
    undo.NoteUndoes(run.id);
    bool failed = false;  // a file that may yet be taken back
    std::set<std::string> restored;  // a file written and renamed counts once
    for (size_t last = run.changes.size(); last-- > 0;) {
        const Change& c = run.changes[last];
        if (c.kind == Change::Kind::Move) {
            if (!fs::Exists(c.to) || fs::Exists(c.from)) {
                report.left.push_back(c.to + ": " + (fs::Exists(c.from) ? "元の名前のファイルがあります" : "見つかりません"));
                continue;
            }
            if (fs::MoveNoReplace(c.to, c.from) == fs::MoveError::None) restored.insert(c.from);
            else report.left.push_back(c.to + ": 元の名前に戻せません");
            continue;
        }
        if (c.kind == Change::Kind::Removal) {
            if (fs::Exists(c.from) || ::link(c.to.c_str(), c.from.c_str()) != 0)
                report.left.push_back(c.from + ": 元に戻せません");
            else restored.insert(c.from);
            continue;
        }
        const size_t first = FirstOfFile(run, last);
        const TouchedFile& f = run.files[c.file];
        std::string why;
        if (auto bytes = BytesBefore(run, first, last, mode, why, f.path)) {
            if (RestoreFile(f, *bytes)) {
                restored.insert(f.path);
            } else {
                report.left.push_back(f.path + ": 書き込めません");
                failed = true;
            }
        } else if (!TakenBackBefore(earlierUndos, f.path)) {
            report.left.push_back(f.path + ": " + why);
        }
        last = first;
    }
    report.restored = static_cast<int>(restored.size());
    // Until every file that can be taken back is, the run stays undoable.
    if (failed) return report;
    // A run killed half-way is closed by its recovery, so that it is not offered again.
    const std::string by = undo.Id();
    AppendToEntry(run.id, EncodeUndoneBy(by.empty() ? "-" : by));
    if (mode == UndoMode::Recovery) AppendToEntry(run.id, EncodeClosed());
    return report;
}

std::vector<ShownChange> ShowRun(const Entry& run) {
    std::vector<ShownChange> lines;
    // The files as they are named now, after the moves of the later runs too.
    std::vector<Entry> later = ReadRuns();
    later.erase(std::find_if(later.begin(), later.end(), [&](const Entry& e) { return e.id == run.id; }), later.end());
    std::reverse(later.begin(), later.end());
    const auto nameNow = [&](size_t at, const std::string& path) {
        std::string name = NameAfterRun(run, at, path);
        for (const Entry& next : later) name = FollowMoves(next, 0, name);
        return name;
    };
    const std::string scratch = JournalFolder() + ".show-";
    SilentPrompter silent;
    GenreTable genres;
    const auto readRow = [&](const std::string& nativePath, TrackInfo& row) {
        auto rowPath = fs::FromNative(nativePath);
        if (!rowPath) return false;
        Detection d = DetectKind(*rowPath, silent, {}, TagReader::Id3v2);
        if (d.kind == FileKind::Unsupported) return false;
        ReadTrack(*rowPath, d, genres, row);
        return true;
    };
    for (size_t last = run.changes.size(); last-- > 0;) {
        const Change& c = run.changes[last];
        if (c.kind == Change::Kind::Move) {
            lines.push_back({c.from, "名前", path::FileName(c.from), path::FileName(c.to)});
            continue;
        }
        if (c.kind == Change::Kind::Removal) {
            lines.push_back({c.from, "削除", path::FileName(c.from), ""});
            continue;
        }
        const size_t first = FirstOfFile(run, last);
        const TouchedFile& f = run.files[c.file];
        const std::string current = nameNow(last, f.path);
        std::string why;
        auto old = BytesBefore(run, first, last, UndoMode::Checked, why, current);
        last = first;
        if (!old) {
            lines.push_back({f.path, "-", why, ""});
            continue;
        }
        const std::string oldPath = scratch + std::to_string(::getpid()) + path::Extension(f.path);
        TrackInfo was, now;
        const bool read = fs::WriteWholeFileOver(oldPath, *old) && readRow(oldPath, was) &&
                          readRow(current, now);
        fs::RemoveFile(oldPath);
        if (!read) continue;
        // Walked newest first: a file's fields go in before those of the files after it, in order.
        for (int i = kFieldCount; i-- > 0;)
            if (was.Fields[i] != now.Fields[i])
                lines.push_back({f.path, CsvColumnName(i + 1), cp932::ToUtf8(was.Fields[i]), cp932::ToUtf8(now.Fields[i])});
    }
    std::reverse(lines.begin(), lines.end());
    return lines;
}

}  // namespace wvr::journal
