// wvr-cli list: the output contract, questions, messages, exit statuses, and the settings
// the program's command line takes from the store.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "app/commands/SettingsIo.h"
#include "support/IsolatedConfig.h"
#include "support/MadeFiles.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Id3v1Texts;
using test::Sjis;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
    std::vector<std::vector<std::string>> rows;  // out, by line and tab
};

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        texts.push_back(line.substr(start, tab - start));
    texts.push_back(line.substr(start));
    return texts;
}

// Printed columns: FileName, Fields[0..16], AudioSize, Path, Kind, InfoText, Seconds.
constexpr size_t kColumns = 23;
constexpr size_t kAudioSize = 18, kPath = 19, kKind = 20, kInfoText = 21, kSeconds = 22;
size_t FieldColumn(int field) { return 1 + static_cast<size_t>(field); }

class CliListTest : public ::testing::Test {
protected:
    // Runs wvr-cli with the settings store of this test (the environment is inherited).
    CliRun Cli(const std::vector<std::string>& args, const std::string& folder = {}) {
        const std::string outPath = dir / "stdout", errPath = dir / "stderr";
        const pid_t child = ::fork();
        if (child == 0) {
            if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
            ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
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
        run.out = test::ReadFile(outPath);
        run.err = test::ReadFile(errPath);
        std::stringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) run.rows.push_back(SplitTabs(line));
        return run;
    }
    std::string Mp3(const std::string& name, const Id3v1Texts& tag = {}) {
        return test::WriteTaggedMp3(files / name, tag);
    }

    test::IsolatedConfig config;
    test::TempDir dir, files;
};

}  // namespace

TEST_F(CliListTest, EveryRowIsOneLineOfTwentyThreeTabSeparatedTexts) {
    const std::string rmp = test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", files);
    const CliRun run = Cli({"list", rmp});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.rows.size(), 1u);
    const std::vector<std::string> expected = {
        "rmp3_full_info_script.rmp", "タイトル", "アーティスト名", "アルバム名", "コメント", "2002", "JPop",
        "著作権者", "エンジニア", "ソース", "ソフトウェア", "キーワード", "技術者", "歌詞の一行目", "コミッション",
        "メディア", "主題", "orig.mp3", "33050", rmp, "3", "RMP 128kbit  44.1KHz 002sec ", "2"};
    EXPECT_EQ(run.rows[0], expected);
    EXPECT_EQ(run.out.back(), '\n');
}

TEST_F(CliListTest, BackslashTabCrLfAndUndecodableBytesAreEscaped) {
    Id3v1Texts tag;
    tag.title = "a\\b " + Sjis("ソ") + " x\ty\r\nz\x82";  // "ソ" ends in the byte of "\"
    tag.artist = Sjis("山田");
    const std::string path = Mp3("back\\slash 曲.mp3", tag);
    const CliRun run = Cli({"list", path});
    ASSERT_EQ(run.rows.size(), 1u);
    const std::vector<std::string>& row = run.rows[0];
    ASSERT_EQ(row.size(), kColumns);
    EXPECT_EQ(row[0], "back\\\\slash 曲.mp3");
    EXPECT_EQ(row[FieldColumn(kTitle)], "a\\\\b ソ x\\ty\\r\\nz\\x82");
    EXPECT_EQ(row[FieldColumn(kArtist)], "山田");
    EXPECT_EQ(row[kPath], files / "back\\\\slash 曲.mp3");
    EXPECT_EQ(row[kAudioSize], std::to_string(std::filesystem::file_size(path) - 128));
    EXPECT_EQ(row[kKind], "1");
    EXPECT_EQ(row[kInfoText], "MP3  16kbit    16KHz 002sec ");
    EXPECT_EQ(row[kSeconds], "2");
}

TEST_F(CliListTest, RowsFollowTheArgumentsAndAreListedOnce) {
    const std::string a = Mp3("a.mp3"), b = Mp3("b.mp3");
    test::WriteFile(files / "notes.txt", "text");
    const CliRun run = Cli({"list", b, files.path(), a, files / "missing.mp3", files / "*.wav"});
    // What names nothing is said, and the status says that not everything was found.
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wvr: 見つからないパスです: " + files / "missing.mp3" + "\nwvr: 見つからないパスです: " +
                           files / "*.wav" + "\n");
    ASSERT_EQ(run.rows.size(), 2u);
    EXPECT_EQ(run.rows[0][kPath], b);
    EXPECT_EQ(run.rows[1][kPath], a);
}

TEST_F(CliListTest, PlaylistArgumentsNeedTheExactExtension) {
    const std::string a = Mp3("a.mp3");
    test::WriteFile(files / "list.m3u", "#EXTM3U\r\na.mp3\r\n");
    test::WriteFile(files / "LIST.M3U", "#EXTM3U\r\na.mp3\r\n");
    EXPECT_EQ(Cli({"list", files / "list.m3u"}).rows.size(), 1u);
    EXPECT_EQ(Cli({"list", files / "LIST.M3U"}).rows.size(), 0u);
}

TEST_F(CliListTest, MacBinaryQuestionIsAnsweredNoUnlessYes) {
    const std::string path = test::CopyCorpusFile("macbinary/macbinary_wrapped_script.mp3", files);
    const std::string wrapped = test::ReadFile(path);
    const std::string question = "wvr: このファイルはマックバイナリがついています。\n読み込む為に除去してもよろしいですか？\n\n" +
                                 path + "\n";

    CliRun no = Cli({"list", path});
    EXPECT_EQ(no.status, 0);
    EXPECT_TRUE(no.rows.empty());
    EXPECT_EQ(no.err, question);
    EXPECT_EQ(test::ReadFile(path), wrapped);

    CliRun yes = Cli({"list", "--yes", path});
    EXPECT_EQ(yes.err, question);
    ASSERT_EQ(yes.rows.size(), 1u);
    EXPECT_EQ(yes.rows[0][kKind], "1");
    EXPECT_EQ(yes.rows[0][kInfoText], "MP3   8kbit 22.05KHz 002sec ");
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(wrapped[i])); };
    const uint32_t dataFork = byte(83) << 24 | byte(84) << 16 | byte(85) << 8 | byte(86);
    EXPECT_EQ(test::ReadFile(path), wrapped.substr(128, dataFork)) << "header and padding removed";
}

TEST_F(CliListTest, FailedUnwrapIsReportedOnStandardError) {
    std::string wrapped = test::ReadFile(test::CorpusPath("macbinary/macbinary_wrapped_script.mp3"));
    wrapped.replace(83, 4, std::string("\x7F\x00\x00\x00", 4));  // a data fork longer than the file
    test::WriteFile(files / "broken.mp3", wrapped);
    const CliRun run = Cli({"list", "--yes", files / "broken.mp3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.rows.empty());
    EXPECT_NE(run.err.find("\nwvr: マックバイナリの除去に失敗しました。\n"), std::string::npos) << run.err;
}

TEST_F(CliListTest, NamesCp932CannotHoldAreNamedOnStandardError) {
    Mp3("한글.mp3");
    Mp3("ok.mp3");
    const CliRun run = Cli({"list", files.path()});
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][0], "ok.mp3");
    EXPECT_EQ(run.err, "wvr: CP932で表せない名前のため読み込みません: " + files / "한글.mp3" + "\n");
}

TEST_F(CliListTest, BadArgumentsExitWithTwoAndPrintNoRows) {
    const std::string a = Mp3("a.mp3");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"list"}, {"list", "--yes"}, {"list", "--bogus", a}, {"lsit", a}}) {
        const CliRun run = Cli(args);
        std::string shown;
        for (const std::string& arg : args) shown += arg + " ";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("list [--yes] PATH..."), std::string::npos) << shown;
    }
}

TEST_F(CliListTest, DoubleDashEndsTheOptions) {
    Mp3("--yes");
    const CliRun run = Cli({"list", "--", "--yes"}, files.path());
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][0], "--yes");
    EXPECT_EQ(run.rows[0][kPath], files / "--yes");
}

// --- settings

namespace {

class CliSettingsTest : public CliListTest {
protected:
    void SetUp() override {
        for (const char* artist : {"Sample", "Other"}) {
            Id3v1Texts tag;
            tag.artist = artist;
            tag.genre = 255;
            Mp3(std::string(artist) + ".mp3", tag);
        }
        Mp3("x.mp3");
    }
    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        for (const auto& row : Cli({"list", files.path()}).rows) names.push_back(row[0]);
        std::sort(names.begin(), names.end());
        return names;
    }
    void Save(const Settings& settings) {
        test::ScriptedPrompter prompter;
        SaveSettings(settings, prompter);
        ASSERT_TRUE(prompter.shown().empty());
    }
};

}  // namespace

TEST_F(CliSettingsTest, FilterAppliesOnlyWhenSetAndAlwaysInExclusionMode) {
    Settings settings;
    settings.FilterSel = true;  // include mode, which the command line never uses
    settings.Filter = {{false, 2, "Sample"}, {true, 0, "x.mp3"}};
    Save(settings);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"Other.mp3", "Sample.mp3", "x.mp3"})) << "Filter is clear";

    settings.Set(Option::Filter, true);
    Save(settings);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"Other.mp3", "Sample.mp3"}));
}

TEST_F(CliSettingsTest, ExtendedGenresAreNeverUsedOnTheCommandLine) {
    Settings settings;
    settings.Set(Option::OptGenreOn, true);
    Save(settings);
    const CliRun run = Cli({"list", files / "Sample.mp3"});
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][FieldColumn(kGenre)], "");
}
