// CSV save and load: the bytes written in both quoting modes, relative paths, round trips,
// a file made by a spreadsheet program, the load modes, and files that cannot be read or
// created.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/commands/AddFiles.h"
#include "app/commands/Csv.h"
#include "formats/CommaText.h"
#include "platform/base/FileOps.h"
#include "support/MadeFiles.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Sjis;

namespace {

namespace stdfs = std::filesystem;

const std::string kRmp = "riff/rmp3_full_info_script.rmp";  // every field filled
const std::string kMp3 = "mpeg/mpeg2_8k_22k_sjis_v1.mp3";   // Japanese ID3v1 texts

class CsvTest : public ::testing::Test {
protected:
    TrackInfo& Row(int i) { return session.rows.Mutable(i); }
    void Add(const std::vector<std::string>& paths) {
        WorkList work(paths.begin(), paths.end());
        AddFiles(session, work, {}, prompter);
    }
    void Columns(std::vector<int> columns) { session.settings.csvColumns = std::move(columns); }
    // A row that needs no file: saving only reads the rows.
    void Listed(const std::string& path, const std::string& title, const std::string& artist) {
        TrackInfo row;
        row.Path = path;
        row.Fields[kTitle] = title;
        row.Fields[kArtist] = artist;
        session.rows.Append(row);
    }
    std::string Save(const std::string& name = "out.csv") {
        EXPECT_TRUE(SaveCsv(session, dir / name, prompter, nullptr));
        return test::ReadFile(dir / name);
    }
    bool Load(Session& into, const std::vector<std::string>& csvFiles, CsvLoadReport* report = nullptr) {
        return LoadCsv(into, csvFiles, prompter, nullptr, report);
    }

    test::TempDir dir;
    Session session;
    test::ScriptedPrompter prompter;
};

}  // namespace

TEST_F(CsvTest, NormalModeQuotesEveryValueAndDoublesQuotes) {
    Columns({0, 1, 2});
    Listed("/m/a.mp3", "Blue Sky", "");
    Listed("/m/b.mp3", "Say \"hi\"", Sjis("ソ,表"));
    EXPECT_EQ(Save(), "\"/m/a.mp3\",\"Blue Sky\",\"\"\r\n\"/m/b.mp3\",\"Say \"\"hi\"\"\",\"" + Sjis("ソ,表") + "\"\r\n");
}

TEST_F(CsvTest, SpreadsheetModeQuotesOnlyValuesWithACommaOrASpace) {
    Columns({0, 1, 2});
    session.settings.Set(Option::CsvExcel, true);
    Listed("/m/a.mp3", "Blue Sky", "");
    Listed("/m/b.mp3", "x\"y", "a,b");
    EXPECT_EQ(Save(), "/m/a.mp3,\"Blue Sky\",\r\n/m/b.mp3,x\"y,\"a,b\"\r\n");
}

// Left bare, a value that begins with a double quote would open a quoted value when read back,
// and a tab would end it as a space does: either way the columns after it would shift.
TEST_F(CsvTest, SpreadsheetModeQuotesValuesThatWouldNotReadBackBare) {
    Columns({0, 1, 2});
    session.settings.Set(Option::CsvExcel, true);
    Listed("/m/c.mp3", "\"Weird\"Al", "a\tb");
    const std::string csv = Save();
    EXPECT_EQ(csv, "/m/c.mp3,\"\"\"Weird\"\"Al\",\"a\tb\"\r\n");
    EXPECT_EQ(SplitCommaText(csv.substr(0, csv.size() - 2)),
              (std::vector<std::string>{"/m/c.mp3", "\"Weird\"Al", "a\tb"}));
}

TEST_F(CsvTest, RelativePathsAndPathCodes) {
    Columns({0, 19, 25, 20});  // a code above 20 saves the path too
    session.settings.Set(Option::CsvRelative, true);
    Listed(dir / "sub/b.mp3", "", "");
    Listed(dir.path() + "-x/c.mp3", "", "");
    const std::string up = "../" + stdfs::path(dir.path() + "-x").filename().string() + "/c.mp3";
    EXPECT_EQ(Save(), "\"sub/b.mp3\",\"" + dir / "sub/b.mp3" + "\",\"sub/b.mp3\",\"\"\r\n\"" + up + "\",\"" +
                          dir.path() + "-x/c.mp3\",\"" + up + "\",\"\"\r\n");
}

TEST_F(CsvTest, SaveTrimsTheListsTextsButNotThePath) {
    Columns({1});
    Listed("/m/a.mp3 ", " \tpadded  ", "");
    EXPECT_EQ(Save(), "\"padded\"\r\n");
    EXPECT_EQ(session.rows[0].Fields[kTitle], "padded");
    EXPECT_EQ(session.rows[0].Path, "/m/a.mp3 ");
}

TEST_F(CsvTest, DefaultOrderRoundTripsPathKindAndEveryTagText) {
    Add({test::CopyCorpusFile(kRmp, dir), test::CopyCorpusFile(kMp3, dir)});
    ASSERT_EQ(session.rows.size(), 2);
    Row(1).Fields[kTitle] = "with \"quote\", comma";
    Row(1).Fields[kMedium] = "medium";  // Fields[14] is the column the options call "ignore"
    Row(1).Fields[kComment] = "line 1\r\nline 2\n\"3\"";  // a line break inside a quoted value
    Save();

    Session loaded;
    ASSERT_TRUE(Load(loaded, {dir / "out.csv"}));
    ASSERT_EQ(loaded.rows.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const TrackInfo& before = session.rows[i];
        const TrackInfo& after = loaded.rows[i];
        EXPECT_EQ(after.Path, before.Path);
        EXPECT_EQ(after.FileName, before.FileName);
        EXPECT_EQ(after.Kind, before.Kind);
        EXPECT_EQ(after.Fields, before.Fields);
        // Properties for an audio size of 0; the file's tags are not read.
        EXPECT_EQ(after.Seconds, "0");
        EXPECT_EQ(after.AudioSize, "");
        EXPECT_FALSE(after.Checked);
    }
    EXPECT_EQ(loaded.rows[0].InfoText, "RMP 128kbit  44.1KHz 000sec ");
}

TEST_F(CsvTest, ASpreadsheetMadeFileWithBackslashesQuotedCommasAndQuotes) {
    const std::string rmp = test::CopyCorpusFile(kRmp, dir, "sub/b.rmp");
    // Free-format MPEG (bit-rate index 0) is recognised but has no property text.
    test::WriteFile(dir / "free.mp3", std::string("\xFF\xFB\x04\x00", 4) + std::string(400, '\0'));
    test::WriteFile(dir / "sheet.csv",
                    "sub\\b.rmp,3,\"Title, with comma\",\"He said \"\"hi\"\"\",Album,a b\r\n"
                    "missing.mp3,1,x\r\n"
                    "\r\n" +
                        dir / "sheet.csv" + ",1\r\nfree.mp3,1\r\n");
    CsvLoadReport report;
    ASSERT_TRUE(Load(session, {dir / "sheet.csv"}, &report));
    ASSERT_EQ(session.rows.size(), 1);
    const TrackInfo& row = session.rows[0];
    EXPECT_EQ(row.Path, rmp);
    EXPECT_EQ(row.Fields[kTitle], "Title, with comma");
    EXPECT_EQ(row.Fields[kArtist], "He said \"hi\"");
    EXPECT_EQ(row.Fields[kAlbum], "Album");
    EXPECT_EQ(row.Fields[kComment], "a");  // an unquoted value ends at a space
    EXPECT_EQ(row.Fields[kDate], "b");
    EXPECT_EQ(report.skipped, (CsvLineNumbers{{dir / "sheet.csv", 2}, {dir / "sheet.csv", 4}, {dir / "sheet.csv", 5}}));
    EXPECT_TRUE(prompter.shown().empty());  // skipped lines say nothing
}

// A text cut mid-character (a 30-byte ID3v1 title) ends in a lone lead byte: it must not pair
// with the quote, comma or line end written after it.
TEST_F(CsvTest, ATextEndingInALoneLeadByteKeepsItsRowAndColumns) {
    const std::string a = test::CopyCorpusFile(kMp3, dir, "a.mp3");
    const std::string b = test::CopyCorpusFile(kMp3, dir, "b.mp3");
    for (std::vector<int> columns : {std::vector<int>{0, 1, 2}, std::vector<int>{1, 0, 2}}) {
        Columns(columns);
        session.rows.Clear();
        Listed(a, "T\x82", "A1");
        Listed(b, "T2", "A2");
        Save();
        Session loaded;
        loaded.settings = session.settings;
        ASSERT_TRUE(Load(loaded, {dir / "out.csv"}));
        ASSERT_EQ(loaded.rows.size(), 2);
        EXPECT_EQ(loaded.rows[0].Fields[kTitle], "T");  // the half character is dropped on save
        EXPECT_EQ(loaded.rows[0].Fields[kArtist], "A1");
        EXPECT_EQ(loaded.rows[1].Fields[kArtist], "A2");
    }
    // Written by another program: a quoted value and a bare last value ending in a lone lead byte.
    Columns({0, 1, 2});
    test::WriteFile(dir / "other.csv", a + ",\"T\x82\",A\x82\r\n" + b + ",T2\r\n");
    Session loaded;
    loaded.settings = session.settings;
    ASSERT_TRUE(Load(loaded, {dir / "other.csv"}));
    ASSERT_EQ(loaded.rows.size(), 2);
    EXPECT_EQ(loaded.rows[0].Fields[kTitle], "T\x82");
    EXPECT_EQ(loaded.rows[0].Fields[kArtist], "A\x82");
    EXPECT_EQ(loaded.rows[1].Fields[kTitle], "T2");
}

// A line break stays inside a quoted value only when the quote closes at the end of a value;
// a quote that does not (a bare one in spreadsheet style) ends at its line's end. Lines may end
// in CR alone.
TEST_F(CsvTest, AnUnclosedQuoteEndsAtItsLineEnd) {
    std::vector<std::string> paths;
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) paths.push_back(test::CopyCorpusFile(kMp3, dir, name));
    Columns({0, 1, 2});
    test::WriteFile(dir / "in.csv", paths[0] + ",\"Hi,Artist1\r" + paths[1] + ",\"a\rb\",Artist2\r" + paths[2] +
                                        ",x\"y,\"z\"\r" + paths[3] + ",T4,\"A4\r");
    ASSERT_TRUE(Load(session, {dir / "in.csv"}));
    ASSERT_EQ(session.rows.size(), 4);
    EXPECT_EQ(session.rows[0].Fields[kTitle], "Hi,Artist1");
    EXPECT_EQ(session.rows[1].Fields[kTitle], "a\rb");
    EXPECT_EQ(session.rows[1].Fields[kArtist], "Artist2");
    EXPECT_EQ(session.rows[2].Fields[kArtist], "z");
    EXPECT_EQ(session.rows[3].Fields[kArtist], "A4");
}

// Values with spaces that a Shift-JIS file holds bare give lines more values than columns: their
// texts stand in the wrong columns. The user is asked, seeing which lines, before the list
// changes; No leaves it as it was.
TEST_F(CsvTest, LinesWithMoreValuesThanColumnsAreNamedAndLoadedOnlyWhenTheUserSaysSo) {
    const std::string a = test::CopyCorpusFile(kMp3, dir, "a.mp3");
    const std::string b = test::CopyCorpusFile(kMp3, dir, "b.mp3");
    Columns({0, 1, 2});
    test::WriteFile(dir / "in.csv", a + ",Blue Sky,A\r\n" + b + ",T,A\r\n" + dir / "gone.mp3" + ",x y,z\r\n");
    Listed("/m/kept.mp3", "", "");
    session.settings.Set(Option::EdtAddClr, true);
    CsvLoadReport report;
    prompter.Answer(PromptAnswer::No);
    EXPECT_FALSE(Load(session, {dir / "in.csv"}, &report));
    ASSERT_EQ(session.rows.size(), 1);
    EXPECT_EQ(session.rows[0].Path, "/m/kept.mp3");
    EXPECT_EQ(report.overlong, (CsvLineNumbers{{dir / "in.csv", 1}, {dir / "in.csv", 3}}));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompter.shown()[0].text, "列の数より多い値のある行が 2 行あります（空白を含む値が「\"」で囲まれていないの"
                                        "かもしれません）。\n\nin.csv 1行目\nin.csv 3行目\n\n値がずれた行も読み込みますか？");

    ASSERT_TRUE(Load(session, {dir / "in.csv"}));  // Yes
    ASSERT_EQ(session.rows.size(), 2);
    EXPECT_EQ(session.rows[0].Fields[kTitle], "Blue");
    EXPECT_EQ(session.rows[0].Fields[kArtist], "Sky");
}

// Our UTF-8 file as a spreadsheet or Python's csv module writes it again: a value with a space
// or a quote inside is left bare, a value with a comma or a line break is quoted. Read by RFC
// 4180, the columns stay in place and the header line, whose names hold spaces, is known.
TEST_F(CsvTest, AFileWithAByteOrderMarkIsReadByRfc4180) {
    const std::string a = test::CopyCorpusFile(kMp3, dir, "a b.mp3");
    Columns({0, 1, 2, 3, 17});
    test::WriteFile(dir / "sheet.csv", "\xEF\xBB\xBF" "ファイル名,曲名,アーティスト,アルバム,コード 17\r\n" +
                                           a + ",著作権 2001, 6\" x \"7\",\"a, \"\"b\"\"\nc\",end value\r\n");
    CsvLoadReport report;
    ASSERT_TRUE(Load(session, {dir / "sheet.csv"}, &report));
    ASSERT_EQ(session.rows.size(), 1);
    EXPECT_EQ(session.rows[0].Path, a);
    EXPECT_EQ(session.rows[0].Fields[kTitle], Sjis("著作権 2001"));
    EXPECT_EQ(session.rows[0].Fields[kArtist], " 6\" x \"7\"");
    EXPECT_EQ(session.rows[0].Fields[kAlbum], "a, \"b\"\nc");
    EXPECT_EQ(session.rows[0].Fields[16], "end value");
    EXPECT_TRUE(report.overlong.empty());
    EXPECT_TRUE(prompter.shown().empty());
}

// With EdtAddClr the lines' rows replace the list; lines that add nothing leave it as it was.
TEST_F(CsvTest, AddClearEmptiesTheListOnlyWhenARowComes) {
    Columns({0, 1});
    Listed("/m/edited.mp3", "unwritten edit", "");
    session.settings.Set(Option::EdtAddClr, true);
    test::WriteFile(dir / "missing.csv", "\"" + dir / "gone.mp3" + "\",\"x\"\r\n");
    ASSERT_TRUE(Load(session, {dir / "missing.csv"}));
    ASSERT_EQ(session.rows.size(), 1);
    EXPECT_EQ(session.rows[0].Fields[kTitle], "unwritten edit");

    const std::string a = test::CopyCorpusFile(kMp3, dir, "a.mp3");
    test::WriteFile(dir / "one.csv", "\"" + dir / "gone.mp3" + "\",\"x\"\r\n\"" + a + "\",\"new\"\r\n\"" + a + "\",\"newer\"\r\n");
    ASSERT_TRUE(Load(session, {dir / "one.csv"}));
    ASSERT_EQ(session.rows.size(), 1);  // CsvAdd: the second line for a.mp3 replaced the first's row
    EXPECT_EQ(session.rows[0].Fields[kTitle], "newer");
}

TEST_F(CsvTest, ALineForAListedFileReplacesItsRowWithCsvAdd) {
    const std::string a = test::CopyCorpusFile(kMp3, dir, "a.mp3");
    const std::string b = test::CopyCorpusFile(kMp3, dir, "b.mp3");
    Add({a, b});
    Columns({0, 1});
    test::WriteFile(dir / "in.csv", "\"" + a + "\",\"new\"\n\"" + a + "\",\"newer\"\n");
    ASSERT_TRUE(Load(session, {dir / "in.csv"}));
    ASSERT_EQ(session.rows.size(), 2);
    EXPECT_EQ(session.rows[0].Path, b);
    EXPECT_EQ(session.rows[1].Fields[kTitle], "newer");  // the second line replaced the first's row

    session.settings.Set(Option::CsvAdd, false);
    ASSERT_TRUE(Load(session, {dir / "in.csv"}));
    EXPECT_EQ(session.rows.size(), 4);
}

TEST_F(CsvTest, WithoutAPathColumnLinesAreLaidOntoTheRows) {
    for (const char* p : {"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}) Listed(p, "old", "old");
    Row(2).Checked = true;
    Columns({2, 1, 21});
    session.settings.Set(Option::EdtAddClr, true);  // the lines need the rows: they stay
    test::WriteFile(dir / "a.csv", "A1,T1,x\nA2\n");
    test::WriteFile(dir / "b.csv", "B1,U1\n");
    ASSERT_TRUE(Load(session, {dir / "a.csv", dir / "b.csv"}));
    ASSERT_EQ(session.rows.size(), 3);
    EXPECT_EQ(session.rows[0].Fields[kArtist], "B1");  // each file starts again at the first row
    EXPECT_EQ(session.rows[0].Fields[kTitle], "U1");
    EXPECT_EQ(session.rows[0].Seconds, "");  // code 21: Seconds, empty when the line has no value
    EXPECT_EQ(session.rows[1].Fields[kArtist], "A2");
    EXPECT_EQ(session.rows[1].Fields[kTitle], "");
    EXPECT_EQ(session.rows[2].Fields[kTitle], "old");
    EXPECT_TRUE(session.rows[2].Checked);
}

TEST_F(CsvTest, CdPlayerTrackList) {
    for (const char* p : {"/m/1.mp3", "/m/2.mp3", "/m/3.mp3"}) Listed(p, "old", "old");
    session.settings.Set(Option::CsvKnowCD, true);
    session.settings.Set(Option::EdtAddClr, true);  // the track list needs the rows: they stay
    test::WriteFile(dir / "cd.csv", "\"Album X\",1999\r\n\"Artist Y\"\r\n1,One,4:00,c1\r\n2,Two,3:00\r\n3,Three,1:00,c3\r\n");
    test::WriteFile(dir / "other.csv", "Z\r\nZ\r\n1,Z,Z,Z\r\n");
    ASSERT_TRUE(Load(session, {dir / "cd.csv", dir / "other.csv"}));
    ASSERT_EQ(session.rows.size(), 3);
    EXPECT_EQ(session.rows[0].Fields[kTitle], "One");
    EXPECT_EQ(session.rows[0].Fields[kArtist], "Artist Y");
    EXPECT_EQ(session.rows[0].Fields[kAlbum], "Album X");
    EXPECT_EQ(session.rows[0].Fields[kComment], "c1");
    EXPECT_EQ(session.rows[1].Fields[kTitle], "old");  // three values stop the run
    EXPECT_EQ(session.rows[2].Fields[kTitle], "old");
}

TEST_F(CsvTest, AFileThatCannotBeReadIsNamedAndNothingListedIsLost) {
    Add({test::CopyCorpusFile(kMp3, dir, "a.mp3")});
    Columns({0, 1});
    test::WriteFile(dir / "good.csv", "\"" + dir / "a.mp3" + "\",\"from good\"\n");
    session.settings.Set(Option::EdtAddClr, true);
    EXPECT_FALSE(Load(session, {dir / "missing.csv", dir / "good.csv"}));
    ASSERT_EQ(session.rows.size(), 1);  // not cleared: nothing was read
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text,
              "ファイルを読み込めませんでした。\n" + dir / "missing.csv" + "\n" + std::strerror(ENOENT));
    EXPECT_TRUE(prompter.shown()[0].icon == PromptIcon::Stop);

    // Rows read from files before the one that failed stay.
    session.settings.Set(Option::EdtAddClr, false);
    EXPECT_FALSE(Load(session, {dir / "good.csv", dir.path()}));
    ASSERT_EQ(session.rows.size(), 1);
    EXPECT_EQ(session.rows[0].Fields[kTitle], "from good");
}

TEST_F(CsvTest, AFileThatCannotBeWrittenLeavesTheOldOneAndNothingBeside) {
    Listed("/m/a.mp3", " t ", "");
    EXPECT_FALSE(SaveCsv(session, dir / "no/such/folder/out.csv", prompter, nullptr));
    EXPECT_EQ(session.rows[0].Fields[kTitle], " t ");  // nothing trimmed
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0].rfind("ファイルを作成できませんでした。\n" + dir / "no/such/folder/out.csv\n", 0), 0u);

    test::WriteFile(dir / "out.csv", "old");
    fs::SetFaultHook([](const char* operation, uint64_t) { return std::string(operation) == "write"; });
    EXPECT_FALSE(SaveCsv(session, dir / "out.csv", prompter, nullptr));
    fs::SetFaultHook(nullptr);
    EXPECT_EQ(test::ReadFile(dir / "out.csv"), "old");
    EXPECT_EQ(std::distance(stdfs::directory_iterator(dir.path()), stdfs::directory_iterator()), 1);
}
