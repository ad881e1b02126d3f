#include "app/commands/FilePrefetch.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/uio.h>
#include <unistd.h>

namespace wvr {
namespace {

// A quarter of the open files the process may have, so that the program's own files, sockets
// and libraries always find room beside the waiting ones.
size_t OpenFilesToSpare(size_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return wanted;
    return std::min<size_t>(wanted, static_cast<size_t>(limit.rlim_cur / 4));
}

// Whether the page that holds the file's first byte is in the page cache, asked of a mapping
// of it: for the file systems that will not say whether a read would wait.
std::optional<bool> FirstPageCached(const fs::File& file) {
    if (file.SizeAtOpen() == 0) return std::nullopt;
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* mapped = ::mmap(nullptr, page, PROT_READ, MAP_SHARED, file.Descriptor(), 0);
    if (mapped == MAP_FAILED) return std::nullopt;
    unsigned char resident = 0;
    const bool told = ::mincore(mapped, page, &resident) == 0;
    ::munmap(mapped, page);
    if (!told) return std::nullopt;
    return (resident & 1) != 0;
}

// Whether reading the file's first byte would wait for the device. tmpfs, FUSE and NFS refuse
// the question (EOPNOTSUPP), and an old kernel does not know it: the page cache is asked then.
// A file whose state cannot be told at all starts nothing: a warm listing is the common case,
// and there the workers only cost.
bool FirstByteWouldWait(const fs::File& file) {
    char byte;
    iovec piece{&byte, 1};
    if (::preadv2(file.Descriptor(), &piece, 1, 0, RWF_NOWAIT) >= 0) return false;
    if (errno == EAGAIN) return true;
    if (errno != EOPNOTSUPP && errno != EINVAL && errno != ENOSYS) return false;
    const std::optional<bool> cached = FirstPageCached(file);
    return cached.has_value() && !*cached;
}

}  // namespace

FilePrefetch::FilePrefetch(const std::vector<std::string>& paths, Start start, size_t threads, size_t ahead)
    : source_(paths), threadCount_(threads), ahead_(OpenFilesToSpare(ahead)), probing_(start == Start::WhenNotCached) {
    if (start == Start::AtOnce) StartWorkers(0);
}

FilePrefetch::~FilePrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    room_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

void FilePrefetch::StartWorkers(size_t from) {
    probing_ = false;
    if (from >= source_.size() || source_.size() - from < kLeastEntries || ahead_ == 0 || threadCount_ == 0) return;
    // No worker runs yet: nothing here needs the lock.
    paths_.assign(source_.begin() + static_cast<std::ptrdiff_t>(from), source_.end());
    base_ = taken_ = next_ = currentFirst_ = from;
    const size_t threads = std::min(threadCount_, (paths_.size() + kBatch - 1) / kBatch);
    threads_.reserve(threads);
    for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

fs::File FilePrefetch::Take(size_t index) {
    if (threads_.empty()) {
        if (!probing_ || index % kProbeEvery != 0 || index >= source_.size() ||
            source_.size() - index < kLeastEntries)
            return {};
        fs::File file;
        auto native = fs::ToNative(source_[index]);
        if (!native || !file.Open(*native, fs::File::Mode::Read)) return {};
        if (FirstByteWouldWait(file)) StartWorkers(index + 1);
        return file;
    }
    if (index >= currentFirst_ && index - currentFirst_ < current_.size())
        return std::move(current_[index - currentFirst_]);

    // The next batch. Batches before it are not wanted any more; their files close outside the
    // lock, and a worker still reading one drops it when done.
    std::deque<Batch> passed;
    std::vector<fs::File> batch;
    size_t batchFirst = index;
    size_t freed = 0;
    {
        std::unique_lock lock(mutex_);
        const size_t takenBefore = taken_;
        while (!batches_.empty() && batches_.front().first + kBatch <= index) {
            passed.push_back(std::move(batches_.front()));
            batches_.pop_front();
        }
        if (index >= next_ || batches_.empty() || batches_.front().first > index) {
            // No worker has come this far: the caller opens it itself, and the workers go on beyond.
            for (Batch& b : batches_) passed.push_back(std::move(b));
            batches_.clear();
            taken_ = next_ = std::max(next_, index + 1);
        } else {
            readerWaiting_ = true;
            done_.wait(lock, [&] { return batches_.front().done; });
            readerWaiting_ = false;
            batch = std::move(batches_.front().files);
            batchFirst = batches_.front().first;
            batches_.pop_front();
            taken_ = batchFirst + batch.size();
        }
        freed = taken_ - takenBefore;
    }
    // One batch's room is one worker's work: waking them all would only have them queue for the lock.
    if (freed > kBatch) room_.notify_all();
    else if (freed > 0) room_.notify_one();
    current_ = std::move(batch);
    currentFirst_ = batchFirst;
    if (index - currentFirst_ < current_.size()) return std::move(current_[index - currentFirst_]);
    return {};
}

size_t FilePrefetch::FilesOpened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

void FilePrefetch::Work() {
    const size_t end = base_ + paths_.size();
    for (;;) {
        size_t first, count;
        {
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return stopping_ || next_ >= end || next_ < taken_ + ahead_; });
            if (stopping_ || next_ >= end) return;
            first = next_;
            count = std::min(kBatch, end - first);
            next_ += count;
            batches_.push_back({first, false, {}});
        }
        // `paths_` does not change once the workers run.
        std::vector<fs::File> files;
        files.reserve(count);
        size_t opened = 0;
        for (size_t i = 0; i < count; ++i) {
            files.push_back(Open(paths_[first + i - base_]));
            opened += files.back().IsOpen();
        }
        bool wakeReader = false;
        {
            std::lock_guard lock(mutex_);
            opened_ += opened;
            // The reader may have passed the batch while it was read; then its files just close.
            for (Batch& batch : batches_) {
                if (batch.first != first) continue;
                batch.files = std::move(files);
                batch.done = true;
                wakeReader = readerWaiting_ && &batch == &batches_.front();
                break;
            }
        }
        if (wakeReader) done_.notify_one();
    }
}

fs::File FilePrefetch::Open(const std::string& path) {
    fs::File file;
    auto native = fs::ToNative(path);
    if (!native || !file.Open(*native, fs::File::Mode::Read)) return {};
    // The bytes are only wanted in the page cache, where the reader will find them: the device is
    // asked for them and the worker goes on at once, so many files' reads are in flight.
    const uint64_t size = file.SizeAtOpen();
    const auto ask = [&](uint64_t offset, uint64_t length) {
        ::posix_fadvise(file.Descriptor(), static_cast<off_t>(offset), static_cast<off_t>(length), POSIX_FADV_WILLNEED);
    };
    if (size <= kHeadBytes + kTailBytes) {
        ask(0, size);
    } else {
        ask(0, kHeadBytes);
        ask(size - kTailBytes, kTailBytes);
    }
    return file;
}

}  // namespace wvr
