// Runs a command several times with its output thrown away and prints the shortest wall time
// in seconds and the largest peak resident memory in KB, the figures the benchmark reports.
// With --cold the page cache is dropped before each run (root only): every file's bytes come
// from the device again, as on the first load of a collection.
//
//   run_timed [--cold] RUNS COMMAND [ARGS...]    prints "SECONDS KB"; exit 3 when --cold cannot drop
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Writes what is dirty, then drops the clean pages ("1": the page cache only).
bool DropPageCache() {
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0) return false;
    const bool dropped = ::write(fd, "1", 1) == 1;
    ::close(fd);
    return dropped;
}

}  // namespace

int main(int argc, char** argv) {
    const bool cold = argc > 1 && std::strcmp(argv[1], "--cold") == 0;
    if (cold) {
        --argc;
        ++argv;
    }
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs <= 0) {
        std::fprintf(stderr, "usage: run_timed [--cold] RUNS COMMAND [ARGS...]\n");
        return 2;
    }
    double best = 1e9;
    long peakKb = 0;
    for (int i = 0; i < runs; ++i) {
        if (cold && !DropPageCache()) {
            std::fprintf(stderr, "run_timed: cannot drop the page cache (needs root)\n");
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
