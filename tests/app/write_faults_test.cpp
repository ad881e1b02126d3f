// Every writer under faults, grouped by writer: each step of its write path made to fail in
// turn, the writing process killed at each step and at random moments, and a full file
// system. After each, the folder holds the music file exactly as before or exactly as after
// and nothing else, and the row says which.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "app/commands/AddFiles.h"
#include "app/commands/Convert.h"
#include "app/commands/Csv.h"
#include "app/commands/TemplateOutput.h"
#include "app/commands/DetectKind.h"
#include "app/commands/Rename.h"
#include "app/commands/Select.h"
#include "app/commands/WriteTags.h"
#include "formats/PathText.h"
#include "formats/RiffChunks.h"
#include "platform/base/FileOps.h"
#include "platform/base/IniFile.h"
#include "support/FaultInjection.h"
#include "support/MadeFiles.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Describe;
using test::FolderState;
using test::SameFolder;

namespace {

namespace stdfs = std::filesystem;

const std::string kRemovalFailed = "マックバイナリの除去に失敗しました。";

// What is written: a file of the test data under a name, the row's kind, and the name the
// row asks for (a pending rename) when it differs.
struct Subject {
    std::string corpus;
    FileKind kind;
    std::string name;
    std::string newName = {};
    bool addId3Chunk = false;
    bool hardLinked = false;  // a second name, "<name>.link", for the same file
    TagReader reader = TagReader::Kind;
};

class WriteFaults : public ::testing::Test {
protected:
    // Empties the folder, puts the subject's file in it with an old time and makes the one
    // checked row for it, with texts that differ from the file's.
    void Place(const Subject& s) {
        for (const auto& entry : stdfs::directory_iterator(dir.path())) stdfs::remove_all(entry.path());
        const std::string path = test::CopyCorpusFile(s.corpus, dir, s.name);
        ASSERT_TRUE(fs::SetLastWriteTime(path, {{1000000000, 0}}));
        if (s.hardLinked) stdfs::create_hard_link(path, path + ".link");
        session.rows.Clear();
        TrackInfo row;
        row.Path = path;
        row.FileName = s.newName.empty() ? s.name : s.newName;
        row.Kind = std::to_string(static_cast<int>(s.kind));
        row.Reading.reader = s.reader;
        row.Fields[kTitle] = test::Sjis("新しい題名");
        row.Fields[kArtist] = "New Artist";
        row.Fields[kComment] = "written under faults";
        row.Fields[kGenre] = "Jazz";
        row.Fields[kCopyright] = "Owner";
        row.Checked = true;
        session.rows.Append(row);
        session.settings.Set(Option::WitID3Add, s.addId3Chunk);
    }

    // The write command over the one row; true when the row counts as written.
    bool Write() {
        WriteCommand(session, prompter, nullptr, Questions::Skip);
        return !session.rows[0].Checked;
    }

    // Learns the folder before and after an undisturbed write, and leaves the folder as before.
    void Learn(const Subject& s) {
        subject = s;
        Place(s);
        before = test::ReadFolder(dir.path());
        ASSERT_TRUE(Write()) << s.corpus << " is not written even without faults";
        after = test::ReadFolder(dir.path());
        // Tags in the file, the rename not done: what a failed move after the write leaves.
        taggedInPlace = {{s.name, after.begin()->second}};
        ASSERT_FALSE(before == after) << s.corpus << " is the same after a write";
        Place(s);
    }

    // The folder is as before, as after, or (a failed move) tagged under the old name.
    void ExpectBeforeOrAfter(const std::string& when) {
        const FolderState now = test::ReadFolder(dir.path());
        const bool renaming = !subject.newName.empty();
        EXPECT_TRUE(now == before || now == after || (renaming && now == taggedInPlace))
            << when << ": the folder holds " << Describe(now) << "\nbefore: " << Describe(before)
            << "\nafter: " << Describe(after);
    }

    // The row after a run: written rows show the file as it is after, others as it is.
    void ExpectTruthfulRow(bool written, const std::string& when) {
        const TrackInfo& row = session.rows[0];
        const FolderState now = test::ReadFolder(dir.path());
        if (written) {
            EXPECT_TRUE(SameFolder(now, after)) << when << ": counted as written";
        } else {
            EXPECT_TRUE(row.Checked) << when;
        }
        EXPECT_EQ(now.count(path::FileName(row.Path)), 1u) << when << ": the row names the file where it is";
    }

    // After a kill. Killed between naming its complete rebuild and renaming that over the
    // file, a writer leaves the name beside the untouched file: the next write takes it away.
    void ExpectBeforeOrAfterKill(int n) {
        const std::string when = subject.corpus + ", killed at operation " + std::to_string(n);
        FolderState now = test::ReadFolder(dir.path());
        for (auto it = now.begin(); it != now.end(); ++it) {
            // Killed while writing the rebuild back into a file with several names: the file
            // may be neither, the complete rebuild is there to finish from.
            const bool writeBack = it->first.rfind(".wvr-restore-", 0) == 0;
            if (it->first.rfind(".wvr-new-", 0) != 0 && !writeBack) continue;
            bool complete = false;
            for (const auto& [name, bytes] : after) complete = complete || bytes == it->second;
            EXPECT_TRUE(complete) << when << ": the leftover is the complete new file";
            now.erase(it);
            if (!writeBack) {
                EXPECT_TRUE(SameFolder(now, before)) << when;
            }
            EXPECT_TRUE(redo ? redo() : Write()) << when;
            EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), after)) << when << ", then written";
            return;
        }
        ExpectBeforeOrAfter(when);
    }

    // Each step failing in turn, then each step killing the writer.
    void FailAndKillEachStep(const Subject& s) {
        ASSERT_NO_FATAL_FAILURE(Learn(s));
        const int operations = test::FailEachOperation([&] { return Write(); }, [&](int n, bool written) {
            const std::string when = s.corpus + ", operation " + std::to_string(n) + " failing";
            ExpectBeforeOrAfter(when);
            ExpectTruthfulRow(written, when);
            Place(s);
        });
        EXPECT_GE(operations, 5) << s.corpus;
        const int killed = test::KillAtEachOperation([&] { Place(s); }, [&] { return Write(); },
                                                     [&](int n) { ExpectBeforeOrAfterKill(n); });
        EXPECT_EQ(killed, operations) << s.corpus;
    }

    test::TempDir dir;
    Session session;
    test::ScriptedPrompter prompter;
    Subject subject;
    FolderState before, after, taggedInPlace;
    std::function<bool()> redo;  // the write again, when it is not the write command
};

// --- ID3v1 write

TEST_F(WriteFaults, Id3v1AppendAndOverwrite) {
    FailAndKillEachStep({"mpeg/cbr128_44k_notag.mp3", FileKind::Mpeg, "append.mp3"});
    FailAndKillEachStep({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "overwrite.mp3"});
}

TEST_F(WriteFaults, Id3v1FailedWriteIsReportedOnce) {
    Learn({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "overwrite.mp3"});
    fs::SetFaultHook([](const char* op, uint64_t) { return std::string(op) == "write"; });
    const bool written = Write();
    fs::SetFaultHook(nullptr);
    EXPECT_FALSE(written);
    // A half-written block is put back as it was.
    EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), before));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"ID3Tagの書き込みに失敗しました。"});
}

// --- RIFF INFO write

TEST_F(WriteFaults, RiffInfo) {
    FailAndKillEachStep({"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "full.rmp"});
    FailAndKillEachStep({"riff/wave_mp3_ffmpeg_info.wav", FileKind::RiffWave, "wave.wav", "", true});
    FailAndKillEachStep({"riff/rmp3_noinfo_v1_script.rmp", FileKind::RiffRmp3, "noinfo.rmp"});
}

TEST_F(WriteFaults, RiffInfoOfAFileWithTwoNames) {
    FailAndKillEachStep({"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "full.rmp", "", false, true});
    EXPECT_EQ(test::ReadFile(dir / "full.rmp.link"), test::ReadFile(dir / "full.rmp"));
}

// --- ID3v2 write: tags rewritten in their padding (2.3, 2.2), and a file rebuilt with its ID3v1 block

TEST_F(WriteFaults, Id3v2InItsPaddingAndRebuilt) {
    constexpr TagReader kId3v2 = TagReader::Id3v2;
    FailAndKillEachStep({"id3v2/v23_latin1_mutagen.mp3", FileKind::Id3v2Mpeg, "padding.mp3", "", false, false, kId3v2});
    FailAndKillEachStep({"id3v2/v22_script.mp3", FileKind::Id3v2Mpeg, "v22.mp3", "", false, false, kId3v2});
    FailAndKillEachStep(
        {"id3v2/v23_and_v1_id3v2tool.mp3", FileKind::Id3v2Mpeg, "linked.mp3", "", false, true, kId3v2});
}

// --- SoundVQ write

TEST_F(WriteFaults, SoundVq) {
    FailAndKillEachStep({"vqf/vqf_full_script.vqf", FileKind::SoundVq, "full.vqf"});
    FailAndKillEachStep({"vqf/vqf_dsiz_after_unknown_id3v1_script.vqf", FileKind::SoundVq, "id3.vqf"});
    FailAndKillEachStep({"vqf/vqf_full_script.vqf", FileKind::SoundVq, "linked.vqf", "", false, true});
}

// --- the rename step, and undo after it

TEST_F(WriteFaults, RenameStepBothWays) {
    FailAndKillEachStep({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "old.mp3", "new.mp3"});
    FailAndKillEachStep({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "new.mp3", "old.mp3"});
}

TEST_F(WriteFaults, UndoAfterAFailedRenameStepNamesTheFileOnDisk) {
    const Subject s{"mpeg/cbr128_44k_notag.mp3", FileKind::Mpeg, "old.mp3", "new.mp3"};
    Learn(s);
    test::FailEachOperation([&] { return Write(); }, [&](int n, bool) {
        ASSERT_TRUE(UndoRenameCommand(session, prompter));
        const FolderState now = test::ReadFolder(dir.path());
        ASSERT_EQ(now.size(), 1u);
        EXPECT_EQ(session.rows[0].FileName, now.begin()->first) << "operation " << n << " failing";
        Place(s);
    });
}

// --- MacBinary removal (on the way into the list)

TEST_F(WriteFaults, MacBinaryRemoval) {
    const std::string path = test::CopyCorpusFile("macbinary/macbinary_wrapped_script.mp3", dir, "wrapped.mp3");
    const std::string wrapped = test::ReadFile(path);
    before = test::ReadFolder(dir.path());
    auto add = [&] {
        session.rows.Clear();
        WorkList work{path};
        prompter.Clear();
        return AddFiles(session, work, AddOptions{}, prompter) == 1;
    };
    ASSERT_TRUE(add());
    after = test::ReadFolder(dir.path());
    auto reset = [&] { test::WriteFile(path, wrapped); };
    reset();
    redo = add;

    const int operations = test::FailEachOperation(add, [&](int n, bool listed) {
        const std::string when = "operation " + std::to_string(n) + " failing";
        ExpectBeforeOrAfter(when);
        // Listed only when unwrapped; a removal that was asked for and failed is shown.
        const bool unwrapped = test::ReadFolder(dir.path()) == after;
        if (listed) {
            EXPECT_TRUE(unwrapped) << when;
        }
        if (!unwrapped && !prompter.texts().empty()) {
            EXPECT_EQ(prompter.texts().back(), kRemovalFailed) << when;
        }
        reset();
    });
    EXPECT_GE(operations, 5);
    const int killed = test::KillAtEachOperation(reset, add, [&](int n) { ExpectBeforeOrAfterKill(n); });
    EXPECT_EQ(killed, operations);
}

// --- conversion: a new file beside the old one, or over another

TEST_F(WriteFaults, ConversionToANewFileAndOverAnExistingOne) {
    struct Case {
        const char* corpus;
        FileKind kind;
        const char* name;
        ConvertTarget target;
        const char* existing;  // a file already at the target's name, replaced after the question
    };
    for (const Case& c : {Case{"mpeg/cbr128_44k_notag.mp3", FileKind::Mpeg, "song.mp3", ConvertTarget::Wave, nullptr},
                          Case{"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "song.rmp", ConvertTarget::Mp3,
                               "mpeg/mpeg2_16k_16khz_v1latin.mp3"}}) {
        subject = {c.corpus, c.kind, c.name};
        auto place = [&] {
            Place(subject);
            if (c.existing) test::CopyCorpusFile(c.existing, dir, path::WithoutExtension(c.name) + ".mp3");
        };
        // Converted rows leave the list; the others stay.
        auto convert = [&] {
            ConvertCommand(session, ConvertibleRows(session), c.target, prompter, nullptr);
            return session.rows.empty();
        };
        redo = convert;
        place();
        before = test::ReadFolder(dir.path());
        ASSERT_TRUE(convert()) << c.corpus;
        after = test::ReadFolder(dir.path());
        place();
        const int operations = test::FailEachOperation(convert, [&](int n, bool converted) {
            const std::string when = std::string(c.corpus) + ", operation " + std::to_string(n) + " failing";
            ExpectBeforeOrAfter(when);
            EXPECT_EQ(converted, test::ReadFolder(dir.path()) == after) << when;
            place();
        });
        EXPECT_GE(operations, 5);
        EXPECT_EQ(test::KillAtEachOperation(place, convert, [&](int n) { ExpectBeforeOrAfterKill(n); }), operations);
    }
}

// --- the settings' ini file

TEST_F(WriteFaults, IniFileSave) {
    const std::string path = dir / "wvr.ini";
    const std::string old = test::ReadFile(test::CorpusPath("text/wvr_sample.ini"));
    IniFile ini = IniFile::Parse(old);
    ini.SetValue("wvr_csv", "Count", "3");
    ini.EraseSection("HTML");
    auto place = [&] { test::WriteFile(path, old); };
    auto save = [&] { return ini.Save(path); };
    place();
    before = test::ReadFolder(dir.path());
    ASSERT_TRUE(save());
    after = test::ReadFolder(dir.path());
    redo = save;
    place();
    const int operations = test::FailEachOperation(save, [&](int n, bool saved) {
        const std::string when = "operation " + std::to_string(n) + " failing";
        EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), saved ? after : before)) << when;
        place();
    });
    EXPECT_GE(operations, 4);
    EXPECT_EQ(test::KillAtEachOperation(place, save, [&](int n) { ExpectBeforeOrAfterKill(n); }), operations);
}

// --- text output: the CSV list and template output, over an older file of the same name

TEST_F(WriteFaults, CsvSaveAndTemplateOutput) {
    const std::string older = "an older file of the same name\r\n";
    for (const bool csv : {true, false}) {
        const std::string path = dir / (csv ? "list.csv" : "list.html");
        auto place = [&] {
            Place({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "song.mp3"});
            session.rows.Mutable(0).Fields[kTitle] = "  padded  ";  // the CSV save trims the rows
            test::WriteFile(path, older);
        };
        auto save = [&] {
            return csv ? SaveCsv(session, path, prompter, nullptr)
                       : WriteTemplateOutput(session, DefaultTemplateSet(), path, prompter, nullptr);
        };
        place();
        before = test::ReadFolder(dir.path());
        ASSERT_TRUE(save());
        after = test::ReadFolder(dir.path());
        redo = save;
        place();
        const int operations = test::FailEachOperation(save, [&](int n, bool saved) {
            const std::string when = path + ", operation " + std::to_string(n) + " failing";
            EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), saved ? after : before)) << when;
            // The first step makes the file: when it fails, nothing is trimmed.
            if (csv && n == 1) {
                EXPECT_FALSE(saved);
                EXPECT_EQ(session.rows[0].Fields[kTitle], "  padded  ") << when;
            }
            place();
        });
        EXPECT_GE(operations, 3);
        EXPECT_EQ(test::KillAtEachOperation(place, save, [&](int n) { ExpectBeforeOrAfterKill(n); }), operations);
    }
}

// An output over a file of a folder that lets no new file be made (a shared web folder): the
// file is written where it is.
TEST_F(WriteFaults, OutputsOverAFileInAFolderThatRefusesNewFilesAreWrittenInPlace) {
    test::PermissionChecksEnforced checks;
    if (!checks.enforced()) GTEST_SKIP() << "root's right to create files anywhere cannot be dropped here";
    Place({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "song.mp3"});
    const std::vector<TrackInfo> songs = {session.rows[0]};
    const std::function<bool(const std::string&)> outputs[] = {
        [&](const std::string& path) { return SaveCsv(session, path, prompter, nullptr); },
        [&](const std::string& path) { return WriteTemplateOutput(session, DefaultTemplateSet(), path, prompter, nullptr); },
        [&](const std::string& path) { return WritePlaylist(path, songs, false, prompter); },
    };
    const std::string path = dir / "out.txt";
    for (const auto& output : outputs) {
        test::WriteFile(path, "older");
        ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
        EXPECT_TRUE(output(path)) << (prompter.texts().empty() ? "" : prompter.texts().back());
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        const std::string written = test::ReadFile(path);
        EXPECT_NE(written.find("song"), std::string::npos) << written;
    }
}

// Outputs over another user's file in a shared folder with the sticky bit: the rebuild can be
// made there but not renamed over the file, which is written where it is instead.
TEST_F(WriteFaults, OutputsOverAnotherUsersFileInAStickyFolderAreWrittenInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    Place({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "song.mp3"});
    const std::vector<TrackInfo> songs = {session.rows[0]};
    const std::string shared = dir / "shared";
    ASSERT_EQ(::mkdir(shared.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(::chown(shared.c_str(), 4242, 4242), 0);
    const std::function<bool(const std::string&)> outputs[] = {
        [&](const std::string& path) { return SaveCsv(session, path, prompter, nullptr); },
        [&](const std::string& path) { return WriteTemplateOutput(session, DefaultTemplateSet(), path, prompter, nullptr); },
        [&](const std::string& path) { return WritePlaylist(path, songs, false, prompter); },
    };
    const std::string path = shared + "/out.txt";
    for (const auto& output : outputs) {
        test::WriteFile(path, "older");
        ASSERT_EQ(::chown(path.c_str(), 4243, 4243), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
        {
            test::WithoutOwnerRights asAnotherUser;
            EXPECT_TRUE(output(path)) << (prompter.texts().empty() ? "" : prompter.texts().back());
        }
        const FolderState now = test::ReadFolder(shared);
        ASSERT_EQ(now.size(), 1u) << Describe(now);
        EXPECT_NE(now.begin()->second.find("song"), std::string::npos) << now.begin()->second;
    }
}

// A file with no write permission bit is refused by every writer, whoever runs the program,
// and stays as it was.
TEST_F(WriteFaults, AFileWithoutAWriteBitIsRefusedByEveryWriter) {
    for (const Subject& s : {Subject{"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "overwrite.mp3"},
                             Subject{"mpeg/cbr128_44k_notag.mp3", FileKind::Mpeg, "append.mp3"},
                             Subject{"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "full.rmp"},
                             Subject{"vqf/vqf_full_script.vqf", FileKind::SoundVq, "full.vqf"}}) {
        Place(s);
        ASSERT_EQ(::chmod(session.rows[0].Path.c_str(), 0444), 0);
        before = test::ReadFolder(dir.path());
        EXPECT_FALSE(Write()) << s.corpus;
        EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), before)) << s.corpus;
    }
    Place({"mpeg/mpeg2_16k_16khz_v1latin.mp3", FileKind::Mpeg, "song.mp3"});
    const std::vector<TrackInfo> songs = {session.rows[0]};
    const IniFile ini = IniFile::Parse("[wvr]\r\nKey=1\r\n");
    const std::function<bool(const std::string&)> outputs[] = {
        [&](const std::string& path) { return SaveCsv(session, path, prompter, nullptr); },
        [&](const std::string& path) { return WriteTemplateOutput(session, DefaultTemplateSet(), path, prompter, nullptr); },
        [&](const std::string& path) { return WritePlaylist(path, songs, false, prompter); },
        [&](const std::string& path) { return ini.Save(path); },
    };
    const std::string path = dir / "out.txt";
    for (const auto& output : outputs) {
        test::WriteFile(path, "older");
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        EXPECT_FALSE(output(path));
        EXPECT_EQ(test::ReadFile(path), "older");
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    }
}

// --- the file layer's own promises, under faults that persist and in the order of its steps

// The steps of the file layer in the order they ran, while a Recording lives.
std::vector<std::string> g_steps;
bool g_failWritesAfterLink = false;

class Recording {
public:
    explicit Recording(bool failWritesAfterLink = false) {
        g_steps.clear();
        g_failWritesAfterLink = failWritesAfterLink;
        fs::SetFaultHook([](const char* operation, uint64_t) {
            g_steps.push_back(operation);
            const bool linked = std::find(g_steps.begin(), g_steps.end(), "link") != g_steps.end();
            return g_failWritesAfterLink && linked && g_steps.back() == "write";
        });
    }
    ~Recording() { fs::SetFaultHook(nullptr); }
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Whether `step` ran after the last `than`.
    static bool RanAfterTheLast(const std::string& step, const std::string& than) {
        const auto last = std::find(g_steps.rbegin(), g_steps.rend(), than);
        return last != g_steps.rend() && std::find(g_steps.rbegin(), last, step) != last;
    }
};

// A file with two names whose write-back fails every time: the file is part old, part new,
// and the complete rebuild stays beside it, from which the next opening finishes the file.
TEST_F(WriteFaults, AWriteBackThatKeepsFailingLeavesTheCompleteCopy) {
    Learn({"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "full.rmp", "", false, true});
    {
        Recording failing(true);
        EXPECT_FALSE(Write());
    }
    FolderState now = test::ReadFolder(dir.path());
    const auto copy = std::find_if(now.begin(), now.end(), [](const auto& e) { return e.first.starts_with(".wvr-restore-"); });
    ASSERT_NE(copy, now.end()) << Describe(now);
    EXPECT_EQ(copy->second, after.at("full.rmp"));
    fs::File opened;
    ASSERT_TRUE(opened.Open(dir / "full.rmp", fs::File::Mode::Read));
    EXPECT_TRUE(SameFolder(test::ReadFolder(dir.path()), after));
}

// What is on disk is flushed before anything relies on it: the folder after a rename puts a
// file in place, a file written where it is before it counts as written.
TEST_F(WriteFaults, FlushesComeAfterTheStepsTheySecure) {
    Place({"riff/rmp3_full_info_script.rmp", FileKind::RiffRmp3, "full.rmp"});
    {
        Recording steps;
        ASSERT_TRUE(Write());
        EXPECT_TRUE(Recording::RanAfterTheLast("sync-folder", "rename")) << ::testing::PrintToString(g_steps);
    }
    Place({"id3v2/v23_latin1_mutagen.mp3", FileKind::Id3v2Mpeg, "padding.mp3", "", false, false, TagReader::Id3v2});
    {
        Recording steps;  // a tag rewritten in its padding
        ASSERT_TRUE(Write());
        EXPECT_TRUE(Recording::RanAfterTheLast("sync", "write")) << ::testing::PrintToString(g_steps);
    }
    test::PermissionChecksEnforced checks;
    if (!checks.enforced()) GTEST_SKIP() << "root's right to create files anywhere cannot be dropped here";
    const std::string path = dir / "out.csv";
    test::WriteFile(path, "older");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    {
        Recording steps;
        EXPECT_TRUE(SaveCsv(session, path, prompter, nullptr));
        EXPECT_TRUE(Recording::RanAfterTheLast("sync", "write")) << ::testing::PrintToString(g_steps);
    }
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
}

// A move to another file system whose original cannot be removed takes the copy back: one
// file, never two.
TEST_F(WriteFaults, AMoveAcrossFileSystemsThatCannotRemoveTheOriginalLeavesOneFile) {
    const std::string from = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, "from.mp3");
    const std::string to = dir / "to.mp3";
    fs::SetFaultHook([](const char* operation, uint64_t) {
        if (std::string(operation) == "rename") errno = EXDEV;
        return std::string(operation) == "rename" || std::string(operation) == "unlink";
    });
    const fs::MoveError error = fs::MoveNoReplace(from, to);
    fs::SetFaultHook(nullptr);
    EXPECT_NE(error, fs::MoveError::None);
    const FolderState now = test::ReadFolder(dir.path());
    EXPECT_EQ(now.size(), 1u) << Describe(now);
    EXPECT_EQ(now.count("from.mp3"), 1u);
}

// --- random moments, on a file large enough to be caught mid-way

TEST_F(WriteFaults, KillsAtRandomMomentsOfALargeRebuild) {
    std::string audio;
    while (audio.size() < (4u << 20)) audio += test::CorpusAudio();
    const std::string data = "data" + riff::Le32(static_cast<uint32_t>(audio.size())) + audio;
    test::WriteFile(dir / "large.rmp", "RIFF" + riff::Le32(static_cast<uint32_t>(4 + data.size())) + "RMP3" + data);
    const std::string path = dir / "large.rmp";
    const std::string original = test::ReadFile(path);
    auto place = [&] {
        test::WriteFile(path, original);
        session.rows.Clear();
        TrackInfo row;
        row.Path = path;
        row.FileName = "large.rmp";
        row.Kind = std::to_string(static_cast<int>(FileKind::RiffRmp3));
        row.Fields[kTitle] = "Large";
        row.Checked = true;
        session.rows.Append(row);
    };
    place();
    before = test::ReadFolder(dir.path());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Write());
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    after = test::ReadFolder(dir.path());

    // Kills spread over the time a write takes, and a little beyond.
    const int midway = test::KillAtRandomMoments(
        place, [&] { return Write(); }, [&] { ExpectBeforeOrAfterKill(0); }, 24, took * 3 / 2, 9);
    EXPECT_GT(midway, 0) << "no kill came while the file was being written";
}

}  // namespace
