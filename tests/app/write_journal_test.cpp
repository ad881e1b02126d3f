// The write journal: runs of every writer taken back byte for byte with their names and times,
// in later processes; a file changed since is left and named; a run or an undo killed at each
// step is brought back by the recovery; the journal's size limit and a full disk stop a run
// before its first change unless it is told to go on without undo.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sys/stat.h>

#include "app/commands/JournalUndo.h"
#include "app/commands/WriteJournal.h"
#include "app/commands/WriteTags.h"
#include "platform/base/FileOps.h"
#include "support/FaultInjection.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

namespace stdfs = std::filesystem;

// Names, bytes and last-write times of a folder's files.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> state;
    for (const auto& [name, bytes] : test::ReadFolder(folder)) {
        struct stat st;
        ::stat((folder + "/" + name).c_str(), &st);
        state[name] = std::to_string(bytes.size()) + " bytes, digest " + std::to_string(std::hash<std::string>{}(bytes)) +
                      ", time " + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    }
    return state;
}

class WriteJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        journal::SetGoOnWithoutUndo(false);
    }

    // Copies of test files with an old last-write time.
    void Place(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [corpus, name] : files) {
            const std::string path = test::CopyCorpusFile(corpus, dir, name);
            fs::SetLastWriteTime(path, {{1000000000, 0}});
        }
    }

    test::CliResult Cli(std::vector<std::string> args) { return test::RunCli(args, state / "err.txt"); }

    // The newest run's id as `undo --list` gives it.
    std::string NewestRun() {
        const auto list = Cli({"undo", "--list"});
        return list.rows.empty() ? std::string() : list.rows[0][0];
    }

    test::TempDir dir, state;
};

// One file of every writer: ID3v1 (appended and overwritten), RIFF INFO with its IID3 chunk,
// INFO after the data, SoundVQ, and ID3v2 (rebuilt and in place).
const std::vector<std::pair<std::string, std::string>> kEveryWriter = {
    {"mpeg/cbr128_44k_notag.mp3", "append.mp3"},
    {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "overwrite.mp3"},
    {"riff/rmp3_info_iid3_script.rmp", "iid3.rmp"},
    {"riff/wave_mp3_info_after_data_script.wav", "after.wav"},
    {"vqf/vqf_full_script.vqf", "full.vqf"},
    {"id3v2/v23_utf16_japanese_mutagen.mp3", "v23.mp3"},
    {"id3v2/v23_title_only_plus_v1.mp3", "v23v1.mp3"},
};

TEST_F(WriteJournalTest, EveryWritersRunIsTakenBackByteForByteInLaterProcesses) {
    Place(kEveryWriter);
    const auto before = Snapshot(dir.path());
    // A fill, a rename of its files and a CSV load, each written, then each taken back.
    ASSERT_EQ(Cli({"--id3v2", "fill", "--field", "0", "--text", "Journal %n", "--write", dir.path()}).status, 0);
    const auto filled = Snapshot(dir.path());
    ASSERT_NE(filled, before);
    ASSERT_EQ(Cli({"--id3v2", "rename", "--pattern", "r-%f%e", "--write", dir.path()}).status, 0);
    const auto renamed = Snapshot(dir.path());
    const std::string csv = state / "rows.csv";
    ASSERT_EQ(Cli({"--id3v2", "csv-save", csv, dir.path()}).status, 0);
    std::string text = test::ReadFile(csv);
    for (size_t at; (at = text.find("Journal")) != std::string::npos;) text.replace(at, 7, "Loaded!");
    test::WriteFile(csv, text);
    ASSERT_EQ(Cli({"--id3v2", "csv-load", "--write", csv}).status, 0);
    ASSERT_NE(Snapshot(dir.path()), renamed);

    for (const auto* expected : {&renamed, &filled, &before}) {
        const auto undo = Cli({"undo"});
        EXPECT_EQ(undo.status, 0) << undo.err;
        EXPECT_EQ(Snapshot(dir.path()), *expected);
    }
    const auto list = Cli({"undo", "--list"});
    ASSERT_EQ(list.rows.size(), 6u);
    EXPECT_EQ(list.rows[3][4], "undone");
    EXPECT_EQ(list.rows[0][2], "undo");
}

TEST_F(WriteJournalTest, ShowGivesEachChangedFieldAndName) {
    Place({{"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "a.mp3"}});
    ASSERT_EQ(Cli({"fill", "--field", "0", "--text", "New", "--write", dir.path()}).status, 0);
    const std::string fill = NewestRun();
    ASSERT_EQ(Cli({"rename", "--pattern", "b%e", "--write", dir.path()}).status, 0);
    const auto shown = Cli({"undo", "--show", fill});
    ASSERT_EQ(shown.rows.size(), 1u) << shown.err;
    EXPECT_EQ(shown.rows[0], (std::vector<std::string>{dir / "a.mp3", "曲名", "春の小川", "New"}));
    const auto moved = Cli({"undo", "--show", NewestRun()});
    ASSERT_EQ(moved.rows.size(), 1u);
    EXPECT_EQ(moved.rows[0], (std::vector<std::string>{dir / "a.mp3", "名前", "a.mp3", "b.mp3"}));
}

TEST_F(WriteJournalTest, AFileChangedSinceTheRunIsLeftAndNamed) {
    Place({{"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "kept.mp3"}, {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "changed.mp3"}});
    const std::string keptBefore = test::ReadFile(dir / "kept.mp3");
    ASSERT_EQ(Cli({"fill", "--field", "0", "--text", "First", "--write", dir.path()}).status, 0);
    const std::string first = NewestRun();
    ASSERT_EQ(Cli({"fill", "--field", "0", "--text", "Later", "--write", dir / "changed.mp3"}).status, 0);
    const std::string changed = test::ReadFile(dir / "changed.mp3");

    const auto undo = Cli({"undo", first});
    EXPECT_EQ(undo.status, 1);
    EXPECT_NE(undo.err.find(dir / "changed.mp3"), std::string::npos) << undo.err;
    EXPECT_EQ(test::ReadFile(dir / "changed.mp3"), changed);
    EXPECT_EQ(test::ReadFile(dir / "kept.mp3"), keptBefore);
}

// A conversion that deletes its source keeps the source by a second name; the undo puts it back
// beside the converted file.
TEST_F(WriteJournalTest, AConvertedSourceIsBroughtBack) {
    Place({{"mpeg/cbr128_44k_notag.mp3", "a.mp3"}});
    const std::string before = test::ReadFile(dir / "a.mp3");
    ASSERT_EQ(Cli({"convert", "--to", "wav", "--delete-source", dir.path()}).status, 0);
    ASSERT_FALSE(stdfs::exists(dir / "a.mp3"));
    EXPECT_EQ(Cli({"undo"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir / "a.mp3"), before);
    EXPECT_TRUE(stdfs::exists(dir / "a.wav"));
}

// The run of the write command over the folder's rows, in this process.
bool WriteRows(const std::string& folder, const std::string& title) {
    Session session;
    for (const auto& entry : stdfs::directory_iterator(folder)) {
        TrackInfo row;
        row.Path = entry.path().string();
        row.FileName = entry.path().filename().string();
        row.Kind = std::to_string(static_cast<int>(entry.path().extension() == ".vqf"   ? FileKind::SoundVq
                                                   : entry.path().extension() == ".mp3" ? FileKind::Mpeg
                                                                                        : FileKind::RiffRmp3));
        row.Fields[kTitle] = title;
        row.Checked = true;
        session.rows.Append(row);
    }
    session.settings.Set(Option::WitInfOff, true);
    SilentPrompter prompter;
    return WriteCommand(session, prompter, nullptr, Questions::Skip);
}

const std::vector<std::pair<std::string, std::string>> kThreeKinds = {
    {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "a.mp3"},
    {"riff/rmp3_info_iid3_script.rmp", "b.rmp"},
    {"vqf/vqf_full_script.vqf", "c.vqf"},
};

TEST_F(WriteJournalTest, ARunKilledAtEachStepIsBroughtBackByTheRecovery) {
    Place(kThreeKinds);
    const auto before = Snapshot(dir.path());
    const int steps = test::KillAtEachOperation(
        [&] {
            for (const auto& [name, _] : before) stdfs::remove(dir / name);
            Place(kThreeKinds);
        },
        [&] { return WriteRows(dir.path(), "Killed"); },
        [&](int n) {
            for (const journal::Entry& run : journal::InterruptedRuns())
                EXPECT_TRUE(journal::UndoRun(run, journal::UndoMode::Recovery).left.empty()) << "step " << n;
            EXPECT_EQ(Snapshot(dir.path()), before) << "killed at step " << n;
            EXPECT_TRUE(journal::InterruptedRuns().empty());
        });
    EXPECT_GT(steps, 10);
}

TEST_F(WriteJournalTest, AnUndoKilledAtEachStepIsBroughtBackThenDone) {
    Place(kThreeKinds);
    const auto before = Snapshot(dir.path());
    ASSERT_TRUE(WriteRows(dir.path(), "Written"));
    const auto written = Snapshot(dir.path());
    const auto run = journal::ReadRuns().at(0);
    const int steps = test::KillAtEachOperation(
        [] {}, [&] { return journal::UndoRun(run, journal::UndoMode::Checked).left.empty(); },
        [&](int n) {
            // A killed undo is taken back itself; every file is whole, as written or as before.
            for (const journal::Entry& undo : journal::InterruptedRuns())
                EXPECT_TRUE(journal::UndoRun(undo, journal::UndoMode::Recovery).left.empty()) << "step " << n;
            for (const auto& [name, now] : Snapshot(dir.path()))
                EXPECT_TRUE(now == written.at(name) || now == before.at(name)) << name << " killed at step " << n;
        });
    EXPECT_GT(steps, 10);
    // Taken back again, the undo finishes what the killed ones left.
    if (journal::ReadRun(run.id)->undoneBy.empty()) journal::UndoRun(run, journal::UndoMode::Checked);
    EXPECT_EQ(Snapshot(dir.path()), before);
}

TEST_F(WriteJournalTest, ARunBeyondTheSizeLimitStopsUnlessToldToGoOn) {
    ASSERT_TRUE(journal::StoreLimits({30, 1}));
    const std::string path = dir / "big.bin";
    const std::string old(1536 * 1024, 'o'), now(old.size(), 'n');
    for (const bool goOn : {false, true}) {
        test::WriteFile(path, old);
        journal::SetGoOnWithoutUndo(goOn);
        {
            journal::JournalRun run("test");
            fs::File file;
            ASSERT_TRUE(file.Open(path, fs::File::Mode::ReadWrite));
            EXPECT_EQ(file.WriteAt(0, now.data(), now.size()), goOn);
        }
        EXPECT_EQ(test::ReadFile(path), goOn ? now : old);
    }
    const auto runs = journal::ReadRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(runs[0].Undoable());

    // Runs within the limit each; the oldest go whole once together they outgrow it.
    journal::SetGoOnWithoutUndo(false);
    for (const char* text : {"first", "second", "third"}) {
        journal::JournalRun run(text);
        fs::File file;
        ASSERT_TRUE(file.Open(path, fs::File::Mode::ReadWrite));
        const std::string bytes(600 * 1024, text[0]);
        EXPECT_TRUE(file.WriteAt(0, bytes.data(), bytes.size()));
    }
    std::vector<std::string> kept;
    for (const journal::Entry& run : journal::ReadRuns()) kept.push_back(run.command);
    EXPECT_EQ(kept, (std::vector<std::string>{"third", "second"}));
    ASSERT_TRUE(journal::StoreLimits({30, 200}));
}

TEST_F(WriteJournalTest, AJournalOnAFullDiskStopsTheRunUnlessToldToGoOn) {
    test::SmallFileSystem small(256 * 1024);
    if (!small.mounted()) GTEST_SKIP() << small.reason();
    ::setenv("XDG_STATE_HOME", small.path().c_str(), 1);
    test::FillUp(small / "filler");
    Place({{"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "a.mp3"}});
    const std::string before = test::ReadFile(dir / "a.mp3");
    const auto refused = Cli({"fill", "--field", "0", "--text", "Full", "--write", dir.path()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--no-undo"), std::string::npos) << refused.err;
    EXPECT_EQ(test::ReadFile(dir / "a.mp3"), before);
    EXPECT_EQ(Cli({"--no-undo", "fill", "--field", "0", "--text", "Full", "--write", dir.path()}).status, 0);
    EXPECT_NE(test::ReadFile(dir / "a.mp3"), before);
}

}  // namespace
