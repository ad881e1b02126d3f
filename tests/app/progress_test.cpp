// The long commands tell their busy indicator how far they are, as "done of total" counted by
// the files or rows they work on, so that the window can show it while they run.
#include <gtest/gtest.h>

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

TEST(Progress, EachLongCommandCountsItsFilesOrRowsUpToAll) {
    struct Case {
        const char* command;
        std::function<void(Session&, Prompter&, BusyIndicator*)> run;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        test::TempDir dir;
        test::ScriptedPrompter prompter;
        Session session;
        WorkList work;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            work.push_back(test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, name));
        AddFiles(session, work, {}, prompter);
        for (int i = 0; i < session.rows.size(); ++i) session.rows.Mutable(i).Checked = true;
        test::ProgressRecorder recorder;
        c.run(session, prompter, &recorder);
        recorder.ExpectCountedUpTo(3);
    }
}

}  // namespace
