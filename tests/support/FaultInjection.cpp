#include "support/FaultInjection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <random>
#include <sched.h>
#include <signal.h>
#include <sstream>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

namespace wvr::test {
namespace {

// The hook's state. In a child it lives in memory shared with the parent, so that the parent
// sees how far the child got.
struct Counter {
    std::atomic<int> operations{0};
    int target = 0;           // the operation that fails or kills; 0 for none
    bool killAtTarget = false;
    bool armed = false;       // a kill due at the next step: the write before it went half-way
};

Counter* g_counter = nullptr;

// A write of up to a page reaches the file whole or not at all when its process is killed;
// the kernel can stop a longer one between pages.
constexpr uint64_t kPageBytes = 4096;

bool CountingHook(const char* operation, uint64_t bytes) {
    Counter& c = *g_counter;
    if (c.armed) ::raise(SIGKILL);
    const int n = ++c.operations;
    if (n != c.target) return false;
    if (!c.killAtTarget) return true;
    // A kill inside a longer write: half of it is written (the failing write does that), then
    // the process dies before anything else happens.
    if (std::strcmp(operation, "write") == 0 && bytes > kPageBytes) {
        c.armed = true;
        return true;
    }
    ::raise(SIGKILL);
    return true;
}

Counter* SharedCounter() {
    void* memory = ::mmap(nullptr, sizeof(Counter), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::runtime_error("mmap failed");
    return new (memory) Counter();
}

void ReleaseCounter(Counter* counter) {
    counter->~Counter();
    ::munmap(counter, sizeof(Counter));
}

enum class ChildEnd { Finished, Killed };

// Forks a child that runs `write` under the counter; `whileRunning(pid)` runs in the parent.
ChildEnd RunInChild(Counter* counter, const std::function<bool()>& write,
                    const std::function<void(pid_t)>& whileRunning = {}) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        g_counter = counter;
        fs::SetFaultHook(CountingHook);
        const bool written = write();
        if (counter->armed) ::raise(SIGKILL);
        ::_exit(written ? 0 : 1);
    }
    if (whileRunning) whileRunning(pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return ChildEnd::Killed;
    if (!WIFEXITED(status)) throw std::runtime_error("the writing child ended abnormally");
    return ChildEnd::Finished;
}

}  // namespace

FolderState ReadFolder(const std::string& folder) {
    FolderState state;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        state[entry.path().filename().string()] = entry.is_regular_file() ? ReadFile(entry.path().string()) : "";
    return state;
}

int FailEachOperation(const std::function<bool()>& write, const std::function<void(int n, bool written)>& check) {
    Counter counter;
    g_counter = &counter;
    for (int n = 1;; ++n) {
        counter.operations = 0;
        counter.target = n;
        fs::SetFaultHook(CountingHook);
        const bool written = write();
        fs::SetFaultHook(nullptr);
        const bool faultMet = counter.operations >= n;
        check(n, written);
        if (!faultMet || ::testing::Test::HasFatalFailure() || n > 10000) return counter.operations;
    }
}

int KillAtEachOperation(const std::function<void()>& prepare, const std::function<bool()>& write,
                        const std::function<void(int n)>& check) {
    Counter* counter = SharedCounter();
    int operations = 0;
    for (int n = 1; n <= 10000; ++n) {
        prepare();
        counter->operations = 0;
        counter->target = n;
        counter->killAtTarget = true;
        counter->armed = false;
        if (RunInChild(counter, write) == ChildEnd::Finished) {
            operations = counter->operations;
            break;
        }
        check(n);
        if (::testing::Test::HasFatalFailure()) break;
    }
    ReleaseCounter(counter);
    return operations;
}

int KillAtRandomMoments(const std::function<void()>& prepare, const std::function<bool()>& write,
                        const std::function<void()>& check, int runs, std::chrono::microseconds longest,
                        unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delay(0, longest.count());
    Counter* counter = SharedCounter();
    // A whole write, counted, so that a kill can be placed between its first and last step.
    prepare();
    counter->target = 0;
    RunInChild(counter, write);
    const int total = counter->operations;
    int midway = 0;
    for (int run = 0; run < runs && !::testing::Test::HasFatalFailure(); ++run) {
        prepare();
        counter->operations = 0;
        const auto wait = std::chrono::microseconds(delay(random));
        const ChildEnd end = RunInChild(counter, write, [&](pid_t pid) {
            std::this_thread::sleep_for(wait);
            ::kill(pid, SIGKILL);
        });
        const int reached = counter->operations;
        if (end == ChildEnd::Killed && reached > 0 && reached < total) ++midway;
        check();
    }
    ReleaseCounter(counter);
    return midway;
}

std::string Describe(const FolderState& state) {
    std::ostringstream out;
    for (const auto& [name, bytes] : state)
        out << name << " (" << bytes.size() << " bytes, #" << std::hash<std::string>{}(bytes) % 100000 << ") ";
    return out.str();
}

::testing::AssertionResult SameFolder(const FolderState& now, const FolderState& expected) {
    if (now == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the folder holds " << Describe(now) << "\nexpected: " << Describe(expected);
}

SmallFileSystem::SmallFileSystem(size_t bytes) {
    if (::geteuid() != 0) {
        reason_ = "only root may mount a small file system for this case";
        return;
    }
    char pattern[] = "/tmp/wvr-small-fs-XXXXXX";
    if (!::mkdtemp(pattern)) {
        reason_ = std::string("no folder to mount on: ") + std::strerror(errno);
        return;
    }
    path_ = pattern;
    // In a mount namespace of its own the file system is gone with the process, however it ends.
    if (::unshare(CLONE_NEWNS) == 0) ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
    if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        reason_ = std::string("tmpfs could not be mounted: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) ::rmdir(path_.c_str());
}

void FillUp(const std::string& fillerPath) {
    const int fd = ::open(fillerPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + fillerPath);
    const std::string block(4096, '\0');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    // The last block may have fitted in part only: top up byte by byte.
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
}

}  // namespace wvr::test
