// Opening files ahead of AddFiles: each entry's own file, in order, whatever is skipped.
#include <gtest/gtest.h>

#include <chrono>
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

}  // namespace

TEST(FilePrefetch, EachEntryGetsItsOwnFileInOrderWhateverIsSkipped) {
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 700; ++i) {
        paths.push_back(dir / ("f" + std::to_string(i)));
        if (i % 100 != 42) test::WriteFile(paths.back(), std::string(static_cast<size_t>(i) * 20, 'x'));
    }
    FilePrefetch prefetch(paths, 4, 64);
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

TEST(FilePrefetch, ShortListsAndEndingEarlyNeedNoThreads) {
    test::TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 10; ++i) test::WriteFile(paths.emplace_back(dir / ("s" + std::to_string(i))), "x");
    FilePrefetch few(paths);
    EXPECT_FALSE(few.Take(0).IsOpen());
    // A long list left after its first entry: the workers stop and every file closes.
    paths.resize(FilePrefetch::kLeastEntries * 20, paths[0]);
    {
        FilePrefetch many(paths);
        many.Take(0);
    }
    SUCCEED();
}
