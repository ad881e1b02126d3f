// Turning files, folders, wildcard patterns, playlists and command lines into the work list.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/commands/FileScan.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Sjis;
using test::TempDir;

namespace {

namespace stdfs = std::filesystem;

WorkList Sorted(WorkList list) {
    std::sort(list.begin(), list.end());
    return list;
}

// Playlists change the current folder; every test starts and ends in the folder it found.
class ScanTest : public ::testing::Test {
protected:
    void SetUp() override { start_ = stdfs::current_path(); }
    void TearDown() override { stdfs::current_path(start_); }

    std::string Touch(const std::string& relative) {
        test::WriteFile(dir / relative, "\xFF\xFB\x90\x64");
        return dir / relative;
    }

    TempDir dir;

private:
    stdfs::path start_;
};

}  // namespace

// --- folders

TEST_F(ScanTest, FolderGivesEveryFileBelowItWhateverItsExtension) {
    test::CopyCorpusFile("tree/a.mp3", dir, "tree/a.mp3");
    test::CopyCorpusFile("tree/notes.txt", dir, "tree/notes.txt");
    test::CopyCorpusFile("tree/sub/b.rmp", dir, "tree/sub/b.rmp");
    WorkList work;
    ScanFolder(dir / "tree/", work);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "tree/a.mp3", dir / "tree/notes.txt", dir / "tree/sub/b.rmp"}));
}

TEST_F(ScanTest, FoldersAndWildcardsListInNameOrderIgnoringLetterCase) {
    // Made in an order of their own; listed by name with letters compared in upper case (so
    // "a" < "B" < "c", "α" < "Β", and letters before "_"), equal names by their bytes, every
    // sub-folder scanned at its place.
    const std::vector<std::string> ordered = {
        "01 曲.mp3", "02 曲.mp3", "03 曲.mp3", "08 曲.mp3", "a.mp3", "B/10.mp3", "B/2.mp3", "B/b/x.mp3", "B/C.mp3",
        "c.mp3", "X.mp3", "x.mp3", "_.mp3", "α.mp3", "Β.mp3", "ａ.mp3", "Ｂ.mp3", "ｱ.mp3"};
    for (size_t i : {13, 3, 7, 0, 11, 5, 16, 14, 1, 9, 4, 17, 12, 6, 2, 10, 15, 8}) Touch(ordered[i]);
    WorkList expected;
    for (const std::string& name : ordered) expected.push_back(dir / Sjis(name));
    WorkList work;
    ScanFolder(dir.path() + "/", work);
    EXPECT_EQ(work, expected);

    work.clear();
    ScanPath(dir / "*.mp3", work);
    expected.erase(expected.begin() + 5, expected.begin() + 9);
    EXPECT_EQ(work, expected);
}

TEST_F(ScanTest, LinkLoopsAreFollowedOnce) {
    Touch("a/1.mp3");
    Touch("a/b/2.mp3");
    stdfs::create_directory_symlink("..", dir / "a/b/up");
    stdfs::create_directory_symlink(".", dir / "a/self");
    stdfs::create_directory_symlink(dir / "a", dir / "a/b/absolute");
    WorkList work;
    ScanFolder(dir / "a/", work);
    ASSERT_EQ(work.size(), 2u);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "a/1.mp3", dir / "a/b/2.mp3"}));
}

TEST_F(ScanTest, LinksToFilesAndToOtherFoldersAreFollowed) {
    Touch("elsewhere/far.mp3");
    Touch("music/near.mp3");
    stdfs::create_symlink(dir / "elsewhere/far.mp3", dir / "music/link.mp3");
    stdfs::create_directory_symlink(dir / "elsewhere", dir / "music/more");
    WorkList work;
    ScanFolder(dir / "music/", work);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "music/link.mp3", dir / "music/more/far.mp3", dir / "music/near.mp3"}));
}

TEST_F(ScanTest, PipesAreNeverListedForTheyWouldBlockTheAdd) {
    // Opening a pipe for reading waits for a writer: a pipe in the work list would hang the add.
    const std::string file = Touch("music/a.mp3");
    ASSERT_EQ(::mkfifo((dir / "music/pipe.mp3").c_str(), 0644), 0);
    stdfs::create_symlink(dir / "music/pipe.mp3", dir / "music/link.mp3");
    WorkList work;
    ScanFolder(dir / "music/", work);
    ScanPath(dir / "music/pipe.mp3", work);
    ScanPath(dir / "music/link.mp3", work);
    ScanPath(dir / "music/*.mp3", work);
    EXPECT_EQ(work, (WorkList{file, file}));
}

TEST_F(ScanTest, NamesCp932CannotHoldAreSkippedAndReported) {
    Touch("曲.mp3");
    Touch("한글.mp3");
    Touch("한/inside.mp3");
    Touch("\xF9\x91\xA0.mp3");  // no UTF-8: once read as "鑠.mp3", which names another file
    WorkList work;
    SkippedNames skipped;
    ScanFolder(dir.path() + "/", work, &skipped);
    EXPECT_EQ(work, (WorkList{dir.path() + "/" + Sjis("曲.mp3")}));
    EXPECT_EQ(Sorted(skipped), (WorkList{dir / "한", dir / "한글.mp3", dir / "\xF9\x91\xA0.mp3"}));
}

TEST_F(ScanTest, UnreadableFoldersArePassedOver) {
    Touch("open/1.mp3");
    Touch("closed/2.mp3");
    stdfs::permissions(dir / "closed", stdfs::perms::none);
    test::PermissionChecksEnforced checks;
    ASSERT_TRUE(checks.enforced()) << "root could not give up reading every folder";
    WorkList work;
    ScanFolder(dir.path() + "/", work);
    EXPECT_EQ(work, (WorkList{dir / "open/1.mp3"}));
}

TEST_F(ScanTest, MissingOrEmptyFoldersGiveNothing) {
    stdfs::create_directory(dir / "empty");
    WorkList work;
    ScanFolder(dir / "empty/", work);
    ScanFolder(dir / "missing/", work);
    ScanPath(dir / "missing", work);
    EXPECT_TRUE(work.empty());
}

// --- one argument

TEST_F(ScanTest, PathToAFileIsTakenAsItIs) {
    const std::string file = Touch("a.mp3");
    WorkList work;
    ScanPath(file, work);
    EXPECT_EQ(work, (WorkList{file}));
}

TEST_F(ScanTest, PathToAFolderIsScannedWithOneSeparator) {
    Touch("music/a.mp3");
    WorkList withoutSeparator, withSeparator;
    ScanPath(dir / "music", withoutSeparator);
    ScanPath(dir / "music/", withSeparator);
    EXPECT_EQ(withoutSeparator, (WorkList{dir / "music/a.mp3"}));
    EXPECT_EQ(withSeparator, withoutSeparator);
}

TEST_F(ScanTest, WildcardsMatchNamesIgnoringLetterCase) {
    for (const char* name : {"a.mp3", "B.MP3", "c.rmp", "d.mp3.txt"}) Touch(name);
    WorkList work;
    ScanPath(dir / "*.mp3", work);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "B.MP3", dir / "a.mp3"}));
    work.clear();
    ScanPath(dir / "?.rmp", work);
    EXPECT_EQ(work, (WorkList{dir / "c.rmp"}));
}

TEST_F(ScanTest, WildcardQuestionMarkTakesOneJapaneseCharacter) {
    Touch("曲.mp3");
    Touch("曲目.mp3");
    WorkList work;
    ScanPath(dir / "?.mp3", work);
    EXPECT_EQ(work, (WorkList{dir / Sjis("曲.mp3")}));
}

TEST_F(ScanTest, WildcardBracketsAreOrdinaryCharacters) {
    // Names made by the rename pattern "[%1] %2%e" hold brackets.
    Touch("[Artist] Song.mp3");
    Touch("A Song.mp3");
    WorkList work;
    ScanPath(dir / "[Artist] *.mp3", work);
    EXPECT_EQ(work, (WorkList{dir / "[Artist] Song.mp3"}));
}

TEST_F(ScanTest, WildcardStarDotStarAlsoMatchesNamesWithoutADot) {
    Touch("noext");
    Touch("a.mp3");
    WorkList work;
    ScanPath(dir / "*.*", work);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "a.mp3", dir / "noext"}));
}

TEST_F(ScanTest, FolderMatchedByAWildcardIsScanned) {
    Touch("top.mp3");
    Touch("sub/inner.mp3");
    Touch("other/skip.mp3");
    WorkList work;
    ScanPath(dir / "*", work);
    EXPECT_EQ(Sorted(work), (WorkList{dir / "other/skip.mp3", dir / "sub/inner.mp3", dir / "top.mp3"}));
    work.clear();
    ScanPath(dir / "s*", work);
    EXPECT_EQ(work, (WorkList{dir / "sub/inner.mp3"}));
}

// --- playlists

namespace {

class PlaylistTest : public ScanTest {
protected:
    void SetUp() override {
        ScanTest::SetUp();
        for (const char* file : {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "riff/wave_mp3_ffmpeg_info.wav", "tree/sub/b.rmp",
                                 "tree/notes.txt", "vqf/vqf_full_script.vqf", "playlist/list_crlf_backslash.m3u",
                                 "playlist/list_lf_slash.m3u", "playlist/UPPER.M3U"})
            test::CopyCorpusFile(file, dir, file);
    }

    // The lines of the corpus playlists that are no comment ("#EXTM3U", "#EXTINF:..."), each
    // resolved against the playlist's folder; the last names the first file again.
    WorkList ExpectedEntries() const {
        const std::string folder = dir / "playlist/";
        return {dir / "mpeg/mpeg2_8k_22k_sjis_v1.mp3",
                dir / "riff/wave_mp3_ffmpeg_info.wav",
                dir / "playlist",
                dir / "tree/sub/b.rmp",
                folder + "missing_file.mp3",
                dir / "tree/notes.txt",
                dir / "vqf/vqf_full_script.vqf",
                dir / "mpeg/mpeg2_8k_22k_sjis_v1.mp3"};
    }
};

}  // namespace

TEST_F(PlaylistTest, CrLfLinesWithBackslashesResolveAgainstThePlaylistsFolder) {
    WorkList work;
    EXPECT_TRUE(ReadPlaylist(dir / "playlist/list_crlf_backslash.m3u", work));
    EXPECT_EQ(work, ExpectedEntries());
}

TEST_F(PlaylistTest, LfLinesWithSlashesGiveTheSameEntries) {
    WorkList work;
    EXPECT_TRUE(ReadPlaylist(dir / "playlist/list_lf_slash.m3u", work));
    EXPECT_EQ(work, ExpectedEntries());
}

TEST_F(PlaylistTest, ThePlaylistsFolderBecomesTheCurrentFolder) {
    WorkList work;
    ReadPlaylist(dir / "playlist/list_lf_slash.m3u", work);
    EXPECT_EQ(stdfs::current_path(), stdfs::path(dir / "playlist"));
}

TEST_F(PlaylistTest, EmptyOrMissingPlaylistAddsNothing) {
    test::WriteFile(dir / "empty.m3u", "");
    WorkList work;
    EXPECT_FALSE(ReadPlaylist(dir / "empty.m3u", work));
    EXPECT_FALSE(ReadPlaylist(dir / "missing.m3u", work));
    EXPECT_TRUE(work.empty());
}

TEST_F(PlaylistTest, AbsoluteLinesStayAndALastLineNeedsNoLineEnd) {
    test::WriteFile(dir / "abs.m3u", dir / "tree/sub/b.rmp" + "\r\n" + dir / "tree/notes.txt");
    WorkList work;
    EXPECT_TRUE(ReadPlaylist(dir / "abs.m3u", work));
    EXPECT_EQ(work, (WorkList{dir / "tree/sub/b.rmp", dir / "tree/notes.txt"}));
}

TEST_F(PlaylistTest, PlaylistNamingItselfOrAFolderIsTakenLineByLine) {
    test::WriteFile(dir / "self.m3u", "self.m3u\ntree\n");
    WorkList work;
    EXPECT_TRUE(ReadPlaylist(dir / "self.m3u", work));
    EXPECT_EQ(work, (WorkList{dir / "self.m3u", dir / "tree"}));
}

TEST_F(PlaylistTest, BackslashInsideADoubleByteCharacterIsNoSeparator) {
    // "ソ" is 83 5C in CP932: its second byte is the code of "\".
    const std::string name = Sjis("ソ.mp3");
    test::WriteFile(dir / "sjis.m3u", "tree\\" + name + "\r\n");
    WorkList work;
    ReadPlaylist(dir / "sjis.m3u", work);
    EXPECT_EQ(work, (WorkList{dir / "tree/" + name}));
}

TEST_F(PlaylistTest, ALineInTheFileSystemsNamesIsTakenWhenItsShiftJisReadingNamesNoFile) {
    test::WriteFile(dir.path() + "/歌.mp3", "x");
    test::WriteFile(dir / "utf8.m3u", "歌.mp3\r\n" + Sjis("歌.mp3") + "\r\n");
    WorkList work;
    ReadPlaylist(dir / "utf8.m3u", work);
    EXPECT_EQ(work, (WorkList{dir / Sjis("歌.mp3"), dir / Sjis("歌.mp3")}));
}

// A line that names a file CP932 cannot name is told as a folder scan tells it, relative or
// absolute, whether the command line or a drop reads the playlist.
TEST_F(ScanTest, APlaylistLineNamingAFileCp932CannotHoldIsReported) {
    const std::string korean = Touch("한글.mp3");
    const std::string notUtf8 = Touch("\xF9\x91\xA0.mp3");
    test::WriteFile(dir / "list.m3u", "한글.mp3\r\n" + korean + "\r\n\xF9\x91\xA0.mp3\r\n");
    SkippedNames skipped;
    const WorkList work = CollectArguments({dir / "list.m3u"}, &skipped);
    EXPECT_TRUE(work.empty());
    EXPECT_EQ(skipped, (SkippedNames{korean, korean, notUtf8}));
}

TEST(ExpandPathTest, BackslashesCountAsSeparatorsOnlyWhenTheNameDoesNotExist) {
    TempDir dir;
    EXPECT_EQ(ExpandPath(dir / "list/", "..\\music\\a.mp3"), dir / "music/a.mp3");
    EXPECT_EQ(ExpandPath(dir / "list/", "./b/../c.mp3"), dir / "list/c.mp3");
    test::WriteFile(dir / "odd\\name.mp3", "x");
    EXPECT_EQ(ExpandPath(dir.path(), "odd\\name.mp3"), dir / "odd\\name.mp3");
    EXPECT_EQ(ExpandPath(dir.path(), "/abs/x.mp3"), "/abs/x.mp3");
}

TEST(PlaylistNameTest, OnlyTheExactLowerCaseExtension) {
    EXPECT_TRUE(IsPlaylistName("a/list.m3u"));
    EXPECT_FALSE(IsPlaylistName("a/LIST.M3U"));
    EXPECT_FALSE(IsPlaylistName("a/list.M3u"));
    EXPECT_FALSE(IsPlaylistName("a/list.m3u8"));
    EXPECT_FALSE(IsPlaylistName("a/m3u"));
    EXPECT_FALSE(IsPlaylistName("a.m3u/list"));
}

// --- the command line

TEST_F(PlaylistTest, ArgumentsArePlaylistsOnlyWithTheExactExtension) {
    stdfs::copy_file(dir / "playlist/UPPER.M3U", dir / "playlist/lower.m3u");
    const WorkList upper = CollectArguments({dir / "playlist/UPPER.M3U"});
    EXPECT_EQ(upper, (WorkList{dir / "playlist/UPPER.M3U"})) << "taken as a file, not read";
    const WorkList lower = CollectArguments({dir / "playlist/lower.m3u"});
    EXPECT_EQ(lower, ExpectedEntries());
}

TEST_F(ScanTest, ArgumentsResolveAgainstTheCurrentFolderInOrder) {
    Touch("music/a.mp3");
    Touch("music/sub/b.mp3");
    Touch("c.mp3");
    stdfs::current_path(dir.path());
    const WorkList work = CollectArguments({"c.mp3", "music/sub", "./music/*.mp3", "missing.mp3"});
    EXPECT_EQ(work, (WorkList{dir / "c.mp3", dir / "music/sub/b.mp3", dir / "music/a.mp3"}));
}

TEST_F(ScanTest, ArgumentCp932CannotHoldIsSkippedAndReported) {
    const std::string korean = Touch("한글.mp3");
    const std::string japanese = Touch("曲.mp3");
    SkippedNames skipped;
    const WorkList work = CollectArguments({korean, japanese}, &skipped);
    EXPECT_EQ(work, (WorkList{dir / Sjis("曲.mp3")}));
    EXPECT_EQ(skipped, (SkippedNames{korean}));
}
