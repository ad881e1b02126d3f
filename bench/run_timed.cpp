// Runs a command several times with its output thrown away and prints the shortest wall time
// in seconds and the largest peak resident memory in KB, the figures the benchmark reports.
// With --cold TREE the cached pages of every file below TREE are dropped before each run: every
// file's bytes come from the device again, as on the first load of a collection (the folders
// stay cached; other programs' pages are left alone, and no root is needed).
//
//   run_timed [--cold TREE] RUNS COMMAND [ARGS...]    prints "SECONDS KB"; exit 3 when --cold cannot drop
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool dropFailed = false;

// Writes the file's dirty pages, then drops its pages from the cache.
int DropFile(const char* path, const struct stat*, int type, struct FTW*) {
    if (type != FTW_F) return 0;
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fdatasync(fd) != 0 || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) != 0) dropFailed = true;
    if (fd >= 0) ::close(fd);
    return 0;
}

bool DropPageCache(const char* tree) { return ::nftw(tree, DropFile, 64, FTW_PHYS) == 0 && !dropFailed; }

}  // namespace

int main(int argc, char** argv) {
    const char* coldTree = argc > 2 && std::strcmp(argv[1], "--cold") == 0 ? argv[2] : nullptr;
    if (coldTree) {
        argc -= 2;
        argv += 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: run_timed [--cold TREE] RUNS COMMAND [ARGS...]\n");
        return 2;
    }
    double best = 1e9;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        if (coldTree && !DropPageCache(coldTree)) {
            std::fprintf(stderr, "run_timed: cannot drop the cached pages of %s\n", coldTree);
            return 3;
        }
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::execvp(argv[2], argv + 2);
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        if (::wait4(child, &status, 0, &usage) < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "run_timed: %s failed\n", argv[2]);
            return 1;
        }
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
        if (wall.count() < best) best = wall.count();
        if (usage.ru_maxrss > peakKb) peakKb = usage.ru_maxrss;
    }
    std::printf("%.4f %ld\n", best, peakKb);
    return 0;
}
