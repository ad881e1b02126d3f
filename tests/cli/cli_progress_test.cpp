// wvr-cli's progress line: shown on a terminal once a run has taken a second, rewritten in
// place, removed at the end; never written to a pipe or a file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include "cli/TerminalProgress.h"
#include "support/TestSupport.h"

using namespace wvr;
using namespace std::chrono_literals;

namespace {

// What a run of 4 files prints on `out`, the clock moving as the run goes on.
std::string RunOfFourFiles(std::FILE* out, int readEnd) {
    auto now = std::chrono::steady_clock::time_point{} + 1h;
    cli::TerminalProgress progress(out, [&] { return now; });
    progress.Begin();
    for (const auto& [done, at] : {std::pair{1, 500ms}, {2, 1100ms}, {3, 1150ms}, {4, 1200ms}}) {
        now = std::chrono::steady_clock::time_point{} + 1h + at;
        progress.Progress(done, 4);
    }
    progress.End();
    std::fflush(out);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(readEnd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    return text;
}

TEST(CliProgress, ATerminalSeesOneLineRewrittenAndRemovedAPipeOrAFileNothing) {
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    std::FILE* terminal = ::fdopen(slave, "w");
    // Nothing in the first second; the last file is shown even right after the one before.
    EXPECT_EQ(RunOfFourFiles(terminal, master), "\r2 / 4\033[K\r4 / 4\033[K\r\033[K");
    std::fclose(terminal);
    ::close(master);

    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_NONBLOCK), 0);
    std::FILE* pipe = ::fdopen(pipeEnds[1], "w");
    EXPECT_EQ(RunOfFourFiles(pipe, pipeEnds[0]), "");
    std::fclose(pipe);
    ::close(pipeEnds[0]);

    test::TempDir dir;
    std::FILE* file = std::fopen((dir / "err").c_str(), "w");
    ASSERT_NE(file, nullptr);
    RunOfFourFiles(file, -1);
    std::fclose(file);
    EXPECT_EQ(test::ReadFile(dir / "err"), "");
}

}  // namespace
