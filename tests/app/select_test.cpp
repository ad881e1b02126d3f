// The selection by play time or size: budgets, the random fill's invariants under fixed
// seeds, the texts, the playlist and the dialog's stored values.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <set>

#include "app/commands/Playlists.h"
#include "app/commands/Select.h"
#include "platform/base/FileOps.h"
#include "platform/core/Registry.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

std::vector<Candidate> RandomCandidates(std::mt19937& random, int count) {
    std::vector<Candidate> candidates;
    for (int i = 0; i < count; ++i) {
        const long long value = random() % 5 == 0 ? 0 : 1 + random() % 600;
        candidates.push_back({value, i});
    }
    return candidates;
}

TEST(RandomFill, NeverOverBudgetTakesEveryZeroAndLeavesOutNothingThatStillFits) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 source(seed);
        const auto candidates = RandomCandidates(source, 1 + seed * 7 % 90);
        const long long budget = source() % 4000;
        std::mt19937 random(seed);
        const Selection s = RandomFill(candidates, budget, random);
        long long sum = 0;
        std::set<int> taken;
        for (const Candidate& c : s.chosen) {
            sum += c.value;
            EXPECT_TRUE(taken.insert(c.row).second) << "taken twice";
        }
        EXPECT_EQ(sum, s.total);
        EXPECT_LE(s.total, budget);
        for (const Candidate& c : candidates) {
            if (taken.count(c.row)) continue;
            EXPECT_NE(c.value, 0) << "a file of no length was left out";
            EXPECT_GT(c.value, budget - s.total) << "left out although it fits";
        }
    }
}

TEST(RandomFill, SameSeedSameChoiceAndAllFitMeansAllTaken) {
    std::mt19937 source(5);
    const auto candidates = RandomCandidates(source, 50);
    std::mt19937 a(99), b(99);
    const Selection first = RandomFill(candidates, 3000, a), second = RandomFill(candidates, 3000, b);
    ASSERT_EQ(first.chosen.size(), second.chosen.size());
    for (size_t i = 0; i < first.chosen.size(); ++i) EXPECT_EQ(first.chosen[i].row, second.chosen[i].row);

    std::mt19937 c(3);
    const Selection all = RandomFill(candidates, 1LL << 40, c);
    EXPECT_EQ(all.chosen.size(), candidates.size());
    std::mt19937 d(3);
    for (const Candidate& chosen : RandomFill(candidates, 0, d).chosen) EXPECT_EQ(chosen.value, 0);
}

TEST(SelectTexts, BudgetsAndMegabytes) {
    EXPECT_EQ(SelectBudget(SelectMode::Time, 3, 0), 3600);
    EXPECT_EQ(SelectBudget(SelectMode::Time, 0, 90), 5400);
    EXPECT_EQ(SelectBudget(SelectMode::Size, 1, 0), 16777216);
    EXPECT_EQ(SelectBudget(SelectMode::Size, 0, kMaxCustomValue), 2147483648LL);
    EXPECT_EQ(SelectValueText(SelectMode::Size, 16777216), "16MB");
    EXPECT_EQ(SelectValueText(SelectMode::Size, 3670016), "3.5MB");
    EXPECT_EQ(Megabytes(1048576 * 2 - 1), "2");
    EXPECT_EQ(Megabytes(0), "0");
    EXPECT_EQ(SelectValueText(SelectMode::Time, 3725), "01:02:05");
    EXPECT_EQ(SelectTotalText(SelectMode::Time, 59, 3600), "00:59 / 01:00:00");
    EXPECT_EQ(SelectTotalText(SelectMode::Size, 3670016, 16777216), "3.5MB / 16MB");
}

TEST(SelectRows, SizeModeLeavesOutMissingFilesAndKeepOnlyRowsKeepsTheChoice) {
    test::TempDir dir;
    test::WriteFile(dir / "a", std::string(1000, 'x'));
    RowList rows;
    for (const char* name : {"a", "gone", "a"}) {
        TrackInfo row;
        row.Path = dir / name;
        row.Seconds = "7";
        row.Checked = true;
        rows.Append(row);
    }
    const auto bySize = BuildCandidates(rows, SelectMode::Size);
    ASSERT_EQ(bySize.size(), 2u);
    EXPECT_EQ(bySize[0].value, 1000);
    EXPECT_EQ(bySize[1].row, 2);
    EXPECT_EQ(BuildCandidates(rows, SelectMode::Time).size(), 3u);

    KeepOnlyRows(rows, {2, 1});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].Path, dir / "gone");  // the list's own order
    EXPECT_FALSE(rows[0].Checked || rows[1].Checked);
}

TrackInfo Row(const std::string& path, const std::string& seconds = "", const std::string& artist = "",
              const std::string& title = "") {
    TrackInfo row;
    row.Path = path;
    row.Seconds = seconds;
    row.Fields[kArtist] = artist;
    row.Fields[kTitle] = title;
    return row;
}

TEST(SelectRows, PlaylistLinesNameFilesAsTheFileSystemDoesAndEndInCrLf) {
    test::TempDir dir;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(WritePlaylist(dir / "p.m3u", {Row("/m/a.mp3"), Row(test::Sjis("/m/歌.rmp"))}, false, prompter));
    EXPECT_EQ(test::ReadFile(dir / "p.m3u"), "/m/a.mp3\r\n/m/歌.rmp\r\n");
    EXPECT_FALSE(WritePlaylist(dir / "no/such/folder.m3u", {Row("x")}, false, prompter));
    EXPECT_EQ(prompter.shown().back().icon, PromptIcon::Stop);
    EXPECT_EQ(prompter.shown().back().text, "ファイルを作成できませんでした。\n" + dir / "no/such/folder.m3u" + "\n" + std::strerror(ENOENT));
}

// A row without artist and title shows its file's name, as players show an untagged file; a
// line break in a tag text cannot break the entry in two.
TEST(SelectRows, EveryExtendedEntryHasATitleOnOneLine) {
    EXPECT_EQ(ExtendedPlaylistBytes({Row("/m/a.mp3", "3"), Row("/m/b.mp3", "4", " ", "T"),
                                     Row("/m/c.mp3", "5", "A\r\nB", "x\ny\rz")}),
              "#EXTM3U\r\n#EXTINF:3,a.mp3\r\n/m/a.mp3\r\n#EXTINF:4,T\r\n/m/b.mp3\r\n"
              "#EXTINF:5,A  B - x y z\r\n/m/c.mp3\r\n");
}

// The extended playlist as a real player reads it: mpv plays both entries, in order, under a
// Japanese folder, and shows the #EXTINF titles.
TEST(SelectRows, AnExtendedPlaylistIsPlayedByMpvWithItsTitles) {
    test::TempDir dir;
    const std::string folder = dir / test::Sjis("日本の歌");
    ASSERT_TRUE(std::filesystem::create_directory(*fs::ToNative(folder)));
    std::vector<TrackInfo> rows;
    for (const char* name : {"一.mp3", "二.mp3"}) {
        const std::string path = folder + "/" + test::Sjis(name);
        std::filesystem::copy_file(test::CorpusPath("mpeg/cbr128_44k_notag.mp3"), *fs::ToNative(path));
        rows.push_back(Row(path, "2", test::Sjis("歌手"), test::Sjis(name)));
    }
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(WritePlaylist(dir / "x.m3u", rows, true, prompter));
    const std::string native = *fs::ToNative(folder);
    EXPECT_EQ(test::ReadFile(dir / "x.m3u"), "#EXTM3U\r\n#EXTINF:2,歌手 - 一.mp3\r\n" + native + "/一.mp3\r\n" +
                                                 "#EXTINF:2,歌手 - 二.mp3\r\n" + native + "/二.mp3\r\n");

    if (std::system("command -v mpv >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs mpv (scripts/install-deps.sh)";
    const std::string command = "mpv --no-config --no-video --ao=null --length=0.1 "
                                "--term-playing-msg='PLAYING ${media-title}|${path}' '" + dir / "x.m3u" +
                                "' 2>&1 | grep '^PLAYING '";
    FILE* out = ::popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string printed;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, out)) printed.append(buffer, n);
    EXPECT_EQ(::pclose(out), 0) << printed;
    EXPECT_EQ(printed, "PLAYING 歌手 - 一.mp3|" + native + "/一.mp3\nPLAYING 歌手 - 二.mp3|" + native + "/二.mp3\n");
}

TEST(SelectSettingsStore, RoundTripAndAReadThatStopsAtTheFirstMissingValue) {
    test::IsolatedConfig config;
    EXPECT_EQ(LoadSelectSettings().TimeIndex, 3);
    SelectSettings s;
    s.LastFile = test::Sjis("歌.m3u");
    s.SelIndex = 1;
    s.SizeIndex = 0;
    s.SizeValue = kMaxCustomValue;
    s.LeaveFile = true;
    s.SelExtM3u = true;
    test::ScriptedPrompter prompter;
    ASSERT_TRUE(SaveSelectSettings(s, prompter));
    const SelectSettings back = LoadSelectSettings();
    EXPECT_EQ(back.LastFile, s.LastFile);
    EXPECT_EQ(back.SizeValue, kMaxCustomValue);
    EXPECT_TRUE(back.LeaveFile);
    EXPECT_TRUE(back.SelExtM3u);

    auto key = RegistryKey::Open("Select", true);
    key->WriteString("TimeIndex", "not a number");
    key->Flush();
    const SelectSettings partial = LoadSelectSettings();
    EXPECT_EQ(partial.SelIndex, 1);
    EXPECT_EQ(partial.TimeIndex, 3);
    EXPECT_EQ(partial.SizeValue, 0);
    EXPECT_FALSE(partial.LeaveFile);
}

}  // namespace
