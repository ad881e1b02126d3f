// Opens the files of a work list ahead of AddFiles and reads their heads and tails, on a few
// worker threads, once the files turn out not to be in the page cache. On a cold disk (the
// first load of a big collection, a network share) every file's first open and read wait for
// the device, one file after another; the workers keep many of them in flight at once. When the
// files are cached, handing each one from thread to thread costs more than reading it, so the
// caller then reads every file itself and the workers never start.
//
// AddFiles takes each file in list order on its own thread and reads it as before (from the
// page cache now), so rows, questions and messages come exactly as they always did. The
// workers only open and read: they never ask a question, never change a file and never touch
// a row.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/FileOps.h"

namespace wvr {

class FilePrefetch {
public:
    // Enough reads in flight for a disk or a share to serve them together; the threads mostly wait.
    static constexpr size_t kThreads = 8;
    // How many files may wait open for the reader: enough to hide the device's delay, few enough
    // to stay far below the limit of open files and to be still cached when they are read.
    static constexpr size_t kAhead = 256;
    // Workers take entries, and hand them over, this many at a time: one lock and at most one
    // wake-up per batch instead of per file.
    static constexpr size_t kBatch = 8;
    // The bytes read at each end: what the readers look at in almost every file (the kind, the
    // headers, the ID3v1 block, a RIFF INFO list after the audio) lies within them.
    static constexpr size_t kHeadBytes = 4096;
    static constexpr size_t kTailBytes = 4096;
    // Short lists are read at once, without threads.
    static constexpr size_t kLeastEntries = 32;
    // While the workers wait, every this many entries the caller opens the file itself and asks
    // whether its first byte is cached; the first file that is not starts them.
    static constexpr size_t kProbeEvery = 32;

    enum class Start { WhenNotCached, AtOnce };

    // Works on `paths` (row paths, CP932), which the caller may change at entries it has taken
    // and by appending: the workers copy the entries they will read when they start.
    explicit FilePrefetch(const std::vector<std::string>& paths, Start start = Start::WhenNotCached,
                          size_t threads = kThreads, size_t ahead = kAhead);
    ~FilePrefetch();
    FilePrefetch(const FilePrefetch&) = delete;
    FilePrefetch& operator=(const FilePrefetch&) = delete;

    // Entry `index`'s file, open for reading, or a closed file (the caller then opens it
    // itself). Entries are taken in increasing order; skipped ones are closed and dropped.
    fs::File Take(size_t index);

    // How many files the workers opened, and whether they were started (for tests).
    size_t FilesOpened() const;
    bool WorkersStarted() const { return !threads_.empty(); }

private:
    struct Batch {
        size_t first = 0;  // its entries are first .. first + files.size()
        bool done = false;
        std::vector<fs::File> files;
    };

    void StartWorkers(size_t from);
    void Work();
    static fs::File Open(const std::string& path);

    const std::vector<std::string>& source_;
    const size_t threadCount_;
    const size_t ahead_;
    bool probing_;

    // The caller's batch, taken whole from the workers: no lock until it is used up.
    std::vector<fs::File> current_;
    size_t currentFirst_ = 0;

    // From here on shared with the workers, under `mutex_`.
    std::vector<std::string> paths_;  // copied at the start; entry i is paths_[i - base_]
    size_t base_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable room_;  // workers wait here for entries to take
    std::condition_variable done_;  // the reader waits here for the batch it wants
    bool readerWaiting_ = false;
    std::deque<Batch> batches_;  // the batches workers took, in order, from `taken_` up to `next_`
    size_t taken_ = 0;           // the first entry the reader has not taken from the workers
    size_t next_ = 0;            // the entry the workers take next
    size_t opened_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace wvr
