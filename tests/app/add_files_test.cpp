// Adding files to the list: rows from folders and playlists, duplicates, the filter, genre
// names, MacBinary files and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/commands/AddFiles.h"
#include "app/commands/ListedPaths.h"
#include "support/MadeFiles.h"
#include "support/ProgressRecorder.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Id3v1Texts;
using test::Sjis;
using test::TempDir;

namespace {

namespace stdfs = std::filesystem;

std::vector<std::string> FileNames(const Session& session) {
    std::vector<std::string> names;
    for (const TrackInfo& row : session.rows) names.push_back(row.FileName);
    return names;
}

class AddFilesTest : public ::testing::Test {
protected:
    void SetUp() override { start_ = stdfs::current_path(); }
    void TearDown() override { stdfs::current_path(start_); }

    int Add(WorkList work, const AddOptions& options = {}) { return AddFiles(session, work, options, prompter); }
    int AddFolder(const std::string& folder, const AddOptions& options = {}) {
        WorkList work;
        ScanPath(folder, work);
        return Add(work, options);
    }
    std::string Mp3(const std::string& name, const Id3v1Texts& tag = {}) {
        return test::WriteTaggedMp3(dir / name, tag);
    }

    TempDir dir;
    Session session;
    test::ScriptedPrompter prompter;

private:
    stdfs::path start_;
};

}  // namespace

TEST_F(AddFilesTest, FolderWithATextFileAndASubFolderGivesTwoRows) {
    test::CopyCorpusFile("tree/a.mp3", dir, "tree/a.mp3");
    test::CopyCorpusFile("tree/notes.txt", dir, "tree/notes.txt");
    test::CopyCorpusFile("tree/sub/b.rmp", dir, "tree/sub/b.rmp");
    EXPECT_EQ(AddFolder(dir / "tree"), 2);
    std::vector<std::string> names = FileNames(session);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.mp3", "b.rmp"}));
}

TEST_F(AddFilesTest, RowHoldsTheTrimmedTagTextsAndTheAudioProperties) {
    Id3v1Texts tag;
    tag.title = "  ABC   ";
    tag.artist = Sjis("\t山田 太郎\r\n");
    tag.album = std::string(30, 'x');  // no zero byte: the whole field
    tag.year = "1999";
    tag.comment = "a  b";
    tag.genre = 17;
    const std::string path = Mp3("tagged.mp3", tag);
    ASSERT_EQ(Add({path}), 1);
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.FileName, "tagged.mp3");
    EXPECT_EQ(row.Fields[kTitle], "ABC");
    EXPECT_EQ(row.Fields[kArtist], Sjis("山田 太郎"));
    EXPECT_EQ(row.Fields[kAlbum], std::string(30, 'x'));
    EXPECT_EQ(row.Fields[kDate], "1999");
    EXPECT_EQ(row.Fields[kComment], "a  b");
    EXPECT_EQ(row.Fields[kGenre], "Rock");
    for (int i = kCopyright; i < kFieldCount; ++i) EXPECT_EQ(row.Fields[i], "") << "field " << i;
    EXPECT_EQ(row.AudioSize, std::to_string(stdfs::file_size(path) - 128));
    EXPECT_EQ(row.Path, path);
    EXPECT_EQ(row.Kind, "1");
    EXPECT_EQ(row.InfoText, "MP3  16kbit    16KHz 002sec ");
    EXPECT_EQ(row.Seconds, "2");
    EXPECT_FALSE(row.Checked);
}

TEST_F(AddFilesTest, SameFileIsNeverAddedTwice) {
    const std::string a = Mp3("a.mp3"), b = Mp3("b.mp3");
    EXPECT_EQ(Add({a, b, a}), 2) << "named twice in one selection";
    EXPECT_EQ(Add({b, a}), 0) << "added again later";
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"a.mp3", "b.mp3"}));
}

TEST(ListedPathsTest, FindsEveryPathAddedAfterItGrew) {
    RowList rows;
    TrackInfo row;
    row.Path = "/m/listed.mp3";
    rows.Append(row);
    WorkList work;
    ListedPaths listed(rows, work, 0);  // room for none: every addition below makes it grow
    listed.AddRow(0);
    for (int i = 0; i < 300; ++i) {
        work.push_back("/m/" + std::to_string(i) + ".mp3");
        if (i % 2 == 0) listed.AddEntry(work.size() - 1);
    }
    EXPECT_TRUE(listed.Contains("/m/listed.mp3"));
    for (int i = 0; i < 300; ++i) EXPECT_EQ(listed.Contains(work[i]), i % 2 == 0) << work[i];
    EXPECT_FALSE(listed.Contains("/m/300.mp3"));
}

// The table never fills: a lookup of a path it lacks ends at an empty slot whatever the count.
// A full table would look forever; the alarm turns that into a failure.
TEST(ListedPathsTest, LookupOfAMissingPathEndsAtEveryCount) {
    EXPECT_EXIT(
        {
            ::alarm(10);
            RowList rows;
            WorkList work;
            ListedPaths listed(rows, work, 0);
            for (int i = 0; i < 600; ++i) {
                work.push_back("/m/" + std::to_string(i) + ".mp3");
                listed.AddEntry(work.size() - 1);
                if (listed.Contains("/m/missing.mp3")) std::_Exit(1);
            }
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(AddFilesTest, ClearFirstReplacesTheRows) {
    const std::string a = Mp3("a.mp3"), b = Mp3("b.mp3");
    Add({a});
    AddOptions clear;
    clear.clearFirst = true;
    EXPECT_EQ(Add({b, a}, clear), 2);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"b.mp3", "a.mp3"}));
    // Adding nothing (a file that is no music) leaves the list as it was.
    EXPECT_EQ(Add({test::CopyCorpusFile("tree/notes.txt", dir, "notes.txt")}, clear), 0);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"b.mp3", "a.mp3"}));
}

TEST_F(AddFilesTest, ProgressIsToldTheEntriesSoFarOfAll) {
    test::ProgressRecorder recorder;
    WorkList work = {Mp3("a.mp3"), Mp3("b.mp3"), dir / "missing.mp3"};
    AddFiles(session, work, {}, prompter, &recorder);
    recorder.ExpectCountedUpTo(3);
}

// --- playlists

namespace {

class PlaylistAddTest : public AddFilesTest {
protected:
    void SetUp() override {
        AddFilesTest::SetUp();
        for (const char* file : {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "riff/wave_mp3_ffmpeg_info.wav", "tree/sub/b.rmp",
                                 "tree/notes.txt", "vqf/vqf_full_script.vqf", "playlist/list_crlf_backslash.m3u",
                                 "playlist/list_lf_slash.m3u", "playlist/UPPER.M3U"})
            test::CopyCorpusFile(file, dir, file);
    }
    const std::vector<std::string> kListed = {"mpeg2_8k_22k_sjis_v1.mp3", "wave_mp3_ffmpeg_info.wav", "b.rmp",
                                              "vqf_full_script.vqf"};
};

}  // namespace

TEST_F(PlaylistAddTest, OnlyTheMusicFilesOfAPlaylistBecomeRows) {
    for (const char* list : {"playlist/list_crlf_backslash.m3u", "playlist/list_lf_slash.m3u"}) {
        session.rows.Clear();
        WorkList work;
        ASSERT_TRUE(ReadPlaylist(dir / list, work));
        Add(work);
        EXPECT_EQ(FileNames(session), kListed) << list;
        EXPECT_EQ(session.rows[2].Path, dir / "tree/sub/b.rmp");
    }
}

TEST_F(PlaylistAddTest, UpperCaseExtensionIsNoPlaylist) {
    EXPECT_EQ(Add(CollectArguments({dir / "playlist/UPPER.M3U"})), 0);
    EXPECT_EQ(Add(CollectArguments({dir / "playlist/list_lf_slash.m3u"})), 4);
}

TEST_F(PlaylistAddTest, PlaylistNamingItselfOrAFolderAddsWhatItCan) {
    test::WriteFile(dir / "self.m3u", "self.m3u\r\ntree\r\n.\r\ntree\\sub\\b.rmp\r\n");
    WorkList work;
    ASSERT_TRUE(ReadPlaylist(dir / "self.m3u", work));
    EXPECT_EQ(Add(work), 1);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"b.rmp"}));
}

// --- the filter

namespace {

class FilterTest : public AddFilesTest {
protected:
    void SetUp() override {
        AddFilesTest::SetUp();
        for (const char* artist : {"Sample", "The Sample", "sample", " Sample "}) {
            Id3v1Texts tag;
            tag.artist = artist;
            work.push_back(Mp3(std::string("[") + artist + "].mp3", tag));
        }
        work.push_back(Mp3("x.mp3"));
    }
    std::vector<std::string> Listed(const std::vector<FilterEntry>& filter, bool includeMode) {
        AddOptions options;
        options.filter = &filter;
        options.includeMode = includeMode;
        session.rows.Clear();
        Add(work, options);
        return FileNames(session);
    }
    WorkList work;
};

}  // namespace

TEST_F(FilterTest, IncludeModeKeepsExactMatchesOfEntryZeroOnly) {
    const std::vector<std::string> kept = {"[Sample].mp3", "[ Sample ].mp3"};  // the tag text is trimmed
    EXPECT_EQ(Listed({{false, 2, "Sample"}}, true), kept);
    EXPECT_EQ(Listed({{true, 2, "Sample"}}, true), kept) << "the check mark of entry 0 plays no part";
    EXPECT_EQ(Listed({{false, 2, "Sample"}, {true, 0, "[Sample].mp3"}}, true), kept) << "later entries neither";
    EXPECT_EQ(Listed({{false, 0, "x.mp3"}}, true), (std::vector<std::string>{"x.mp3"}));
}

TEST_F(FilterTest, ExclusionModeDropsMatchesOfCheckedLaterEntries) {
    const std::vector<std::string> all = {"[Sample].mp3", "[The Sample].mp3", "[sample].mp3", "[ Sample ].mp3",
                                          "x.mp3"};
    EXPECT_EQ(Listed({{false, 0, ""}, {true, 0, "x.mp3"}}, false),
              (std::vector<std::string>(all.begin(), all.end() - 1)));
    EXPECT_EQ(Listed({{false, 0, ""}, {false, 0, "x.mp3"}}, false), all) << "unchecked entries drop nothing";
    EXPECT_EQ(Listed({{true, 0, "x.mp3"}}, false), all) << "entry 0 plays no part";
    EXPECT_EQ(Listed({{false, 0, ""}, {true, 2, "Sample"}, {true, 2, "sample"}}, false),
              (std::vector<std::string>{"[The Sample].mp3", "x.mp3"}));
}

TEST_F(FilterTest, DroppedFileCanStillBeAddedLater) {
    Listed({{false, 0, ""}, {true, 0, "x.mp3"}}, false);
    EXPECT_EQ(Add({dir / "x.mp3"}), 1);
}

TEST(AddOptionsTest, TheCommandLineNeverUsesExtendedGenresOrIncludeMode) {
    Settings settings;
    settings.Set(Option::OptGenreOn, true);
    settings.Set(Option::EdtAddClr, true);
    settings.FilterSel = true;
    AddOptions menus = AddOptionsFromSettings(settings);
    EXPECT_TRUE(menus.extendedGenres);
    EXPECT_TRUE(menus.includeMode);
    EXPECT_TRUE(menus.clearFirst);
    EXPECT_EQ(menus.filter, nullptr) << "the filter applies only while Filter is set";
    settings.Set(Option::Filter, true);
    EXPECT_EQ(AddOptionsFromSettings(settings).filter, &settings.Filter);

    AddOptions commandLine = CommandLineAddOptions(settings);
    EXPECT_FALSE(commandLine.extendedGenres);
    EXPECT_FALSE(commandLine.includeMode);
    EXPECT_TRUE(commandLine.clearFirst);
    EXPECT_EQ(commandLine.filter, &settings.Filter);
}

// --- genres

TEST_F(AddFilesTest, GenreNumbersWithoutANameGiveAnEmptyGenre) {
    const std::string g255 = test::CopyCorpusFile("mpeg/l3_48k_32khz_genre255.mp3", dir);
    Id3v1Texts tag;
    tag.genre = 200;
    const std::string g200 = Mp3("g200.mp3", tag);
    tag.genre = 250;
    const std::string g250 = Mp3("g250.mp3", tag);
    Add({g255, g200, g250});
    ASSERT_EQ(session.rows.size(), 3);
    for (const TrackInfo& row : session.rows) EXPECT_EQ(row.Fields[kGenre], "") << row.FileName;
    EXPECT_FALSE(session.genres.ownGenres);

    AddOptions extended;
    extended.clearFirst = true;
    extended.extendedGenres = true;
    Add({g255, g200}, extended);
    EXPECT_EQ(session.rows[0].Fields[kGenre], "Anime");
    EXPECT_EQ(session.rows[1].Fields[kGenre], "");
    EXPECT_TRUE(session.genres.ownGenres) << "the switch stays as the last add left it";
}

// --- MacBinary

TEST_F(AddFilesTest, MacBinaryFileIsListedOnlyWhenItsWrapperMayGo) {
    const std::string path = test::CopyCorpusFile("macbinary/macbinary_wrapped_script.mp3", dir);
    prompter.Answer(PromptAnswer::No);
    EXPECT_EQ(Add({path}), 0);
    prompter.Answer(PromptAnswer::Yes);
    ASSERT_EQ(Add({path}), 1);
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.Kind, "1");
    EXPECT_EQ(row.InfoText, "MP3   8kbit 22.05KHz 002sec ");
    EXPECT_EQ(row.AudioSize, "2064");
    EXPECT_EQ(row.Fields[kTitle], Sjis("マック"));
    EXPECT_EQ(row.Fields[kGenre], "Other");
    EXPECT_EQ(prompter.shown().size(), 2u);
}

TEST_F(AddFilesTest, ALongListKeepsItsOrderItsQuestionsAndItsDuplicates) {
    // Long enough for the files to be opened ahead on other threads.
    WorkList work;
    std::vector<std::string> expected, macBinary;
    const std::vector<PromptAnswer> answers = {PromptAnswer::Yes, PromptAnswer::No, PromptAnswer::Yes,
                                               PromptAnswer::No};
    for (int i = 0; i < 300; ++i) {
        const std::string name = "f" + std::to_string(i) + ".mp3";
        if (i % 70 == 20) {
            const std::string wrapped = "m" + std::to_string(macBinary.size()) + ".mp3";
            macBinary.push_back(test::CopyCorpusFile("macbinary/macbinary_wrapped_script.mp3", dir, wrapped));
            prompter.Answer(answers[macBinary.size() - 1]);
            work.push_back(macBinary.back());
            if (answers[macBinary.size() - 1] == PromptAnswer::Yes) expected.push_back(wrapped);
        }
        if (i % 50 == 7) work.push_back(dir / ("f" + std::to_string(i - 1) + ".mp3"));  // listed already
        if (i % 90 == 11) work.push_back(dir / "missing.mp3");  // no file
        if (i == 120) work.push_back(test::CopyCorpusFile("tree/notes.txt", dir));
        Id3v1Texts tag;
        tag.title = name;
        work.push_back(Mp3(name, tag));
        expected.push_back(name);
    }
    ASSERT_EQ(Add(work), static_cast<int>(expected.size()));
    EXPECT_EQ(FileNames(session), expected);
    for (const TrackInfo& row : session.rows) {
        if (row.FileName.starts_with("f")) {
            EXPECT_EQ(row.Fields[kTitle], row.FileName);
        }
    }
    // One question per wrapped file, in list order.
    ASSERT_EQ(prompter.shown().size(), macBinary.size());
    for (size_t i = 0; i < macBinary.size(); ++i) EXPECT_TRUE(prompter.shown()[i].text.ends_with(macBinary[i]));
}

// --- bad input

TEST_F(AddFilesTest, PcmWaveIsNotListed) {
    EXPECT_EQ(Add({test::CopyCorpusFile("riff/wave_pcm_sox.wav", dir)}), 0);
    EXPECT_EQ(Add({test::CopyCorpusFile("riff/rmp3_pcm_data_notlisted.rmp", dir)}), 0);
}

TEST_F(AddFilesTest, ShortFilesAreSkippedOrListedWithoutATag) {
    const std::string frame = "\xFF\xFB\x90\x64";
    test::WriteFile(dir / "empty.mp3", "");
    test::WriteFile(dir / "one.mp3", "\xFF");
    test::WriteFile(dir / "two.mp3", "\xFF\xFB");
    test::WriteFile(dir / "three.mp3", "\xFF\xFB\x90");
    Id3v1Texts titleOnly;
    titleOnly.title = "Title";
    test::WriteFile(dir / "tagonly.mp3", test::Id3v1Block(titleOnly));
    test::WriteFile(dir / "short127.mp3", frame + std::string(123, 'T'));
    WorkList work = {dir / "empty.mp3", dir / "one.mp3", dir / "two.mp3", dir / "three.mp3", dir / "tagonly.mp3",
                     dir / "short127.mp3"};
    EXPECT_EQ(Add(work), 2);
    EXPECT_EQ(FileNames(session), (std::vector<std::string>{"three.mp3", "short127.mp3"}));
    EXPECT_EQ(session.rows[0].AudioSize, "-125");
    EXPECT_EQ(session.rows[0].Seconds, "0");
    EXPECT_EQ(session.rows[0].InfoText, "MP3 128kbit  44.1KHz 000sec ");
    EXPECT_EQ(session.rows[1].AudioSize, "-1");
    EXPECT_EQ(session.rows[1].Fields[kTitle], "") << "no room for a tag";
}

TEST_F(AddFilesTest, FreeFormatOrBadBitRateGivesAnEmptyPropertyText) {
    test::WriteFile(dir / "free.mp3", "\xFF\xFB\x00\x64" + std::string(300, '\0'));
    test::WriteFile(dir / "bad.mp3", "\xFF\xFB\xF0\x64" + std::string(300, '\0'));
    ASSERT_EQ(Add({dir / "free.mp3", dir / "bad.mp3"}), 2);
    for (const TrackInfo& row : session.rows) {
        EXPECT_EQ(row.InfoText, "") << row.FileName;
        EXPECT_EQ(row.Seconds, "0") << row.FileName;
    }
}

TEST_F(AddFilesTest, FoldersFullOfTroubleStillGiveTheirGoodRows) {
    Mp3("music/good.mp3");
    Mp3("music/曲.mp3");
    Mp3("music/한글.mp3");
    test::WriteFile(dir / "music/empty.mp3", "");
    test::WriteFile(dir / "music/garbage.mp3", std::string(4096, '\xAB'));
    stdfs::create_directory_symlink("..", dir / "music/loop");
    stdfs::create_symlink(dir / "music/gone.mp3", dir / "music/dangling.mp3");
    ASSERT_EQ(::mkfifo((dir / "music/pipe.mp3").c_str(), 0644), 0);
    stdfs::create_directory(dir / "music/closed");
    Mp3("music/closed/hidden.mp3");
    stdfs::permissions(dir / "music/closed", stdfs::perms::none);
    Mp3("music/locked.mp3");
    stdfs::permissions(dir / "music/locked.mp3", stdfs::perms::none);
    test::PermissionChecksEnforced checks;
    ASSERT_TRUE(checks.enforced()) << "root could not give up reading every file";

    AddFolder(dir / "music");
    std::vector<std::string> names = FileNames(session);
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"good.mp3", Sjis("曲.mp3")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
}

TEST_F(AddFilesTest, ThirdPartyHostileFilesNeverStopTheAdd) {
    // Files made to break readers: each one is listed or skipped, and the add goes on.
    WorkList work;
    for (const auto& entry : stdfs::recursive_directory_iterator(test::CorpusPath("thirdparty"))) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && entry.path().extension() != ".txt" && entry.path().extension() != ".tsv" &&
            entry.path().extension() != ".json")
            work.push_back(test::CopyCorpusFile(stdfs::relative(entry.path(), test::CorpusPath("")).string(), dir,
                                                entry.path().parent_path().filename().string() + "_" + name));
    }
    work.push_back(Mp3("last.mp3"));
    ASSERT_GT(work.size(), 20u);
    Add(work);
    ASSERT_FALSE(session.rows.empty());
    EXPECT_EQ(session.rows[session.rows.size() - 1].FileName, "last.mp3");
}
