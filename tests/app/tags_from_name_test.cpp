// Tags from file names: which rows are parsed, the folder name, the failure that names the
// file or folder and stops, and the dialog's stored values.
#include <gtest/gtest.h>

#include "app/commands/TagsFromName.h"
#include "formats/CommaText.h"
#include "platform/core/Registry.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

const std::string kFailed = "うまく読み込めませんでした。設定等を見直してください。\n\n     ";

class TagsFromNameTest : public ::testing::Test {
protected:
    void Listed(const std::string& path, bool checked = true) {
        TrackInfo row;
        row.Path = path;
        row.FileName = "pending.mp3";  // the name on disk counts, not a pending rename
        row.Checked = checked;
        session.rows.Append(row);
    }
    const TrackInfo& Row(int i) { return session.rows[i]; }

    test::IsolatedConfig config;
    Session session;
    test::ScriptedPrompter prompter;
    FromNameRun run = RunFromSettings(FromNameSettings());
};

}  // namespace

TEST_F(TagsFromNameTest, CheckedRowsAreParsedAndStayChecked) {
    Listed("/m/[Band] Album/[Artist] Title_One.mp3");
    Listed("/m/[X] Y.mp3", false);
    run.useFolder = true;
    ASSERT_TRUE(TagsFromNameCommand(session, run, prompter));
    EXPECT_EQ(Row(0).Fields[kArtist], "Artist");  // the file name first; no overwrite by the folder
    EXPECT_EQ(Row(0).Fields[kTitle], "Title One");
    EXPECT_EQ(Row(0).Fields[kAlbum], "Album");
    EXPECT_TRUE(Row(0).Checked);
    EXPECT_EQ(Row(1).Fields[kArtist], "");  // unchecked

    session.settings.Set(Option::GetChkOff, true);
    run.useFolder = false;
    ASSERT_TRUE(TagsFromNameCommand(session, run, prompter));
    EXPECT_EQ(Row(1).Fields[kArtist], "X");
    EXPECT_TRUE(Row(1).Checked);
}

TEST_F(TagsFromNameTest, TheFirstNameThatDoesNotMatchIsNamedAndStopsTheRun) {
    Listed("/m/[A] B.mp3");
    Listed("/m/Song.mp3");
    Listed("/m/[C] D.mp3");
    session.rows.Mutable(1).Checked = false;
    session.settings.Set(Option::GetChkOff, true);
    int failed = -1;
    EXPECT_FALSE(TagsFromNameCommand(session, run, prompter, &failed));
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kFailed + "Song.mp3"});
    EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Warning);
    EXPECT_FALSE(Row(1).Checked);
    EXPECT_EQ(Row(2).Fields[kArtist], "");  // not reached

    // A folder name that does not match names the folder, without its separator.
    session.rows.Remove(1);
    prompter.Clear();
    run.useFolder = true;
    EXPECT_FALSE(TagsFromNameCommand(session, run, prompter, &failed));
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kFailed + "/m"});

    // The root folder has an empty name, which does not match either.
    session.rows.Mutable(0).Path = "/[A] B.mp3";
    prompter.Clear();
    EXPECT_FALSE(TagsFromNameCommand(session, run, prompter, &failed));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{kFailed});
}

TEST_F(TagsFromNameTest, StoredValuesComeBackAndEmptyListsGetTheirDefault) {
    EXPECT_EQ(LoadFromNameSettings(), FromNameSettings());
    FromNameSettings s;
    s.filePatterns = {"%2", "%1 - %2"};
    s.filePatternIndex = 1;
    s.folderPatterns = {"%3", "[%1]%3", "%1"};
    s.folderPatternIndex = 2;  // differs from the file pattern's index: each is kept apart
    s.overwriteFromFile = s.useFolder = true;
    s.underscoresToSpaces = s.halfWidth = false;
    StoreFromNameSettings(s, prompter);
    EXPECT_EQ(LoadFromNameSettings(), s);
    EXPECT_TRUE(prompter.shown().empty());

    auto key = RegistryKey::Open("ToTag", true);
    key->WriteString("Seed1Str", JoinCommaText({"", "%2"}));
    key->WriteString("Seed2Str", "");
    key->Flush();
    const FromNameSettings loaded = LoadFromNameSettings();
    EXPECT_EQ(loaded.filePatterns, (std::vector<std::string>{"[%1]%?%2", "%2"}));
    EXPECT_EQ(loaded.filePatternIndex, 0);
    EXPECT_EQ(loaded.folderPatterns, std::vector<std::string>{"[%1]%?%3"});
}
