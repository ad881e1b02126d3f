// wvr-cli convert, fill, find and select over copies of test files.
#include <filesystem>

#include "app/commands/Select.h"
#include "formats/TrackInfo.h"
#include "platform/base/FileOps.h"
#include "support/CliRun.h"

using namespace wvr;
using test::CliTest;

namespace {

constexpr int kPrintedPath = 1 + kPathText;
constexpr int kPrintedKind = 1 + kKindText;
const std::string kCbr128 = "mpeg/cbr128_44k_notag.mp3";
const std::string kSjis = "mpeg/mpeg2_8k_22k_sjis_v1.mp3";  // title 春の小川, artist 山田太郎

TEST_F(CliTest, ConvertWritesNewFilesKeepsExistingTargetsAndDeletesOnlyWhenAsked) {
    const std::string a = test::CopyCorpusFile(kCbr128, dir, "a.mp3");
    const std::string b = test::CopyCorpusFile(kCbr128, dir, "b.mp3");
    test::WriteFile(dir / "b.rmp", "taken");
    EXPECT_EQ(Cli({"convert", "--to", "rmp3", a, b}), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], dir / "a.rmp");
    EXPECT_EQ(test::ReadFile(dir / "b.rmp"), "taken");
    EXPECT_NE(err.find("wvr: 同じ名前のファイルが存在します。上書きしますか？\n" + dir / "b.rmp\n"), std::string::npos);
    EXPECT_NE(err.find("wvr: 変換しなかったファイルです: " + b), std::string::npos);
    EXPECT_TRUE(fs::Exists(a));
    // --yes answers the overwrite question: the old file is replaced.
    EXPECT_EQ(Cli({"convert", b, "--to", "rmp3", "--yes"}), 0);
    EXPECT_NE(test::ReadFile(dir / "b.rmp"), "taken");

    ASSERT_EQ(Cli({"list", dir / "a.rmp"}), 0);
    EXPECT_EQ(rows[0][kPrintedKind], "3");
    EXPECT_EQ(Cli({"convert", "--to", "wav", "--delete-source", dir / "a.rmp"}), 0);
    EXPECT_FALSE(fs::Exists(dir / "a.rmp"));
    ASSERT_EQ(rows.size(), 1u);
    // a.wav is in the target form already: nothing to do for it.
    EXPECT_EQ(Cli({"convert", "--to", "wav", dir / "a.wav"}), 0);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(Cli({"convert", "--to", "flac", a}), 2);
}

TEST_F(CliTest, FillPrintsTheFilledRowsAndWritesWithWrite) {
    const std::string x = test::CopyCorpusFile(kSjis, dir, "x.mp3");
    ASSERT_EQ(Cli({"fill", "--field", "2", "--text", "盤 %n", "--back", x}), 0);
    EXPECT_EQ(rows[0][1 + kAlbum], "日本の歌　第一集盤 01");
    // An option after the paths counts as well.
    ASSERT_EQ(Cli({"fill", "--field", "0", "--text", "新", x, "--write"}), 0);
    ASSERT_EQ(Cli({"list", x}), 0);
    EXPECT_EQ(rows[0][1 + kTitle], "新");
    EXPECT_EQ(Cli({"fill", "--field", "14", "--text", "t", x}), 2);
    EXPECT_EQ(Cli({"fill", "--field", "1", "--text", "t", "--front", "--back", x}), 2);
}

TEST_F(CliTest, FindPrintsTheRowsHoldingTheTextInListOrder) {
    const std::string x = test::CopyCorpusFile(kSjis, dir, "x.mp3");
    const std::string y = test::CopyCorpusFile(kCbr128, dir, "y.mp3");
    const std::string z = test::CopyCorpusFile(kSjis, dir, "z.mp3");
    ASSERT_EQ(Cli({"find", "山田", x, y, z}), 0);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][kPrintedPath], x);
    EXPECT_EQ(rows[1][kPrintedPath], z);
    EXPECT_EQ(Cli({"find", "Y.MP3", x, y}), 0);
    EXPECT_EQ(rows.size(), 1u);
    EXPECT_EQ(Cli({"find", "Y.MP3", x, "--match-case", y}), 1);
    EXPECT_EQ(err, "検索: Y.MP3 が見つかりません。\n");
}

TEST_F(CliTest, SelectFillsTheBudgetTheSameWayForTheSameSeed) {
    std::vector<std::string> args = {"select", "--kb", "100", "--seed", "7", "-o", dir / "out.m3u"};
    for (int i = 0; i < 6; ++i) args.push_back(test::CopyCorpusFile(kCbr128, dir, "s" + std::to_string(i) + ".mp3"));
    ASSERT_EQ(Cli(args), 0);
    const auto first = rows;
    ASSERT_EQ(first.size(), 3u);  // 33017 bytes each: three fit into 102400
    std::string playlist;
    for (const auto& row : first) playlist += row[kPrintedPath] + "\r\n";
    EXPECT_EQ(test::ReadFile(dir / "out.m3u"), playlist);
    ASSERT_EQ(Cli(args), 0);
    EXPECT_EQ(rows, first);
    // Extended, asked for or as the select dialog's setting says.
    args.push_back("--extended");
    ASSERT_EQ(Cli(args), 0);
    std::string extended = "#EXTM3U\r\n";
    for (const auto& row : first)
        extended += "#EXTINF:2," + row[0] + "\r\n" + row[kPrintedPath] + "\r\n";  // no tags: the file's name
    EXPECT_EQ(test::ReadFile(dir / "out.m3u"), extended);
    args.pop_back();
    SelectSettings stored;
    stored.SelExtM3u = true;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(SaveSelectSettings(stored, prompter));
    ASSERT_EQ(Cli(args), 0);
    EXPECT_EQ(test::ReadFile(dir / "out.m3u"), extended);
    EXPECT_EQ(Cli({"select", "--minutes", "1", "--kb", "1", args.back()}), 2);
    EXPECT_EQ(Cli({"select", "--kb", "2097153", args.back()}), 2);
}

TEST_F(CliTest, SelectWritesARelativePlaylistNameWhereItWasStarted) {
    // A playlist among the paths makes its own folder the current one while it is read.
    std::filesystem::create_directory(dir / "lists");
    test::CopyCorpusFile(kCbr128, dir, "lists/a.mp3");
    test::WriteFile(dir / "lists/in.m3u", "a.mp3\r\n");
    const auto started = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const int status = Cli({"select", "--kb", "100", "-o", "picked.m3u", "lists/in.m3u"});
    std::filesystem::current_path(started);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(test::ReadFile(dir / "picked.m3u"), (dir / "lists/a.mp3") + "\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "lists/picked.m3u"));
}

}  // namespace
