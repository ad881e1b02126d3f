// A rebuilt file keeps its identity (owner, permission bits, times, extended attributes, hard
// links), and a rebuild that fails or dies never leaves the file damaged or a name behind that
// stands in the way of the next write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/base/FileOps.h"
#include "platform/base/NewFile.h"
#include "support/FaultInjection.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

namespace stdfs = std::filesystem;

struct stat Stat(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

timespec At(time_t seconds, long nanoseconds) {
    timespec t{};
    t.tv_sec = seconds;
    t.tv_nsec = nanoseconds;
    return t;
}

class ReplacementFileTest : public ::testing::Test {
protected:
    // Rebuilds `path` with `bytes`, keeping its last-write time.
    bool Replace(const std::string& path, const std::string& bytes) {
        const auto time = fs::ReadLastWriteTime(path);
        fs::ReplacementFile out(path);
        return out.Create() && out.Append(bytes) && out.Commit(time ? &*time : nullptr);
    }

    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : test::ReadFolder(dir.path())) names.push_back(name);
        return names;
    }

    test::TempDir dir;
    const std::string oldBytes = std::string(3000, 'o');
    const std::string newBytes = std::string(5000, 'n');
};

TEST_F(ReplacementFileTest, KeepsOwnerPermissionBitsTimesAndExtendedAttributes) {
    const std::string path = dir / "song.rmp";
    test::WriteFile(path, oldBytes);
    // Bits no new file gets: group-only reading, and the set-group-id bit a change of owner clears.
    ASSERT_EQ(::chmod(path.c_str(), 02640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    }
    if (::setxattr(path.c_str(), "user.wvr.rating", "5", 1, 0) != 0)
        GTEST_SKIP() << "the temporary folder keeps no user extended attributes: " << std::strerror(errno);
    const timespec times[2] = {At(1200000000, 111), At(1000000000, 222)};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const struct stat old = Stat(path);

    ASSERT_TRUE(Replace(path, newBytes));
    const struct stat now = Stat(path);  // before the read below, which may set the access time
    EXPECT_EQ(test::ReadFile(path), newBytes);
    EXPECT_EQ(now.st_mode, old.st_mode);
    EXPECT_EQ(now.st_uid, old.st_uid);
    EXPECT_EQ(now.st_gid, old.st_gid);
    EXPECT_EQ(now.st_atim.tv_sec, 1200000000);
    EXPECT_EQ(now.st_atim.tv_nsec, 111);
    EXPECT_EQ(now.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(now.st_mtim.tv_nsec, 222);
    char value[8] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.wvr.rating", value, sizeof value), 1);
    EXPECT_STREQ(value, "5");
    EXPECT_EQ(Names(), std::vector<std::string>{"song.rmp"});
}

TEST_F(ReplacementFileTest, HardLinksStayOneFile) {
    const std::string a = dir / "a.rmp", b = dir / "b.rmp";
    test::WriteFile(a, oldBytes);
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    ASSERT_EQ(::chmod(a.c_str(), 0604), 0);
    const struct stat old = Stat(a);

    for (const std::string& bytes : {newBytes, std::string("short")}) {
        ASSERT_TRUE(Replace(a, bytes));
        EXPECT_EQ(test::ReadFile(b), bytes) << "the other name sees the new bytes";
        const struct stat now = Stat(a);
        EXPECT_EQ(now.st_ino, old.st_ino);
        EXPECT_EQ(now.st_nlink, 2u);
        EXPECT_EQ(now.st_mode, old.st_mode);
        EXPECT_EQ(now.st_mtim.tv_sec, old.st_mtim.tv_sec);
        EXPECT_EQ(now.st_mtim.tv_nsec, old.st_mtim.tv_nsec);
        EXPECT_EQ(Names(), (std::vector<std::string>{"a.rmp", "b.rmp"}));
    }
}

TEST_F(ReplacementFileTest, EachFailingStepOfAWriteBackLeavesBothNamesWhole) {
    const std::string a = dir / "a.rmp", b = dir / "b.rmp";
    auto place = [&] {
        stdfs::remove(b);
        test::WriteFile(a, oldBytes);
        ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    };
    place();
    const int operations = test::FailEachOperation([&] { return Replace(a, newBytes); }, [&](int n, bool written) {
        EXPECT_EQ(test::ReadFile(a), written ? newBytes : oldBytes) << "operation " << n << " failing";
        EXPECT_EQ(Stat(a).st_ino, Stat(b).st_ino) << "operation " << n << " failing";
        EXPECT_EQ(Names(), (std::vector<std::string>{"a.rmp", "b.rmp"})) << "operation " << n << " failing";
        place();
    });
    EXPECT_GE(operations, 8);
}

TEST_F(ReplacementFileTest, AWriteBackCutOffByACrashIsFinishedWhenTheFileIsOpened) {
    const std::string a = dir / "a.rmp", b = dir / "b.rmp";
    auto place = [&] {
        for (const auto& name : Names()) stdfs::remove(dir / name);
        test::WriteFile(a, oldBytes);
        ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    };
    int finishedLater = 0;
    test::KillAtEachOperation(place, [&] { return Replace(a, newBytes); }, [&](int n) {
        const std::string when = "killed at operation " + std::to_string(n);
        EXPECT_EQ(Stat(a).st_ino, Stat(b).st_ino) << when;
        const std::vector<std::string> names = Names();
        if (names.size() == 2) {
            const std::string now = test::ReadFile(a);
            EXPECT_TRUE(now == oldBytes || now == newBytes) << when;
            return;
        }
        // Killed while writing back: the complete copy is there to restore from.
        ASSERT_EQ(names.size(), 3u) << when;
        EXPECT_EQ(names[0].rfind(".wvr-restore-", 0), 0u) << when;
        EXPECT_EQ(test::ReadFile(dir / names[0]), newBytes) << when;
        // Opening the file, under either name, finishes the write-back.
        fs::File reopened;
        ASSERT_TRUE(reopened.Open(b, fs::File::Mode::Read)) << when;
        EXPECT_EQ(reopened.SizeAtOpen(), newBytes.size()) << when;
        EXPECT_EQ(test::ReadFile(a), newBytes) << when;
        EXPECT_EQ(Names(), (std::vector<std::string>{"a.rmp", "b.rmp"})) << when;
        ++finishedLater;
    });
    EXPECT_GT(finishedLater, 0) << "no kill came during a write-back";
}

TEST_F(ReplacementFileTest, KilledBuildsLeaveNothingAndLeftoverNamesBlockNoWrite) {
    const std::string path = dir / "song.rmp";
    // Names that look like ours but belong to no rebuild of this file are left alone.
    for (const char* stranger : {".wvr-tmp0", ".wvr-new-1", ".wvr-restore-1-2.3"})
        test::WriteFile(dir / stranger, "not ours to judge");
    const std::vector<std::string> strangers = Names();
    auto place = [&] { test::WriteFile(path, oldBytes); };
    int leftovers = 0;
    test::KillAtEachOperation(place, [&] { return Replace(path, newBytes); }, [&](int n) {
        const std::string when = "killed at operation " + std::to_string(n);
        std::vector<std::string> names = Names();
        const std::string now = test::ReadFile(path);
        EXPECT_TRUE(now == oldBytes || now == newBytes) << when;
        if (names.size() == strangers.size() + 1) return;
        // Killed between naming the complete rebuild and renaming it over the file: the file
        // is untouched, and the next write goes through and takes the name away.
        ASSERT_EQ(names.size(), strangers.size() + 2) << when;
        EXPECT_EQ(now, oldBytes) << when;
        ++leftovers;
        ASSERT_TRUE(Replace(path, newBytes)) << when;
        names = Names();
        names.erase(std::find(names.begin(), names.end(), "song.rmp"));
        EXPECT_EQ(names, strangers) << when;
    });
    EXPECT_EQ(leftovers, 1);
    for (const auto& stranger : strangers) EXPECT_EQ(test::ReadFile(dir / stranger), "not ours to judge");
}

TEST_F(ReplacementFileTest, ANewFileAppearsOnlyWhenComplete) {
    const std::string path = dir / "new.ini";
    test::KillAtEachOperation([&] { stdfs::remove(path); }, [&] { return Replace(path, newBytes); }, [&](int n) {
        const std::vector<std::string> names = Names();
        EXPECT_TRUE(names.empty() || (names == std::vector<std::string>{"new.ini"} && test::ReadFile(path) == newBytes))
            << "killed at operation " << n;
    });
    ASSERT_TRUE(Replace(path, newBytes));
    EXPECT_EQ(test::ReadFile(path), newBytes);
}

TEST_F(ReplacementFileTest, AFileThatMayNotBeWrittenAndAFolderAreNeverReplaced) {
    test::PermissionChecksEnforced checks;
    ASSERT_TRUE(checks.enforced());
    const std::string locked = dir / "locked.csv", folder = dir / "folder";
    test::WriteFile(locked, oldBytes);
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    stdfs::create_directory(folder);

    fs::ReplacementFile overLocked(locked);
    EXPECT_FALSE(overLocked.Create());
    EXPECT_EQ(overLocked.file().Error(), EACCES);
    fs::ReplacementFile overFolder(folder);
    EXPECT_FALSE(overFolder.Create());
    EXPECT_EQ(overFolder.file().Error(), EISDIR);
    // A new file (a conversion's target, the player's playlist) replaces no such file either.
    fs::NewFile newOverLocked(locked), newOverFolder(folder);
    EXPECT_FALSE(newOverLocked.Create());
    EXPECT_FALSE(newOverFolder.Create());
    EXPECT_FALSE(newOverLocked.Commit(fs::NewFile::Existing::Replace));
    // A pipe under the name is no file either, and the reason says so.
    const std::string pipe = dir / "pipe.m3u";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    int error = 0;
    EXPECT_FALSE(fs::WriteWholeFileOver(pipe, "x", &error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_EQ(test::ReadFile(locked), oldBytes);
    EXPECT_TRUE(stdfs::is_directory(folder));
    EXPECT_EQ(Names(), (std::vector<std::string>{"folder", "locked.csv", "pipe.m3u"}));
}

// The writers of a whole file over an existing one.
struct Writer {
    const char* name;
    std::function<bool(const std::string& path, const std::string& bytes)> write;
};
const Writer kWriters[] = {
    {"NewFile", [](const std::string& path, const std::string& bytes) {
         fs::NewFile out(path);
         return out.Create() && out.Append(bytes) && out.Commit(fs::NewFile::Existing::Replace);
     }},
    {"ReplacementFile", [](const std::string& path, const std::string& bytes) {
         fs::ReplacementFile out(path);
         return out.Create() && out.Append(bytes) && out.Commit(nullptr);
     }},
};

TEST_F(ReplacementFileTest, ACommitWhoseFlushFailsFailsAndLeavesTheFileAsItWas) {
    const std::string path = dir / "list.csv";
    for (const Writer& writer : kWriters) {
        test::WriteFile(path, oldBytes);
        fs::SetFaultHook([](const char* operation, uint64_t) { return std::strcmp(operation, "sync") == 0; });
        EXPECT_FALSE(writer.write(path, newBytes)) << writer.name;
        fs::SetFaultHook(nullptr);
        EXPECT_EQ(test::ReadFile(path), oldBytes) << writer.name;
        EXPECT_EQ(Names(), std::vector<std::string>{"list.csv"}) << writer.name;
    }
}

TEST_F(ReplacementFileTest, WithoutUnnamedFilesKeepRefusesAnExistingTargetAndReplaceReplacesIt) {
    const std::string path = dir / "song.wav";
    for (const auto existing : {fs::NewFile::Existing::Keep, fs::NewFile::Existing::Replace}) {
        const bool replace = existing == fs::NewFile::Existing::Replace;
        test::WriteFile(path, oldBytes);
        fs::SetFaultHook([](const char* operation, uint64_t) {
            if (std::strcmp(operation, "open-unnamed") != 0) return false;
            errno = EOPNOTSUPP;
            return true;
        });
        bool committed;
        {
            fs::NewFile out(path);
            committed = out.Create() && out.Append(newBytes) && out.Commit(existing);
        }
        fs::SetFaultHook(nullptr);
        EXPECT_EQ(committed, replace);
        EXPECT_EQ(test::ReadFile(path), replace ? newBytes : oldBytes);
        EXPECT_EQ(Names(), std::vector<std::string>{"song.wav"}) << "the file built under a name is gone";
    }
}

TEST_F(ReplacementFileTest, AnOutputInAFolderThatRefusesNewFilesIsWrittenInPlace) {
    test::PermissionChecksEnforced checks;
    if (!checks.enforced()) GTEST_SKIP() << "root's right to create files anywhere cannot be dropped here";
    const std::string page = dir / "page.html";
    test::WriteFile(page, oldBytes);
    const ino_t inode = Stat(page).st_ino;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    auto output = [](const std::string& path, const std::string& bytes) {
        fs::OutputFile out(path);
        return out.Create() && out.Append(bytes) && out.Commit();
    };
    // A rebuild (a music file, the settings) is not written so; a file that is not there cannot be made.
    EXPECT_FALSE(Replace(page, newBytes));
    EXPECT_FALSE(output(dir / "new.html", newBytes));
    EXPECT_EQ(test::ReadFile(page), oldBytes);
    // Longer, then shorter: the file is cut to the new length.
    for (const std::string& bytes : {newBytes, std::string("short")}) {
        EXPECT_TRUE(output(page, bytes));
        EXPECT_EQ(test::ReadFile(page), bytes);
    }
    EXPECT_EQ(Stat(page).st_ino, inode);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"page.html"});
}

}  // namespace
