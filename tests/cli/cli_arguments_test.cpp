// wvr-cli's arguments and standard streams: option values taken as they stand, the edges of
// the argument list, and a run whose printout cannot be written.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TestSupport.h"

using namespace wvr;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

class CliArguments : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        song = test::CopyCorpusFile("mpeg/mpeg2_16k_16khz_v1latin.mp3", dir, "song.mp3");
    }

    // Runs wvr-cli in the test's folder with stdout on `out` (a file of the test when -1).
    CliRun Cli(const std::vector<std::string>& args, int out = -1) {
        const std::string outPath = dir / "stdout", errPath = dir / "stderr";
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(dir.path().c_str()) != 0) ::_exit(126);
            ::dup2(out >= 0 ? out : ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
            ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
            std::vector<char*> argv = {const_cast<char*>(WVR_CLI_PATH)};
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(WVR_CLI_PATH, argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        CliRun run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = out >= 0 ? std::string() : test::ReadFile(outPath);
        run.err = test::ReadFile(errPath);
        return run;
    }

    // The title column of the one row printed.
    static std::string Title(const CliRun& run) {
        const size_t start = run.out.find('\t') + 1;
        return run.out.substr(start, run.out.find('\t', start) - start);
    }

    test::TempDir dir;
    std::string song;
};

TEST_F(CliArguments, AValueIsAValueAndTheListEndsWhereItEnds) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string title;  // of the row printed, when one is
        std::string err;    // the start of stderr
    };
    const Case cases[] = {
        {{"fill", "--field", "0", "--text", "-h", "song.mp3"}, 0, "-h", ""},
        {{"fill", "--field", "0", "--text", "--help", "song.mp3"}, 0, "--help", ""},
        {{"fill", "--field", "0", "--text", "a", "--text", "b", "song.mp3"}, 0, "b", ""},
        {{"select", "song.mp3", "--minutes"}, 2, "", "wvr: --minutes に値がありません\n"},
        {{"select", "--minutes", "1", "--seed", "4294967295", "song.mp3"}, 0, "", ""},
        {{"select", "--minutes", "1", "--seed", "4294967296", "song.mp3"}, 2, "", "wvr: --seed には 0 から 4294967295 "},
        {{"list", "-"}, 1, "", "wvr: 見つからないパスです: -\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.args);
        SCOPED_TRACE(c.args[0] + " " + c.args[c.args.size() - 2] + " " + c.args.back());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE(run.err.starts_with(c.err)) << run.err;
        EXPECT_FALSE(run.out.starts_with("usage:"));
        if (!c.title.empty()) {
            EXPECT_EQ(Title(run), c.title);
        }
    }
    // A file named "-" is listed like any other.
    test::WriteFile(dir / "-", test::ReadFile(song));
    EXPECT_EQ(Cli({"list", "-"}).status, 0);
}

TEST_F(CliArguments, APrintoutThatCannotBeWrittenFailsTheRunAndAClosedPipeEndsQuietly) {
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"list", "song.mp3"}, {"list", "--help"}}) {
        const CliRun run = Cli(args, full);
        EXPECT_EQ(run.status, 1) << args.back();
        EXPECT_TRUE(run.err.starts_with("wvr: 出力を書き込めませんでした: ")) << run.err;
    }
    ::close(full);

    // A reader gone before the first row, with SIGPIPE ignored as a parent may leave it.
    int pipeEnds[2];
    ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    ::close(pipeEnds[0]);
    const auto oldHandler = std::signal(SIGPIPE, SIG_IGN);
    const CliRun run = Cli({"list", "song.mp3"}, pipeEnds[1]);
    std::signal(SIGPIPE, oldHandler);
    ::close(pipeEnds[1]);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");
}

}  // namespace
