#include <filesystem>

#include "formats/Id3v1.h"
#include "platform/base/FileOps.h"
#include "support/CliRun.h"
#include "support/FaultInjection.h"

using namespace wvr;

namespace {

constexpr int kPrintedPath = 1 + kPathText;  // after the file-name column

using test::CliTest;

}  // namespace

TEST_F(CliTest, RenamePrintsNewNamesAndWithWriteCarriesThemOut) {
    const std::string x = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "x.mp3");
    const std::string y = test::CopyCorpusFile("mpeg/mpeg2_16k_16khz_v1latin.mp3", dir, "y.mp3");
    const std::string bytes = test::ReadFile(y);
    ASSERT_EQ(Cli({"rename", x, y}), 0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "[山田太郎]_春の小川.mp3");  // default pattern and options
    EXPECT_EQ(rows[0][kPrintedPath], x);
    EXPECT_TRUE(fs::Exists(x));

    ASSERT_EQ(Cli({"rename", "--pattern", "%n %1%e", "--write", x, y}), 0);
    EXPECT_EQ(err, "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][kPrintedPath], dir / "01_山田太郎.mp3");
    EXPECT_EQ(rows[1][kPrintedPath], dir / "02_Sample_Artist.mp3");
    EXPECT_FALSE(fs::Exists(x) || fs::Exists(y));
    // The tags went back as the row holds them: the writer's block replaced the old one.
    const std::string moved = test::ReadFile(dir / "02_Sample_Artist.mp3");
    ASSERT_EQ(moved.size(), bytes.size());
    EXPECT_EQ(moved.compare(0, moved.size() - kId3v1Size, bytes, 0, moved.size() - kId3v1Size), 0);
    EXPECT_NE(moved.substr(moved.size() - kId3v1Size), bytes.substr(bytes.size() - kId3v1Size));
}

TEST_F(CliTest, WriteAddsTagsAndFailuresShowInStatusAndStderr) {
    const std::string plain = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "plain.mp3");
    const size_t size = test::ReadFile(plain).size();
    ASSERT_EQ(Cli({"write", plain}), 0);
    EXPECT_EQ(test::ReadFile(plain).size(), size + kId3v1Size);

    const std::string taken = test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, "taken.mp3");
    EXPECT_EQ(Cli({"rename", "--pattern", "taken.mp3", "--write", plain}), 1);
    EXPECT_EQ(err, "wvr: 同じ名前のファイルが存在します。\n" + taken + "\nwvr: 書き込めなかったファイルです: " + plain + "\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "taken.mp3");
    EXPECT_EQ(rows[0][kPrintedPath], plain);

    EXPECT_EQ(Cli({"rename"}), 2);
    EXPECT_EQ(Cli({"write", "--pattern", "x", plain}), 2);
    EXPECT_EQ(Cli({"rename", "--pattern", "\xF0\x9F\x8E\xB5", plain}), 2);  // no CP932 form
}

TEST_F(CliTest, AFileThatAWriterLeftUndoneWithoutAWordIsNamed) {
    // A rebuild that meets a full disk says nothing in the window; here the file is named.
    test::SmallFileSystem small(256 * 1024);
    if (!small.mounted()) GTEST_SKIP() << small.reason();
    const std::string song = small / "song.rmp";
    std::filesystem::copy_file(test::CorpusPath("riff/rmp3_full_info_script.rmp"), song);
    const std::string bytes = test::ReadFile(song);
    test::FillUp(small / "filler");
    EXPECT_EQ(Cli({"write", song}), 1);
    EXPECT_EQ(err, "wvr: 書き込めなかったファイルです: " + song + "\n");
    EXPECT_EQ(test::ReadFile(song), bytes);
}
