// A full file system: every writer fails, says so where it should, and leaves every file as it
// was with nothing beside it. Needs root, which may mount a small file system for the case;
// another user sees it skipped.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands/AddFiles.h"
#include "app/commands/Convert.h"
#include "app/commands/WriteTags.h"
#include "platform/base/IniFile.h"
#include "support/FaultInjection.h"
#include "support/MadeFiles.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

namespace stdfs = std::filesystem;

TEST(FullDisk, EveryWriterFailsCleanly) {
    Session session;
    test::ScriptedPrompter prompter;
    test::SmallFileSystem small(512 * 1024);
    if (!small.mounted()) GTEST_SKIP() << small.reason();
    // Ends on a page boundary, so that the appended block needs room the disk does not have.
    std::string mp3 = test::CorpusAudio();
    while (mp3.size() < 8192) mp3 += mp3;
    mp3.resize(8192);
    test::WriteFile(small / "append.mp3", mp3);
    for (const char* corpus : {"riff/rmp3_full_info_script.rmp", "vqf/vqf_full_script.vqf"})
        stdfs::copy_file(test::CorpusPath(corpus), small / stdfs::path(corpus).filename().string());
    const std::string wrapped = small / "wrapped.mp3";
    stdfs::copy_file(test::CorpusPath("macbinary/macbinary_wrapped_script.mp3"), wrapped);
    test::WriteFile(small / "wvr.ini", "[wvr_csv]\r\nCount=0\r\n");
    test::FillUp(small / "filler");
    const test::FolderState full = test::ReadFolder(small.path());

    for (const auto& [name, kind] : {std::pair{"append.mp3", FileKind::Mpeg}, {"rmp3_full_info_script.rmp", FileKind::RiffRmp3},
                                    {"vqf_full_script.vqf", FileKind::SoundVq}}) {
        session.rows.Clear();
        TrackInfo row;
        row.Path = small / name;
        row.FileName = name;
        row.Kind = std::to_string(static_cast<int>(kind));
        row.Fields[kTitle] = "Does not fit";
        row.Checked = true;
        session.rows.Append(row);
        prompter.Clear();
        WriteCommand(session, prompter, nullptr, Questions::Skip);
        EXPECT_TRUE(session.rows[0].Checked) << name << " counts as written";
        EXPECT_EQ(prompter.shown().size(), kind == FileKind::RiffRmp3 ? 0u : 1u) << name;
    }
    WorkList work{wrapped};
    prompter.Clear();
    EXPECT_EQ(AddFiles(session, work, AddOptions{}, prompter), 0);
    EXPECT_EQ(prompter.texts().back(), "マックバイナリの除去に失敗しました。");

    session.rows.Clear();
    TrackInfo row;
    row.Path = small / "append.mp3";
    row.FileName = "append.mp3";
    row.Kind = std::to_string(static_cast<int>(FileKind::Mpeg));
    row.Checked = true;
    session.rows.Append(row);
    EXPECT_TRUE(ConvertCommand(session, {0}, ConvertTarget::Wave, prompter, nullptr).written.empty());

    IniFile ini = IniFile::Parse(test::ReadFile(test::CorpusPath("text/wvr_sample.ini")));
    ini.SetValue("wvr_csv", "Count", "1");
    EXPECT_FALSE(ini.Save(small / "wvr.ini"));
    EXPECT_EQ(test::ReadFile(small / "wvr.ini"), "[wvr_csv]\r\nCount=0\r\n");
    EXPECT_TRUE(test::SameFolder(test::ReadFolder(small.path()), full));
}

}  // namespace
