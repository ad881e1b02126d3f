// Opening files ahead of AddFiles: each entry's own file, in order, whatever is skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
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
    // more than reading them.
    test::TempDir dir;
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
        EXPECT_EQ(prefetch.FilesOpened(), 0u) << count;
    }
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
