// Opening files ahead of AddFiles: each entry's own file, in order, whatever is skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>
#include <thread>

#include "app/commands/FilePrefetch.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

ino_t InodeOf(const fs::File& file) {
    struct stat st{};
    return ::fstat(file.Descriptor(), &st) == 0 ? st.st_ino : 0;
}

ino_t InodeOf(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

size_t OpenDescriptors() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

}  // namespace

TEST(FilePrefetch, EachEntryGetsItsOwnFileInOrderWhateverIsSkipped) {
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 700; ++i) {
        paths.push_back(dir / ("f" + std::to_string(i)));
        if (i % 100 != 42) test::WriteFile(paths.back(), std::string(static_cast<size_t>(i) * 20, 'x'));
    }
    FilePrefetch prefetch(paths, FilePrefetch::Start::AtOnce, 4, 64);
    // This reader is faster than any file system: let the workers get ahead once.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    size_t open = 0;
    for (size_t i = 0; i < paths.size(); i += i % 7 == 3 ? 5 : 1) {  // some entries are passed over
        fs::File file = prefetch.Take(i);
        if (i % 100 == 42) {
            EXPECT_FALSE(file.IsOpen()) << i;
            continue;
        }
        // A file no worker reached is opened by the caller: then it comes closed.
        if (!file.IsOpen()) continue;
        ++open;
        EXPECT_EQ(InodeOf(file), InodeOf(paths[i])) << i;
        EXPECT_EQ(file.SizeAtOpen(), i * 20);
    }
    EXPECT_GT(open, 0u);
    EXPECT_LE(prefetch.FilesOpened(), paths.size());
}

TEST(FilePrefetch, CachedFilesAreReadByTheCallerAlone) {
    // Files just written are in the page cache: handing them from thread to thread would cost
    // more than reading them. tmpfs (like FUSE and NFS) will not say whether a read would wait,
    // yet its files are always at hand.
    std::vector<std::string> parents{std::filesystem::temp_directory_path().string()};
    struct statfs shm{};
    if (::statfs("/dev/shm", &shm) == 0 && shm.f_type == TMPFS_MAGIC) parents.push_back("/dev/shm");
    for (const std::string& parent : parents) {
        test::TempDir dir(parent);
        std::vector<std::string> paths;
        for (size_t i = 0; i < FilePrefetch::kLeastEntries * 4; ++i)
            test::WriteFile(paths.emplace_back(dir / ("c" + std::to_string(i))), "x");
        for (size_t count : {size_t{10}, paths.size()}) {
            const std::vector<std::string> list(paths.begin(), paths.begin() + static_cast<std::ptrdiff_t>(count));
            FilePrefetch prefetch(list);
            for (size_t i = 0; i < list.size(); ++i) {
                fs::File file = prefetch.Take(i);
                if (file.IsOpen()) {
                    EXPECT_EQ(InodeOf(file), InodeOf(list[i])) << i;
                }
            }
            EXPECT_FALSE(prefetch.WorkersStarted()) << parent << " " << count;
        }
    }
}

// Every batch the reader takes makes room, and a worker waiting for room goes on: a reader that
// waits for each file finds it opened for it, however far the workers may run ahead.
TEST(FilePrefetch, WorkersGoOnAsTheReaderTakesFiles) {
    test::TempDir dir;
    test::WriteFile(dir / "s", "x");
    const std::vector<std::string> paths(FilePrefetch::kLeastEntries * 10, dir / "s");
    FilePrefetch prefetch(paths, FilePrefetch::Start::AtOnce, 2, 2 * FilePrefetch::kBatch);
    for (size_t i = 0; i < paths.size(); ++i) {
        for (int wait = 0; wait < 500 && prefetch.FilesOpened() <= i; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_GT(prefetch.FilesOpened(), i) << "the workers stopped";
        EXPECT_TRUE(prefetch.Take(i).IsOpen()) << i;
    }
}

// The files waiting for the reader leave room under a low limit of open files: the program
// opens its own files while the workers are as far ahead as they may go.
TEST(FilePrefetch, WaitingFilesLeaveRoomUnderALowOpenFileLimit) {
    test::TempDir dir;
    test::WriteFile(dir / "s", "x");
    const std::vector<std::string> paths(FilePrefetch::kAhead * 4, dir / "s");
    rlimit normal{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &normal), 0);
    rlimit low = normal;
    low.rlim_cur = std::max<rlim_t>(64, OpenDescriptors() + 40);
    ASSERT_LE(low.rlim_cur, normal.rlim_max);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    bool opened = false;
    {
        FilePrefetch prefetch(paths, FilePrefetch::Start::AtOnce);
        prefetch.Take(0);
        // Until the workers stop: ahead as far as they may, or out of descriptors.
        for (size_t seen = SIZE_MAX; seen != prefetch.FilesOpened();) {
            seen = prefetch.FilesOpened();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        const int own = ::open((dir / "s").c_str(), O_RDONLY | O_CLOEXEC);
        opened = own >= 0;
        if (opened) ::close(own);
    }
    ::setrlimit(RLIMIT_NOFILE, &normal);
    EXPECT_TRUE(opened) << "no descriptor left for the program's own files";
}

TEST(FilePrefetch, FilesWaitingWhenTheReaderStopsAreClosed) {
    test::TempDir dir;
    test::WriteFile(dir / "s", "x");
    const std::vector<std::string> paths(FilePrefetch::kLeastEntries * 20, dir / "s");
    const size_t before = OpenDescriptors();
    {
        FilePrefetch prefetch(paths, FilePrefetch::Start::AtOnce);
        prefetch.Take(0);
        // Let the workers open files ahead of a reader that never comes back for them.
        for (int wait = 0; wait < 100 && prefetch.FilesOpened() < FilePrefetch::kAhead; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_GT(OpenDescriptors(), before + FilePrefetch::kBatch);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}
