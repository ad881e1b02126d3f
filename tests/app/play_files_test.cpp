// Play one and play many: the playlist bytes, which rows are played, how the player is
// started, and what the user is told when it cannot be.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "app/commands/PlayFiles.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

struct Start {
    bool byDesktop = false;
    std::string target;  // program, or the file the desktop opens
    std::vector<std::string> arguments;
    std::string folder;
    bool minimized = false;
};

class RecordingStarter : public ProcessStarter {
public:
    LaunchOutcome OpenWithDefault(const std::string& file, bool minimized) override {
        starts.push_back({true, file, {}, {}, minimized});
        return outcome;
    }
    LaunchOutcome StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& folder, bool minimized) override {
        starts.push_back({false, program, arguments, folder, minimized});
        return outcome;
    }
    std::vector<Start> starts;
    LaunchOutcome outcome{true, 42, {}};
};

class PlayFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.mp3", "b b.mp3", "c.mp3", "d.mp3", "e.mp3"}) {
            TrackInfo row;
            row.Path = dir / name;
            session.rows.Append(row);
        }
    }
    void Check(std::initializer_list<int> rows) {
        for (int i : rows) session.rows.Mutable(i).Checked = true;
    }
    std::string Playlist() const { return dir / "wvr.m3u"; }

    test::TempDir dir;
    Session session;
    RecordingStarter starter;
    test::ScriptedPrompter prompter;
};

TEST_F(PlayFilesTest, PlaylistHoldsTheCheckedRowsOrEveryRow) {
    // A player on this system finds "テ.mp3" only by its UTF-8 name.
    EXPECT_EQ(PlaylistBytes({"x.mp3", "\x83\x65.mp3"}), "x.mp3\r\n\xE3\x83\x86.mp3\r\n");
    EXPECT_EQ(PlaylistBytes({}), "");
    EXPECT_EQ(PathsToPlay(session).size(), 5u);  // none checked: every row
    Check({3, 1});
    EXPECT_EQ(PathsToPlay(session), (std::vector<std::string>{dir / "b b.mp3", dir / "d.mp3"}));
    session.settings.Set(Option::PlyChkOff, true);
    EXPECT_EQ(PathsToPlay(session).size(), 5u);
}

TEST_F(PlayFilesTest, PlayManyWritesThePlaylistAndOpensItWithTheDesktop) {
    Check({1, 4});
    session.settings.Set(Option::PlayerSel, false);
    session.settings.Set(Option::PlyRunMin, true);
    test::WriteFile(Playlist(), "an older, longer playlist\r\n\r\n");
    EXPECT_EQ(PlayMany(session, Playlist(), starter, prompter), PlayResult::Launched);
    EXPECT_EQ(test::ReadFile(Playlist()), dir / "b b.mp3" + "\r\n" + dir / "e.mp3" + "\r\n");
    ASSERT_EQ(starter.starts.size(), 1u);
    EXPECT_TRUE(starter.starts[0].byDesktop);
    EXPECT_EQ(starter.starts[0].target, Playlist());
    EXPECT_TRUE(starter.starts[0].minimized);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(PlayFilesTest, ThePlayerProgramGetsThePathAsOneArgumentInItsOwnFolder) {
    session.settings.Set(Option::PlayerSel, true);
    session.settings.Set(Option::PlyRunMin, false);
    session.settings.PlyPlayer = "/opt/players/my player";
    EXPECT_EQ(PlayOne(session, 1, starter, prompter), PlayResult::Launched);
    ASSERT_EQ(starter.starts.size(), 1u);
    const Start& s = starter.starts[0];
    EXPECT_FALSE(s.byDesktop);
    EXPECT_EQ(s.target, "/opt/players/my player");
    EXPECT_EQ(s.arguments, std::vector<std::string>{dir / "b b.mp3"});
    EXPECT_EQ(s.folder, "/opt/players/");
    EXPECT_FALSE(s.minimized);

    session.settings.Set(Option::PlayerSel, false);
    EXPECT_EQ(PlayOne(session, 1, starter, prompter), PlayResult::Launched);
    EXPECT_TRUE(starter.starts[1].byDesktop);
    EXPECT_EQ(starter.starts[1].target, dir / "b b.mp3");
}

TEST_F(PlayFilesTest, ThePlayManyListIsTheUsersAlone) {
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    EXPECT_EQ(PlaylistPath(), dir / "wvr.m3u");
    ASSERT_EQ(PlayMany(session, PlaylistPath(), starter, prompter), PlayResult::Launched);
    struct stat st;
    ASSERT_EQ(::stat(PlaylistPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PlayFilesTest, NothingToPlayDoesNothing) {
    EXPECT_EQ(PlayOne(session, -1, starter, prompter), PlayResult::NothingToDo);
    session.rows.Clear();
    EXPECT_EQ(PlayMany(session, Playlist(), starter, prompter), PlayResult::NothingToDo);
    EXPECT_TRUE(starter.starts.empty());
    EXPECT_NE(::access(Playlist().c_str(), F_OK), 0);
}

TEST_F(PlayFilesTest, APlayerThatCannotStartIsNamedWithTheReason) {
    session.settings.Set(Option::PlayerSel, true);
    session.settings.PlyPlayer = "/opt/players/gone";
    starter.outcome = {false, 0, "execv: No such file or directory"};
    EXPECT_EQ(PlayOne(session, 0, starter, prompter), PlayResult::Failed);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].icon, PromptIcon::Stop);
    EXPECT_NE(prompter.shown()[0].text.find("/opt/players/gone"), std::string::npos);
    EXPECT_NE(prompter.shown()[0].text.find("No such file or directory"), std::string::npos);

    // No player named at all is said as such, and nothing is started.
    session.settings.PlyPlayer.clear();
    starter.starts.clear();
    EXPECT_EQ(PlayOne(session, 0, starter, prompter), PlayResult::Failed);
    EXPECT_TRUE(starter.starts.empty());
}

TEST_F(PlayFilesTest, APlaylistThatCannotBeWrittenStartsNoPlayer) {
    const std::string unwritable = dir / "no-such-folder/wvr.m3u";
    EXPECT_EQ(PlayMany(session, unwritable, starter, prompter), PlayResult::Failed);
    EXPECT_TRUE(starter.starts.empty());
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "ファイルを作成できませんでした。\n" + unwritable + "\n" + std::strerror(ENOENT));
}

TEST_F(PlayFilesTest, ALinkPlantedUnderThePlaylistNameIsReplacedNotFollowed) {
    const std::string victim = dir / "victim.txt";
    test::WriteFile(victim, "keep me");
    ASSERT_EQ(::symlink(victim.c_str(), Playlist().c_str()), 0);
    EXPECT_EQ(PlayMany(session, Playlist(), starter, prompter), PlayResult::Launched);
    EXPECT_EQ(test::ReadFile(victim), "keep me");
    EXPECT_EQ(test::ReadFile(Playlist()).substr(0, dir.path().size()), dir.path());
}

}  // namespace
