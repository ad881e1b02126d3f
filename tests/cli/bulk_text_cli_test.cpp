// wvr-cli csv-save, csv-load, export, from-name and text-input: the same routines as the
// windows, settings from the same store, and their exit statuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include "app/commands/SettingsIo.h"
#include "app/commands/TemplateOutput.h"
#include "app/commands/TextInput.h"
#include "formats/Id3v1.h"
#include "platform/base/FileOps.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

constexpr size_t kTitleColumn = 1 + kTitle, kArtistColumn = 1 + kArtist, kAlbumColumn = 1 + kAlbum;
constexpr size_t kPathColumn = 1 + kPathText, kSecondsColumn = 1 + kSecondsText;

class BulkTextCliTest : public ::testing::Test {
protected:
    test::CliResult Cli(const std::vector<std::string>& args) { return test::RunCli(args, dir / "stderr"); }
    std::string Copy(const std::string& as) { return test::CopyCorpusFile("mpeg/mpeg2_8k_22k_sjis_v1.mp3", dir, as); }

    test::IsolatedConfig config;
    test::TempDir dir;
    test::ScriptedPrompter prompter;
};

}  // namespace

TEST_F(BulkTextCliTest, CsvSaveThenCsvLoadGivesTheRowsBackAndWriteWritesThem) {
    const std::string a = Copy("a.mp3");
    ASSERT_EQ(Cli({"csv-save", dir / "list.csv", a}).status, 0);
    // The title is edited in the CSV file, then loaded and written.
    std::string csv = test::ReadFile(dir / "list.csv");
    csv.replace(csv.find(test::Sjis("春の小川")), test::Sjis("春の小川").size(), "New title");
    test::WriteFile(dir / "list.csv", csv);

    test::CliResult run = Cli({"csv-load", dir / "list.csv"});
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][kTitleColumn], "New title");
    EXPECT_EQ(run.rows[0][kArtistColumn], "山田太郎");
    EXPECT_EQ(run.rows[0][kSecondsColumn], "0");

    ASSERT_EQ(Cli({"csv-load", dir / "list.csv", "--write"}).status, 0);
    run = Cli({"list", a});
    EXPECT_EQ(run.rows[0][kTitleColumn], "New title");
}

// A spreadsheet's reader takes the UTF-8 file with its byte-order mark and header line; the
// file it writes back, every value quoted, loads with the header skipped. CP932 has no "é":
// it becomes "?", said once for the file.
TEST_F(BulkTextCliTest, CsvInUtf8RoundTripsThroughPythonsCsvModule) {
    if (!test::HasTool("python3")) GTEST_SKIP() << "needs python3";
    const std::string a = Copy("a.mp3");
    ASSERT_EQ(Cli({"csv-save", "--utf8", "--header", dir / "list.csv", a}).status, 0);
    test::WriteFile(dir / "sheet.py", R"(import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    header, row = csv.reader(f)
print(header[0], header[1], header[2], header[18], row[2], sep='|')
row[2] = 'Café 春'
with open(sys.argv[2], 'w', newline='', encoding='utf-8-sig') as f:
    csv.writer(f, quoting=csv.QUOTE_ALL).writerows([header, row, ['', '1', 'no file']])
)");
    EXPECT_EQ(test::RunTool("python3 '" + dir / "sheet.py' '" + dir / "list.csv' '" + dir / "back.csv'"),
              "ファイル名|コード 20|曲名|コード 17|春の小川\n");
    test::CliResult run = Cli({"csv-load", dir / "back.csv"});
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][kTitleColumn], "Caf? 春");
    EXPECT_EQ(run.rows[0][kArtistColumn], "山田太郎");
    EXPECT_EQ(run.err, "wvr: back.csv には Shift-JIS で表せない文字が 1 個あり、「?」に置き換えました。\n"
                       "wvr: 読み込めなかった行です: " + dir / "back.csv" + " (3行目)\n");
    EXPECT_EQ(run.status, 1);
}

// Python's csv module with its defaults quotes a value only when it must: "Blue Sky" and the
// header's "コード 20" stay bare. Read by RFC 4180, every column stays in place and --write
// writes the texts where they belong.
TEST_F(BulkTextCliTest, CsvInUtf8WrittenAgainWithPythonsDefaultsKeepsItsColumns) {
    if (!test::HasTool("python3")) GTEST_SKIP() << "needs python3";
    const std::string a = Copy("a.mp3");
    ASSERT_EQ(Cli({"csv-save", "--utf8", "--header", dir / "list.csv", a}).status, 0);
    test::WriteFile(dir / "sheet.py", R"(import csv, sys
with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:
    rows = list(csv.reader(f))
rows[1][2] = 'Blue Sky'
rows[1][5] = '著作権 2001'
with open(sys.argv[1], 'w', newline='', encoding='utf-8-sig') as f:
    csv.writer(f).writerows(rows)
)");
    test::RunTool("python3 '" + dir / "sheet.py' '" + dir / "list.csv'");
    ASSERT_NE(test::ReadFile(dir / "list.csv").find(",Blue Sky,山田太郎,"), std::string::npos);
    test::CliResult run = Cli({"csv-load", "--write", dir / "list.csv"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    run = Cli({"list", a});
    ASSERT_EQ(run.rows.size(), 1u);
    EXPECT_EQ(run.rows[0][kTitleColumn], "Blue Sky");
    EXPECT_EQ(run.rows[0][kArtistColumn], "山田太郎");
    EXPECT_EQ(run.rows[0][1 + kComment], "著作権 2001");
}

// In a Shift-JIS file a bare value ends at a space: "Blue Sky" gives two values, and every
// text after it stands one column late. Such lines are named and never written.
TEST_F(BulkTextCliTest, LinesWithMoreValuesThanColumnsAreNamedAndNeverWritten) {
    const std::string a = Copy("a.mp3");
    const std::string bytes = test::ReadFile(a);
    Settings settings;
    settings.csvColumns = {0, 1, 2};
    SaveCsvColumnOrder(settings);
    test::WriteFile(dir / "list.csv", a + ",Blue Sky,Artist\r\n");
    test::CliResult run = Cli({"csv-load", "--yes", "--write", dir / "list.csv"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wvr: 列の数より多い値のある行です: " + dir / "list.csv" + " (1行目)\n"), std::string::npos);
    EXPECT_EQ(test::ReadFile(a), bytes);
    run = Cli({"csv-load", dir / "list.csv"});  // without --yes nothing is loaded
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.rows.empty());
}

TEST_F(BulkTextCliTest, CsvLoadNamesWhatItCouldNotReadAndWritesNothing) {
    const std::string a = Copy("a.mp3");
    const std::string bytes = test::ReadFile(a);
    test::WriteFile(dir / "list.csv", "\"" + a + "\",\"1\",\"T\"\r\n\"" + dir / "gone.mp3" + "\",\"1\"\r\n");
    test::CliResult run = Cli({"csv-load", dir / "list.csv", dir / "none.csv", "--write"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.rows.size(), 1u);
    EXPECT_NE(run.err.find("wvr: ファイルを読み込めませんでした。\n" + dir / "none.csv"), std::string::npos);
    EXPECT_NE(run.err.find("wvr: 読み込めなかった行です: " + dir / "list.csv" + " (2行目)"), std::string::npos);
    EXPECT_EQ(test::ReadFile(a), bytes);
    EXPECT_EQ(Cli({"csv-load"}).status, 2);
    EXPECT_EQ(Cli({"csv-save", dir / "x.csv"}).status, 2);
}

TEST_F(BulkTextCliTest, AnOutputThatIsAlsoReadIsRefused) {
    // "csv-save a.mp3 a.mp3" would put the CSV text in place of the music file.
    const std::string a = Copy("a.mp3");
    const std::string bytes = test::ReadFile(a);
    ASSERT_EQ(::symlink(a.c_str(), (dir / "link.mp3").c_str()), 0);
    test::CliResult run = Cli({"csv-save", a, a});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("wvr: 出力先が読み込むファイルです: " + a + "\n", 0), 0u);
    EXPECT_EQ(Cli({"export", dir / "link.mp3", a}).status, 2);
    EXPECT_EQ(Cli({"select", "--minutes", "10", "-o", a, a}).status, 2);
    EXPECT_EQ(test::ReadFile(a), bytes);
    // A playlist named as a path is read, and is no output either.
    test::WriteFile(dir / "list.m3u", "a.mp3\r\n");
    EXPECT_EQ(Cli({"csv-save", dir / "list.m3u", dir / "list.m3u"}).status, 2);
    EXPECT_EQ(test::ReadFile(dir / "list.m3u"), "a.mp3\r\n");
}

TEST_F(BulkTextCliTest, ExportWritesTheDefaultOrANamedSet) {
    const std::string a = Copy("a.mp3");
    TemplateSet set;
    set.name = "Plain";
    set.body = {"%2|%p|%n"};
    set.extension = "txt";
    set.replacement = "-";
    ASSERT_TRUE(StoreTemplateSet(set, prompter));
    test::CliResult run = Cli({"export", "--set", "plain", dir / "out.txt", a});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "wvr: out.txtの出力を終了しました。\n");
    EXPECT_EQ(test::ReadFile(dir / "out.txt"), test::Sjis("春の小川|-|1\r\n"));
    EXPECT_EQ(Cli({"export", dir / "out.html", a}).status, 0);
    EXPECT_EQ(test::ReadFile(dir / "out.html").rfind("<html>\r\n", 0), 0u);
    EXPECT_EQ(Cli({"export", "--set", "Nothing", dir / "out.txt", a}).status, 2);
    EXPECT_EQ(Cli({"export", dir / "no/out.txt", a}).status, 1);
}

TEST_F(BulkTextCliTest, FromNameTakesThePatternsGivenOrStored) {
    const std::string a = Copy("[Band] Album/01 - First_Song.mp3");
    test::CliResult run = Cli({"from-name", "--pattern", "%0 - %2", "--dir-pattern", "[%1]%?%3", a});
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 1u);
    // The file's own title and artist stay (no overwrite); the album was empty.
    EXPECT_EQ(run.rows[0][kTitleColumn], "春の小川");
    EXPECT_EQ(run.rows[0][kAlbumColumn], "日本の歌　第一集");

    run = Cli({"from-name", "--write", a});  // the stored default "[%1]%?%2" does not match
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wvr: うまく読み込めませんでした。設定等を見直してください。\n\n     01 - First_Song.mp3\n");
}

TEST_F(BulkTextCliTest, TextInputLaysTheFileOntoTheRows) {
    const std::string a = Copy("a.mp3"), b = Copy("b.mp3");
    test::WriteFile(dir / "tracks.txt", "Best Album / The Band\r\n\r\n1.First\r\n2.Second\r\n");
    test::CliResult run = Cli({"text-input", dir / "tracks.txt", a, b});
    EXPECT_EQ(run.status, 0);
    ASSERT_EQ(run.rows.size(), 2u);
    EXPECT_EQ(run.rows[0][kTitleColumn], "First");
    EXPECT_EQ(run.rows[1][kTitleColumn], "Second");
    EXPECT_EQ(run.rows[1][kArtistColumn], "The Band");

    ASSERT_TRUE(StoreInputFormat({"Titles", {"{", "%2", "}"}, "txt"}, prompter));
    test::WriteFile(dir / "titles.txt", "One\r\n");
    run = Cli({"text-input", "--format", "Titles", dir / "titles.txt", "--write", a});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.rows[0][kTitleColumn], "One");
    EXPECT_EQ(Cli({"list", a}).rows[0][kTitleColumn], "One");
    EXPECT_EQ(Cli({"text-input", dir / "none.txt", a}).status, 1);
    EXPECT_EQ(Cli({"text-input", dir / "titles.txt"}).status, 2);
}
