// The long commands tell their busy indicator how far they are, as "done of total" counted by
// the files or rows they work on, so that the window can show it while they run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "app/commands/AddFiles.h"
#include "app/commands/Convert.h"
#include "app/commands/Csv.h"
#include "app/commands/Rename.h"
#include "app/commands/TagsFromName.h"
#include "app/commands/TextInput.h"
#include "app/commands/WriteTags.h"
#include "formats/PathText.h"
#include "support/ProgressRecorder.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

struct Case {
    const char* command;
    std::function<void(Session&, Prompter&, BusyIndicator*)> run;
};

// Three checked rows of copies of one MP3 file, read as the list reads them.
void ThreeRows(const test::TempDir& dir, Session& session, test::ScriptedPrompter& prompter) {
    WorkList work;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        work.push_back(test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, name));
    AddFiles(session, work, {}, prompter);
    for (int i = 0; i < session.rows.size(); ++i) session.rows.Mutable(i).Checked = true;
}

// Asked whether to stop, says yes once the first file or row is done.
class StopAfterOne : public test::ProgressRecorder {
public:
    bool Cancelled() override { return !seen.empty(); }
};

const std::vector<Case>& LongCommands() {
    static const std::vector<Case> cases = {
        {"write", [](Session& s, Prompter& p, BusyIndicator* b) { WriteCommand(s, p, b, Questions::Skip); }},
        {"rename", [](Session& s, Prompter& p, BusyIndicator* b) { RenameCommand(s, p, Questions::Skip, b); }},
        {"tags from names",
         [](Session& s, Prompter& p, BusyIndicator* b) {
             FromNameRun run;
             run.filePattern = "%2";
             TagsFromNameCommand(s, run, p, nullptr, b);
         }},
        {"text input",
         [](Session& s, Prompter&, BusyIndicator* b) { RunTextInput(s.rows, {"{", "%2", "}"}, {"a", "b", "c"}, b); }},
        {"conversion",
         [](Session& s, Prompter& p, BusyIndicator* b) {
             ConvertCommand(s, ConvertibleRows(s), ConvertTarget::Rmp3, p, b);
         }},
        {"CSV load",
         [](Session& s, Prompter& p, BusyIndicator* b) {
             std::string lines;
             for (int i = 0; i < s.rows.size(); ++i) lines += "\"" + s.rows[i].Path + "\"\r\n";
             const std::string csv = path::Folder(s.rows[0].Path) + "list.csv";
             test::WriteFile(csv, lines);
             LoadCsv(s, {csv}, p, b, nullptr);
         }},
    };
    return cases;
}

TEST(Progress, EachLongCommandCountsItsFilesOrRowsUpToAll) {
    for (const Case& c : LongCommands()) {
        SCOPED_TRACE(c.command);
        test::TempDir dir;
        test::ScriptedPrompter prompter;
        Session session;
        ThreeRows(dir, session, prompter);
        test::ProgressRecorder recorder;
        c.run(session, prompter, &recorder);
        recorder.ExpectCountedUpTo(3);
    }
}

// Stopped, a run ends between two files: the first is done, the last file and its row are as
// they were.
TEST(Progress, EachLongCommandStopsBetweenTwoFilesWhenAsked) {
    for (const Case& c : LongCommands()) {
        SCOPED_TRACE(c.command);
        test::TempDir dir;
        test::ScriptedPrompter prompter;
        Session session;
        ThreeRows(dir, session, prompter);
        const TrackInfo last = session.rows[2];
        const std::string bytes = test::ReadFile(last.Path);
        StopAfterOne stop;
        c.run(session, prompter, &stop);
        ASSERT_FALSE(stop.seen.empty());
        EXPECT_EQ(stop.seen.back(), std::make_pair(1, 3));
        EXPECT_TRUE(test::ReadFile(last.Path) == bytes) << "the last file changed";
        EXPECT_FALSE(std::filesystem::exists(dir / "c.rmp"));
        const auto row = std::find_if(session.rows.begin(), session.rows.end(),
                                      [&](const TrackInfo& r) { return r.Path == last.Path; });
        ASSERT_NE(row, session.rows.end());
        EXPECT_TRUE(*row == last) << "the last row changed";
    }
}

}  // namespace
