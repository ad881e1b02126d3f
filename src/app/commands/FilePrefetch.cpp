#include "app/commands/FilePrefetch.h"

#include <algorithm>
#include <sys/resource.h>

namespace wvr {
namespace {

// A quarter of the open files the process may have, so that the program's own files, sockets
// and libraries always find room beside the waiting ones.
size_t OpenFilesToSpare(size_t wanted) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return wanted;
    return std::min<size_t>(wanted, static_cast<size_t>(limit.rlim_cur / 4));
}

}  // namespace

FilePrefetch::FilePrefetch(const std::vector<std::string>& paths, size_t threads, size_t ahead)
    : paths_(paths.size() >= kLeastEntries ? paths : std::vector<std::string>()), ahead_(OpenFilesToSpare(ahead)) {
    if (paths_.empty() || ahead_ == 0) return;
    threads = std::min(threads, paths_.size());
    threads_.reserve(threads);
    for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

FilePrefetch::~FilePrefetch() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    room_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

fs::File FilePrefetch::Take(size_t index) {
    if (threads_.empty()) return {};
    std::unique_lock lock(mutex_);
    const size_t firstBefore = first_;
    // Entries before `index` are not wanted any more: their files close as their slots go, and
    // a worker still reading one drops it when done.
    while (first_ < index && !slots_.empty()) {
        slots_.pop_front();
        ++first_;
    }
    fs::File file;
    if (index >= next_) {
        // No worker has come this far: the reader opens it itself, and the workers go on beyond.
        first_ = next_ = index + 1;
    } else {
        readerWaiting_ = true;
        done_.wait(lock, [&] { return slots_.front().state == State::Done; });
        readerWaiting_ = false;
        file = std::move(slots_.front().file);
        slots_.pop_front();
        ++first_;
    }
    const bool wake = first_ / kWakeEvery != firstBefore / kWakeEvery;
    lock.unlock();
    if (wake) room_.notify_all();
    return file;
}

size_t FilePrefetch::FilesOpened() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

void FilePrefetch::Work() {
    for (;;) {
        size_t index;
        {
            std::unique_lock lock(mutex_);
            room_.wait(lock, [&] { return stopping_ || next_ >= paths_.size() || next_ < first_ + ahead_; });
            if (stopping_ || next_ >= paths_.size()) return;
            index = next_++;
            // Slots run from `first_` to `next_`: the reader may have moved on meanwhile.
            while (slots_.size() < next_ - first_) slots_.emplace_back();
            slots_[index - first_].state = State::Reading;
        }
        fs::File file = Open(paths_[index]);
        bool wakeReader = false;
        {
            std::lock_guard lock(mutex_);
            if (file.IsOpen()) ++opened_;
            // The reader may have passed the entry while it was read; then the file just closes.
            if (index >= first_) {
                Slot& slot = slots_[index - first_];
                slot.file = std::move(file);
                slot.state = State::Done;
                wakeReader = readerWaiting_ && index == first_;
            }
        }
        if (wakeReader) done_.notify_one();
    }
}

fs::File FilePrefetch::Open(const std::string& path) {
    fs::File file;
    auto native = fs::ToNative(path);
    if (!native || !file.Open(*native, fs::File::Mode::Read)) return {};
    // The bytes are only wanted in the page cache, where the reader will find them.
    thread_local std::vector<char> buffer(std::max(kHeadBytes, kTailBytes));
    const uint64_t size = file.SizeAtOpen();
    file.ReadAt(0, buffer.data(), static_cast<size_t>(std::min<uint64_t>(size, kHeadBytes)));
    if (size > kHeadBytes) {
        const uint64_t tail = std::min<uint64_t>(size - kHeadBytes, kTailBytes);
        file.ReadAt(size - tail, buffer.data(), static_cast<size_t>(tail));
    }
    return file;
}

}  // namespace wvr
