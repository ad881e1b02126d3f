// Opens the files of a work list ahead of AddFiles and reads their heads and tails, on a few
// worker threads. On a cold disk (the first load of a big collection, a network share) every
// file's first open and read wait for the device, one file after another; the workers keep many
// of them in flight at once. AddFiles takes each file, already open, in list order on its own
// thread and reads it as before (from the page cache now), so rows, questions and messages come
// exactly as they always did. The workers only open and read: they never ask a question, never
// change a file and never touch a row.
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
    // The bytes read at each end: what the readers look at in almost every file (the kind, the
    // headers, the ID3v1 block, a RIFF INFO list after the audio) lies within them.
    static constexpr size_t kHeadBytes = 4096;
    static constexpr size_t kTailBytes = 4096;
    // Short lists are read at once, without threads.
    static constexpr size_t kLeastEntries = 32;
    // Workers are woken when this many entries have room, not for each one: waking them costs
    // more than opening a cached file.
    static constexpr size_t kWakeEvery = 16;

    // Starts on `paths` (row paths, CP932) from the first on.
    explicit FilePrefetch(const std::vector<std::string>& paths, size_t threads = kThreads, size_t ahead = kAhead);
    ~FilePrefetch();
    FilePrefetch(const FilePrefetch&) = delete;
    FilePrefetch& operator=(const FilePrefetch&) = delete;

    // Entry `index`'s file, open for reading, or a closed file when no worker opened it (the
    // caller then opens it itself). Entries are taken in increasing order; skipped ones are
    // closed and dropped.
    fs::File Take(size_t index);

    // How many files the workers opened (for tests).
    size_t FilesOpened() const;

private:
    enum class State { Reading, Done };
    struct Slot {
        State state = State::Reading;
        fs::File file;
    };

    void Work();
    static fs::File Open(const std::string& path);

    const std::vector<std::string> paths_;
    const size_t ahead_;
    mutable std::mutex mutex_;
    std::condition_variable room_;  // workers wait here for entries to take
    std::condition_variable done_;  // the reader waits here for the file it wants
    bool readerWaiting_ = false;
    std::deque<Slot> slots_;  // the entries workers took, from `first_` up to `next_`
    size_t first_ = 0;        // the entry the reader takes next
    size_t next_ = 0;         // the entry a worker takes next
    size_t opened_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace wvr
