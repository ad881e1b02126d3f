// Template output: the Default set's bytes, the finish message, sets stored in "wvr.ini"
// (keys, quoting, refused names, delete) and an output file that cannot be created.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/commands/SettingsIo.h"
#include "app/commands/TemplateOutput.h"
#include "platform/core/Registry.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Sjis;

namespace {

class TemplateOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        TrackInfo row;
        row.Fields[kTitle] = "T";
        row.Fields[kArtist] = "A";
        row.Path = dir / "x.mp3";
        row.Seconds = "200";
        session.rows.Append(row);
    }
    std::string Ini() { return test::ReadFile(IniFilePath(kOutputIni)); }

    test::IsolatedConfig config;
    test::TempDir dir;
    Session session;
    test::ScriptedPrompter prompter;
};

TemplateSet Named(const std::string& name) {
    TemplateSet set;
    set.name = name;
    set.header = {"%1 - %a", ""};
    set.body = {"  <li>%2</li>  "};
    set.footer = {"end"};
    set.extension = "txt";
    set.replacement = "-";
    return set;
}

}  // namespace

TEST_F(TemplateOutputTest, DefaultSetBytesAndFinishMessage) {
    ASSERT_TRUE(WriteTemplateOutput(session, DefaultTemplateSet(), dir / "out.html", prompter, nullptr));
    EXPECT_EQ(test::ReadFile(dir / "out.html"),
              Sjis("<html>\r\n<body bgcolor=\"#ffffff\"><center>\r\n"
                   "<table border><tr><th>曲名</th><th>アーティスト</th><th>アルバム名</th><th>ファイル名</th></tr>\r\n"
                   "\r\n<tr><td>T</td><td>A</td><td>　</td><td>x</td></tr>\r\n"
                   "</table></center>\r\n</body>\r\n</html>\r\n"));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "out.htmlの出力を終了しました。");
    EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Information);
}

// The Default set makes HTML: a tag text is text there, never markup. A stored set escapes
// only when it asks to (text and CSV templates want the values as they are), and keeps that
// with its keys.
TEST_F(TemplateOutputTest, TheDefaultSetEscapesValuesForHtmlAndAStoredSetWhenItAsks) {
    session.rows.Mutable(0).Fields[kTitle] = "<script>alert(1)</script>";
    session.rows.Mutable(0).Fields[kArtist] = "A&B \"C\"";
    ASSERT_TRUE(WriteTemplateOutput(session, DefaultTemplateSet(), dir / "out.html", prompter, nullptr));
    EXPECT_NE(test::ReadFile(dir / "out.html")
                  .find("<tr><td>&lt;script&gt;alert(1)&lt;/script&gt;</td><td>A&amp;B &quot;C&quot;</td>"),
              std::string::npos);

    TemplateSet set = Named("Text");
    set.body = {"%2|%1"};
    ASSERT_TRUE(StoreTemplateSet(set, prompter));
    set.name = "Page";
    set.escapeHtml = true;
    ASSERT_TRUE(StoreTemplateSet(set, prompter));
    EXPECT_NE(Ini().find("REPSTR=-\r\nSAFEHTML=1\r\n"), std::string::npos);
    EXPECT_FALSE(LoadTemplateSet("Text").escapeHtml);
    EXPECT_TRUE(LoadTemplateSet("Page").escapeHtml);
    ASSERT_TRUE(WriteTemplateOutput(session, LoadTemplateSet("Text"), dir / "out.txt", prompter, nullptr));
    EXPECT_EQ(test::ReadFile(dir / "out.txt"), "A&B \"C\" - 03:20\r\n\r\n<script>alert(1)</script>|A&B \"C\"\r\nend\r\n");
    ASSERT_TRUE(WriteTemplateOutput(session, LoadTemplateSet("Page"), dir / "page.txt", prompter, nullptr));
    EXPECT_NE(test::ReadFile(dir / "page.txt").find("\r\n&lt;script&gt;alert(1)&lt;/script&gt;|A&amp;B &quot;C&quot;\r\n"),
              std::string::npos);
}

TEST_F(TemplateOutputTest, HeaderBodyAndFooterTakeTheirRowsAndNumbers) {
    TrackInfo second = session.rows[0];
    second.Fields[kArtist] = "Z";
    second.Seconds = "4000";
    session.rows.Append(second);
    TemplateSet set = Named("x");
    set.body = {"%n:%1"};
    set.footer = {"%1 %n"};
    ASSERT_TRUE(WriteTemplateOutput(session, set, dir / "out.txt", prompter, nullptr));
    EXPECT_EQ(test::ReadFile(dir / "out.txt"), "A - 01:10:00\r\n\r\n1:A\r\n2:Z\r\nZ 0\r\n");
}

TEST_F(TemplateOutputTest, StoredSetsKeepTheirKeysQuotingAndOrder) {
    ASSERT_TRUE(StoreTemplateSet(Named("HTML"), prompter));
    ASSERT_TRUE(StoreTemplateSet(Named("Text"), prompter));
    EXPECT_EQ(TemplateSetNames(), (std::vector<std::string>{"Default", "HTML", "Text"}));
    EXPECT_NE(Ini().find("[HTML]\r\nHEAD_0=\"%1 - %a\"\r\nHEAD_1=\"\"\r\nBODY_0=\"  <li>%2</li>  \"\r\n"
                         "FOOT_0=\"end\"\r\nEXT=txt\r\nREPSTR=-\r\n"),
              std::string::npos);
    EXPECT_EQ(LoadTemplateSet("HTML"), Named("HTML"));
    EXPECT_EQ(LoadTemplateSet("Default"), DefaultTemplateSet());

    // The CSV column order shares the file and is never a set.
    SaveCsvColumnOrder(session.settings);
    EXPECT_EQ(TemplateSetNames(), (std::vector<std::string>{"Default", "HTML", "Text"}));

    // Storing again puts the set last, as the file then holds it; deleting removes it.
    ASSERT_TRUE(StoreTemplateSet(Named("HTML"), prompter));
    EXPECT_EQ(TemplateSetNames(), (std::vector<std::string>{"Default", "Text", "HTML"}));
    ASSERT_TRUE(DeleteTemplateSet("Text", prompter));
    EXPECT_EQ(TemplateSetNames(), (std::vector<std::string>{"Default", "HTML"}));
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(TemplateOutputTest, ReservedNamesAreRefusedAndNothingIsWritten) {
    for (const char* name : {"Default", "wvr_csv", "wvr", "wvr_Input", "WVR_CSV", ""}) {
        prompter.Clear();
        EXPECT_FALSE(StoreTemplateSet(Named(name), prompter)) << name;
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].text, "この名前は使用出来ません。変更してください。");
        EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Stop);
    }
    EXPECT_FALSE(std::filesystem::exists(IniFilePath(kOutputIni)));
}

// A section name ends at a "]" and is read trimmed: such a name would come back as another one
// and could not be deleted. The input formats are stored the same way.
TEST_F(TemplateOutputTest, NamesTheIniFileCannotHoldAreRefused) {
    for (const char* name : {"a]b", " spaced ", "tab\t"}) {
        prompter.Clear();
        EXPECT_FALSE(StoreTemplateSet(Named(name), prompter)) << name;
        ASSERT_EQ(prompter.shown().size(), 1u);
        EXPECT_EQ(prompter.shown()[0].text, "この名前は使用出来ません。名前に「]」や前後の空白は使えません。");
        EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Stop);
    }
    EXPECT_FALSE(std::filesystem::exists(IniFilePath(kOutputIni)));
    // "ゾ" is 83 5D: its second byte is no bracket.
    const std::string zo = Sjis("ゾ a");
    ASSERT_TRUE(StoreTemplateSet(Named(zo), prompter));
    EXPECT_EQ(TemplateSetNames().back(), zo);
    EXPECT_TRUE(DeleteTemplateSet(zo, prompter));
}

TEST_F(TemplateOutputTest, TheChosenSetIsRemembered) {
    EXPECT_FALSE(StoredTemplateSetIndex());
    StoreTemplateSetIndex(2, prompter);
    EXPECT_EQ(StoredTemplateSetIndex(), 2);
}

TEST_F(TemplateOutputTest, AnOutputFileThatCannotBeCreatedIsNamed) {
    EXPECT_FALSE(WriteTemplateOutput(session, DefaultTemplateSet(), dir / "none/out.html", prompter, nullptr));
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0],
              "ファイルを作成できませんでした。\n" + dir / "none/out.html" + "\n" + std::strerror(ENOENT));
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
    // A file where a folder should be: the reason is the system's, never "Success".
    test::WriteFile(dir / "file", "x");
    prompter.Clear();
    EXPECT_FALSE(WriteTemplateOutput(session, DefaultTemplateSet(), dir / "file/out.html", prompter, nullptr));
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0], "ファイルを作成できませんでした。\n" + dir / "file/out.html" + "\n" + std::strerror(ENOTDIR));
}
