#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/wait.h>

#include "formats/Id3v1.h"
#include "platform/base/FileOps.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::vector<std::vector<std::string>> rows;  // stdout, split into lines and tab-separated texts
    std::string err;
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> texts;
    std::stringstream in(line);
    for (std::string text; std::getline(in, text, '\t');) texts.push_back(text);
    return texts;
}

// Columns of a printed row: the file-name column, then the 22 indexed texts.
constexpr int kPrintedFileName = 0;
constexpr int kPrintedPath = 1 + kPathText;

class CliTest : public ::testing::Test {
protected:
    // The settings store of the command is an empty folder of the test's own.
    void SetUp() override { setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1); }

    CliRun Cli(const std::vector<std::string>& args) {
        std::string command = std::string("'") + WVR_CLI_PATH + "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " 2>'" + dir / "stderr" + "'";
        CliRun run;
        FILE* out = popen(command.c_str(), "r");
        std::string text;
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
        run.status = WEXITSTATUS(pclose(out));
        std::stringstream lines(text);
        for (std::string line; std::getline(lines, line);) run.rows.push_back(SplitTabs(line));
        run.err = test::ReadFile(dir / "stderr");
        return run;
    }

    TempDir dir;
};

}  // namespace

TEST_F(CliTest, RenamePrintsTheNewNamesAndLeavesTheFiles) {
    const std::string x = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "x.mp3");
    const std::string bytes = test::ReadFile(x);
    CliRun run = Cli({"rename", x});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.rows.size(), 1u);
    // The default pattern with the default options: spaces to "_".
    EXPECT_EQ(run.rows[0][kPrintedFileName], "[山田太郎]_春の小川.mp3");
    EXPECT_EQ(run.rows[0][kPrintedPath], x);
    EXPECT_EQ(test::ReadFile(x), bytes);
}

TEST_F(CliTest, RenameWithWriteMovesEveryFileAndWritesItsTags) {
    const std::string x = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "x.mp3");
    const std::string y = test::CopyCorpusFile("mpeg/mpeg2_16k_16khz_v1latin.mp3", dir, "y.mp3");
    CliRun run = Cli({"rename", "--pattern", "%n %1%e", "--write", x, y});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.rows.size(), 2u);
    EXPECT_EQ(run.rows[0][kPrintedPath], dir / "01_山田太郎.mp3");
    EXPECT_EQ(run.rows[1][kPrintedPath], dir / "02_Sample_Artist.mp3");
    EXPECT_FALSE(fs::Exists(x));
    EXPECT_FALSE(fs::Exists(y));
    // The tags were written back as the row holds them: a block the writer builds (genre by name).
    const std::string moved = test::ReadFile(dir / "02_Sample_Artist.mp3");
    ASSERT_EQ(moved.size(), test::ReadFile(test::CorpusPath("mpeg/mpeg2_16k_16khz_v1latin.mp3")).size());
    auto texts = ParseId3v1(reinterpret_cast<const uint8_t*>(moved.data() + moved.size() - kId3v1Size), GenreTable{});
    ASSERT_TRUE(texts);
    EXPECT_EQ(texts->title.substr(0, 8), "Low Rate");
    EXPECT_EQ(texts->genre, "Pop");
}

TEST_F(CliTest, WriteAddsATagAndReportsFailuresByStatus) {
    const std::string plain = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "plain.mp3");
    const size_t size = test::ReadFile(plain).size();
    CliRun run = Cli({"write", plain});
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(test::ReadFile(plain).size(), size + kId3v1Size);

    // A name that is taken: the message on stderr, both files kept, status 1.
    const std::string other = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "taken.mp3");
    const std::string otherBytes = test::ReadFile(other);
    run = Cli({"rename", "--pattern", "taken.mp3", "--write", plain});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wvr: 同じ名前のファイルが存在します。\n" + other + "\n");
    EXPECT_EQ(test::ReadFile(other), otherBytes);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][kPrintedFileName], "taken.mp3");
    EXPECT_EQ(run.rows[0][kPrintedPath], plain);
}

TEST_F(CliTest, BadArgumentsGiveStatusTwo) {
    EXPECT_EQ(Cli({"rename"}).status, 2);
    EXPECT_EQ(Cli({"write", "--pattern", "x", dir.path()}).status, 2);
    EXPECT_EQ(Cli({"rename", "--pattern", "\xF0\x9F\x8E\xB5", dir.path()}).status, 2);
}
