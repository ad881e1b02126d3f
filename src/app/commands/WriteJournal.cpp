#include "app/commands/WriteJournal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/commands/JournalEntry.h"
#include "platform/base/FileOps.h"
#include "platform/base/Prompter.h"
#include "platform/base/WriteObserver.h"
#include "platform/core/Registry.h"

namespace wvr::journal {
namespace {

namespace stdfs = std::filesystem;

// What one file may keep: a rebuild that changes more is journaled as not undoable.
constexpr uint64_t kMostKeptPerFile = uint64_t{16} << 20;

bool g_goOnWithoutUndo = false;
Recorder* g_active = nullptr;

std::string ReadRange(int fd, uint64_t offset, uint64_t n) {
    std::string bytes(n, '\0');
    size_t done = 0;
    while (done < n) {
        const ssize_t r = ::pread(fd, bytes.data() + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<size_t>(r);
    }
    bytes.resize(done);
    return bytes;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t r = ::write(fd, bytes.data(), bytes.size());
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(r));
    }
    return true;
}

uint64_t ZeroHash(uint64_t n) {
    uint64_t h = Hash({});
    for (uint64_t i = 0; i < n; ++i) h = h * 1099511628211ull;
    return h;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Runs older than the limit in days go, then the oldest until the rest fit in its size.
void DropOldRuns(const std::string& folder, const Limits& limits) {
    struct Found {
        std::string path;
        int64_t time;       // last written, in seconds
        int64_t nanoseconds; // the same to the nanosecond, for the order of runs of one second
        uint64_t size;
    };
    std::vector<Found> runs;
    std::error_code ec;
    for (const auto& e : stdfs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (!name.ends_with(kClosedSuffix) && !name.ends_with(kOpenSuffix)) continue;
        struct stat st;
        if (::stat(e.path().c_str(), &st) != 0) continue;
        runs.push_back({e.path().string(), st.st_mtim.tv_sec, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                        static_cast<uint64_t>(st.st_size)});
    }
    std::sort(runs.begin(), runs.end(), [](const Found& a, const Found& b) { return a.nanoseconds > b.nanoseconds; });
    const int64_t oldest = std::time(nullptr) - int64_t{limits.days} * 86400;
    uint64_t total = 0;
    for (const Found& run : runs) {
        total += run.size;
        if (run.time >= oldest && total <= limits.Bytes()) continue;
        // An entry still being written belongs to a live run.
        const int fd = ::open(run.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (free) {
            ::unlink(run.path.c_str());
            stdfs::remove_all(run.path.substr(0, run.path.rfind('.')) + ".kept", ec);
        }
        ::close(fd);
    }
}

}  // namespace

std::string JournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state && *state == '/') base = state;
    else base = std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.local/state";
    return base + "/brambly/journal/";
}

Limits LoadLimits() {
    Limits limits;
    // The same values as the settings' JournalDays and JournalMegabytes.
    if (auto key = RegistryKey::Open("", false)) {
        if (auto days = key->ReadInteger("JournalDays"); days && *days > 0) limits.days = *days;
        if (auto mb = key->ReadInteger("JournalMegabytes"); mb && *mb > 0) limits.megabytes = *mb;
    }
    return limits;
}

bool StoreLimits(const Limits& limits) {
    auto key = RegistryKey::Open("", true);
    return key && key->WriteInteger("JournalDays", limits.days) &&
           key->WriteInteger("JournalMegabytes", limits.megabytes) && key->Flush();
}

void SetGoOnWithoutUndo(bool goOn) { g_goOnWithoutUndo = goOn; }

std::string EntryPath(const std::string& id) {
    const std::string base = JournalFolder() + id;
    if (fs::Exists(base + kClosedSuffix)) return base + kClosedSuffix;
    if (fs::Exists(base + kOpenSuffix)) return base + kOpenSuffix;
    return {};
}

bool AppendToEntry(const std::string& id, const std::string& record) {
    const std::string path = EntryPath(id);
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    const bool done = WriteAll(fd, record) && ::fdatasync(fd) == 0;
    ::close(fd);
    if (done && record == EncodeClosed() && path.ends_with(kOpenSuffix)) {
        ::rename(path.c_str(), (JournalFolder() + id + kClosedSuffix).c_str());
        SyncFolder(JournalFolder());
    }
    return done;
}

// The observer of the file layer while a run lasts: each record is on disk before the change
// it tells of is made.
class Recorder : public fs::WriteObserver {
public:
    Recorder(std::string command, Prompter* prompter) : command_(std::move(command)), prompter_(prompter) {
        fs::SetWriteObserver(this);
    }
    ~Recorder() override { Finish(); }

    void Finish() {
        if (fs::CurrentWriteObserver() == this) fs::SetWriteObserver(nullptr);
        Close();
    }

    bool Begin() { return fd_ >= 0 || withoutUndo_ || (!refused_ && (Create() || GoOnWithout("を作れません"))); }
    const std::string& Id() const { return id_; }
    void NoteUndoes(const std::string& id) { undoes_ = id; }

    bool BeforeWrite(const std::string& path, fs::File& file, uint64_t offset, const void* data,
                     uint64_t n) override {
        if (withoutUndo_) return true;
        struct stat st;
        if (::fstat(file.Descriptor(), &st) != 0) return false;
        const auto size = static_cast<uint64_t>(st.st_size);
        Change c{Change::Kind::Bytes};
        c.offset = offset;
        c.oldSize = size;
        c.afterSize = std::max(size, offset + n);
        c.newLength = n;
        c.newHash = Hash({static_cast<const char*>(data), n});
        if (offset < size) c.oldBytes = ReadRange(file.Descriptor(), offset, std::min(n, size - offset));
        // Bytes written over themselves change nothing that could be taken back.
        if (c.afterSize == size && c.oldBytes == std::string_view(static_cast<const char*>(data), n)) return true;
        return Record(path, st, std::move(c));
    }

    bool BeforeTruncate(const std::string& path, fs::File& file, uint64_t length) override {
        if (withoutUndo_) return true;
        struct stat st;
        if (::fstat(file.Descriptor(), &st) != 0) return false;
        const auto size = static_cast<uint64_t>(st.st_size);
        if (length == size) return true;
        Change c{Change::Kind::Bytes};
        c.offset = std::min(length, size);
        c.oldSize = size;
        c.afterSize = length;
        c.newLength = length - c.offset;
        c.newHash = ZeroHash(c.newLength);
        c.oldBytes = ReadRange(file.Descriptor(), c.offset, size - c.offset);
        return Record(path, st, std::move(c));
    }

    bool BeforeReplace(const std::string& path, fs::File& rebuild, uint64_t size) override {
        if (withoutUndo_) return true;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return true;  // a new file: nothing to keep
        struct stat st;
        const bool statted = ::fstat(fd, &st) == 0;
        const std::string old = statted ? ReadRange(fd, 0, static_cast<uint64_t>(st.st_size)) : std::string();
        ::close(fd);
        if (!statted) return false;
        const std::string now = ReadRange(rebuild.Descriptor(), 0, size);
        return RecordRebuild(path, st, old, now);
    }

    bool BeforeMove(const std::string& from, const std::string& to) override {
        if (withoutUndo_) return true;
        Change c{Change::Kind::Move};
        c.from = from;
        c.to = to;
        return Append(EncodeChange(c));
    }

    bool BeforeRemove(const std::string& path) override {
        if (withoutUndo_ || !Begin()) return withoutUndo_;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return true;
        const std::string keptFolder = JournalFolder() + id_ + ".kept/";
        std::error_code ec;
        stdfs::create_directories(keptFolder, ec);
        Change c{Change::Kind::Removal};
        c.from = path;
        c.to = keptFolder + std::to_string(keptCount_++);
        // Kept by a second name where it can be; a copy counts against the journal's size.
        if (::link(path.c_str(), c.to.c_str()) != 0) {
            auto bytes = fs::ReadWholeFile(path, limits_.Bytes());
            if (!bytes || size_ + bytes->size() > limits_.Bytes() || !fs::WriteWholeFileOver(c.to, *bytes))
                return GoOnWithout("に変換元を残せません");
            fs::SetLastWriteTime(c.to, {st.st_mtim});
            size_ += bytes->size();
        }
        return Append(EncodeChange(c));
    }

private:
    bool Create() {
        limits_ = LoadLimits();
        const std::string folder = JournalFolder();
        std::error_code ec;
        stdfs::create_directories(folder, ec);
        const std::time_t now = std::time(nullptr);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
        for (int n = 1; n < 10000 && fd_ < 0; ++n) {
            id_ = std::string(stamp) + "-" + std::to_string(n);
            if (fs::Exists(folder + id_ + kClosedSuffix)) continue;
            fd_ = ::open((folder + id_ + kOpenSuffix).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) return false;
        ::flock(fd_, LOCK_EX);
        // Only once this run holds its id, so that no id of an older run of this second is given
        // again (the order of runs follows the ids).
        DropOldRuns(folder, limits_);
        std::string head = EncodeHeader(now, command_);
        if (!undoes_.empty()) head += EncodeUndoes(undoes_);
        if (!WriteAll(fd_, head) || ::fdatasync(fd_) != 0) {
            Discard();
            return false;
        }
        size_ = head.size();
        SyncFolder(folder);
        return true;
    }

    // The entry goes when it holds no change.
    void Discard() {
        ::unlink((JournalFolder() + id_ + kOpenSuffix).c_str());
        ::close(fd_);
        fd_ = -1;
    }

    void Close() {
        if (fd_ < 0) return;
        if (!changed_) return Discard();
        WriteAll(fd_, EncodeClosed());
        ::fdatasync(fd_);
        const std::string folder = JournalFolder();
        ::rename((folder + id_ + kOpenSuffix).c_str(), (folder + id_ + kClosedSuffix).c_str());
        SyncFolder(folder);
        ::close(fd_);
        fd_ = -1;
    }

    // Appends a record and waits until it is on disk.
    bool Append(const std::string& record) {
        if (withoutUndo_) return true;
        if (refused_ || !Begin()) return withoutUndo_;
        if (size_ + record.size() > limits_.Bytes())
            return GoOnWithout("が上限 (" + std::to_string(limits_.megabytes) + " MB) を超えます");
        if (!WriteAll(fd_, record) || ::fdatasync(fd_) != 0) {
            const int error = errno;
            // What was written of the record goes, so the entry ends on a whole record.
            if (::ftruncate(fd_, static_cast<off_t>(size_)) == 0) ::lseek(fd_, 0, SEEK_END);
            return GoOnWithout(std::string("を書けません: ") + std::strerror(error));
        }
        size_ += record.size();
        changed_ = true;
        return true;
    }

    bool Record(const std::string& path, const struct stat& st, Change c) {
        std::string record;
        auto [at, added] = files_.try_emplace(path, files_.size());
        if (added) {
            TouchedFile f{path, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                          static_cast<uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
            record = EncodeFile(f);
        }
        c.file = at->second;
        record += EncodeChange(c);
        if (Append(record)) return true;
        if (added) files_.erase(at);
        return withoutUndo_;
    }

    // Kept as what lies between the common head and tail; a rebuild that changed its length
    // near the start and its tags near the end (an INFO list after the audio) is kept as the
    // ranges that differ at the same place instead.
    bool RecordRebuild(const std::string& path, const struct stat& st, const std::string& old,
                       const std::string& now) {
        const size_t shorter = std::min(old.size(), now.size());
        size_t head = 0;
        while (head < shorter && old[head] == now[head]) ++head;
        size_t tail = 0;
        while (tail < shorter - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail]) ++tail;
        const size_t oldMiddle = old.size() - head - tail;
        if (head == shorter && old.size() == now.size()) return true;  // the same bytes again
        if (oldMiddle <= kMostKeptPerFile) {
            Change c{Change::Kind::Middle};
            c.offset = head;
            c.suffix = tail;
            c.oldSize = old.size();
            c.afterSize = now.size();
            c.newLength = now.size() - head - tail;
            c.newHash = Hash(std::string_view(now).substr(head, c.newLength));
            c.oldBytes = old.substr(head, oldMiddle);
            return Record(path, st, std::move(c));
        }
        // The same-place ranges: first the change of length, then each range that differs.
        std::vector<Change> changes;
        Change length{Change::Kind::Bytes};
        length.offset = shorter;
        length.oldSize = old.size();
        length.afterSize = now.size();
        length.newLength = now.size() - shorter;
        length.newHash = Hash(std::string_view(now).substr(shorter));
        length.oldBytes = old.substr(shorter);
        uint64_t kept = length.oldBytes.size();
        changes.push_back(std::move(length));
        constexpr size_t kBlock = 4096;
        for (size_t at = 0; at < shorter;) {
            const size_t n = std::min(kBlock, shorter - at);
            if (std::memcmp(old.data() + at, now.data() + at, n) == 0) {
                at += n;
                continue;
            }
            size_t end = at + n;
            while (end < shorter) {
                const size_t m = std::min(kBlock, shorter - end);
                if (std::memcmp(old.data() + end, now.data() + end, m) == 0) break;
                end += m;
            }
            Change c{Change::Kind::Bytes};
            c.offset = at;
            c.oldSize = c.afterSize = now.size();
            c.newLength = end - at;
            c.newHash = Hash(std::string_view(now).substr(at, end - at));
            c.oldBytes = old.substr(at, end - at);
            kept += c.oldBytes.size();
            changes.push_back(std::move(c));
            at = end;
        }
        if (kept > kMostKeptPerFile) {
            Change c{Change::Kind::NotUndoable};
            return Record(path, st, std::move(c));
        }
        for (Change& c : changes)
            if (!Record(path, st, std::move(c))) return false;
        return true;
    }

    // Whether the run goes on without undo; said once, asked once.
    bool GoOnWithout(const std::string& why) {
        if (withoutUndo_) return true;
        if (refused_) return false;
        const std::string text = "書き込みの記録 (元に戻すため) " + why + "。";
        bool goOn = g_goOnWithoutUndo;
        if (!goOn && prompter_) goOn = prompter_->YesNo(text + "\n元に戻せないまま続けますか?");
        else if (!goOn) std::fprintf(stderr, "%s: %s--no-undo で、元に戻せないまま書き込みます\n", kAppTitle, text.c_str());
        if (!goOn) {
            refused_ = true;
            errno = ENOSPC;
            return false;
        }
        withoutUndo_ = true;
        if (fd_ >= 0) {
            WriteAll(fd_, EncodeWithoutUndo());
            ::fdatasync(fd_);
            changed_ = true;
        }
        return true;
    }

    std::string command_;
    Prompter* prompter_;
    std::string id_;
    std::string undoes_;
    Limits limits_;
    int fd_ = -1;
    uint64_t size_ = 0;
    int keptCount_ = 0;
    bool changed_ = false;
    bool refused_ = false;
    bool withoutUndo_ = false;
    std::map<std::string, uint64_t> files_;
};

JournalRun::JournalRun(std::string command, Prompter* prompter) {
    if (g_active) return;
    recorder_ = std::make_unique<Recorder>(std::move(command), prompter);
    g_active = recorder_.get();
}

JournalRun::~JournalRun() {
    if (recorder_) g_active = nullptr;
}

void EndRunBeforeExit() {
    if (g_active) g_active->Finish();
}

bool JournalRun::Begin() { return recorder_ ? recorder_->Begin() : g_active->Begin(); }
std::string JournalRun::Id() const { return recorder_ ? recorder_->Id() : std::string(); }
void JournalRun::NoteUndoes(const std::string& id) {
    if (recorder_) recorder_->NoteUndoes(id);
}

}  // namespace wvr::journal
