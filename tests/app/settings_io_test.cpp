// The settings store at start and close: defaults, a store as this version writes it, a full
// round trip, blocks that stop at their first missing or wrong-typed value, the ini-file parts,
// and failed saves.
#include <gtest/gtest.h>

#include <QSettings>
#include <filesystem>
#include <map>

#include "app/commands/SettingsIo.h"
#include "platform/core/Registry.h"
#include "support/IsolatedConfig.h"
#include "support/TestSupport.h"

using namespace wvr;
using test::Sjis;

namespace {

const std::string kSaveFailed = "レジストリへの保存に失敗しました。";

// Every value different from its default.
Settings Changed() {
    Settings s;
    s.bits.flip();
    s.StatusBarVis = s.GridLineVis = s.ToolBarVis = false;
    s.WndWidth = 801;
    s.WndHeight = 602;
    for (int c = 0; c < kColumnCount; ++c) s.columnWidths[c] = 10 + c;
    s.EdtClmIdx = 2;
    s.RenString = {"[%1] %2%e", Sjis("%2 ソ表 %1%e"), "a,b \"q\""};
    s.RenStrIdx = 2;
    s.PlyPlayer = "/home/zoë/プレーヤー/再生 ソ.exe";  // paths as the file system names them
    s.CnvEngineer = Sjis("技術者");
    s.RenLrcFld = "/home/zoë/歌詞/";
    s.fonts[0] = {Sjis("ＭＳ 明朝"), 12, 0x00FFEEDD};
    s.fonts[1] = {"Courier", 8, 0x000000FF};
    s.fonts[2] = {Sjis("IPAゴシック"), 14, 0x00123456};
    s.editWindow = {1, 1, 640, 480, 0};
    s.ReName = {{"a", "b", "3"}, {Sjis("ソ"), "x y", "\"quoted\""}};
    s.FilterSel = true;
    s.Filter = {{true, 2, Sjis("歌手")}, {false, 0, "x.mp3"}, {true, 14, ""}};
    s.csvColumns = {1, 2, 10};
    s.CsvUtf8 = s.CsvHeader = true;
    s.Id3v2Edit = true;
    s.Id3v2Version = 4;
    s.JournalDays = 7;
    s.JournalMegabytes = 50;
    return s;
}

Settings Loaded() {
    Settings s;
    LoadSettings(s);
    LoadEditWindowSettings(s.editWindow);
    return s;
}

RegistryKey Key(const std::string& subkey = "") { return *RegistryKey::Open(subkey, true); }

std::string ConfigFile(const std::string& name) { return ConfigFolder() + name; }

class SettingsTest : public ::testing::Test {
protected:
    test::IsolatedConfig config;
    test::ScriptedPrompter prompter;
};

}  // namespace

TEST_F(SettingsTest, FirstStartGivesTheDefaults) {
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s.WndWidth, 526);
    EXPECT_EQ(s.WndHeight, 264);
    EXPECT_TRUE(s.StatusBarVis && s.GridLineVis && s.ToolBarVis);
    EXPECT_EQ(s.columnWidths, (std::array<int, kColumnCount>{150, 150, 100, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}));
    EXPECT_EQ(s.RenString, (std::vector<std::string>{"[%1] %2%e"}));
    EXPECT_EQ(s.RenStrIdx, 0);
    ASSERT_EQ(s.Filter.size(), 1u);
    EXPECT_EQ(s.Filter[0].Index, 0);
    EXPECT_EQ(s.Filter[0].Str, "");
    EXPECT_FALSE(s.FilterSel) << "exclusion mode";
    EXPECT_TRUE(s.ReName.empty());
    EXPECT_TRUE(s.csvColumns.empty());
    std::vector<int> set;
    for (int bit = 0; bit < kOptionCount; ++bit)
        if (s.bits[bit]) set.push_back(bit);
    EXPECT_EQ(set, (std::vector<int>{5, 9, 10, 13, 20, 25, 26, 29, 32, 33, 38}));
    EXPECT_EQ(s.fonts[0].name, Sjis("ＭＳ Ｐゴシック"));
}

// A store as this version writes it (tests/data/text/wvr_2.conf, saved from Changed()): its
// values arrive, and a save writes the same names and values. A renamed key would lose what
// users stored.
TEST_F(SettingsTest, AStoreOfThisVersionLoadsAndASaveWritesTheSameNames) {
    const std::string store = ConfigFile("wvr_2.conf");
    std::filesystem::create_directories(ConfigFolder());
    std::filesystem::copy_file(test::CorpusPath("text/wvr_2.conf"), store);
    auto stored = [&] {
        QSettings file(QString::fromStdString(store), QSettings::IniFormat);
        std::map<std::string, std::string> values;
        for (const QString& name : file.allKeys()) values[name.toStdString()] = file.value(name).toString().toStdString();
        return values;
    };
    const auto written = stored();
    Settings expected = Changed();
    expected.csvColumns.clear();  // kept in wvr.ini
    const Settings loaded = Loaded();
    EXPECT_EQ(loaded.bits, expected.bits);
    EXPECT_EQ(loaded.editWindow, expected.editWindow);
    EXPECT_TRUE(loaded == expected) << "some other value differs";

    std::filesystem::remove(store);
    SaveSettings(Changed(), prompter);
    EXPECT_EQ(stored(), written);
}

// Paths stored by earlier versions, as texts, read back as the same file-system names.
TEST_F(SettingsTest, PathsStoredAsTextsReadAsTheirNames) {
    auto key = RegistryKey::Open("", true);
    ASSERT_TRUE(key && key->WriteString("RenLrcFld", Sjis("/歌詞/")) && key->Flush());
    EXPECT_EQ(key->ReadPath("RenLrcFld"), std::optional<std::string>("/歌詞/"));
}

TEST_F(SettingsTest, EveryValueSurvivesSaveAndLoad) {
    const Settings saved = Changed();
    SaveSettings(saved, prompter);
    EXPECT_TRUE(prompter.shown().empty());
    const Settings loaded = Loaded();
    EXPECT_EQ(loaded.bits, saved.bits);
    EXPECT_EQ(loaded.columnWidths, saved.columnWidths);
    EXPECT_EQ(loaded.RenString, saved.RenString);
    EXPECT_EQ(loaded.PlyPlayer, saved.PlyPlayer);
    EXPECT_EQ(loaded.fonts, saved.fonts);
    EXPECT_EQ(loaded.editWindow, saved.editWindow);
    EXPECT_EQ(loaded.ReName, saved.ReName);
    EXPECT_EQ(loaded.Filter, saved.Filter);
    EXPECT_EQ(loaded.csvColumns, saved.csvColumns);
    EXPECT_TRUE(loaded == saved) << "some other value differs";
}

TEST_F(SettingsTest, SavingRewritesTheSubkeysWhole) {
    Settings s = Changed();
    SaveSettings(s, prompter);
    s.Filter.resize(1);
    s.ReName.clear();
    SaveSettings(s, prompter);
    EXPECT_FALSE(Key("Filter").ReadString("Str2")) << "an old entry is left";
    EXPECT_FALSE(Key("ReName").ReadString("String0"));
    EXPECT_EQ(Loaded().Filter, s.Filter);
}

TEST_F(SettingsTest, MissingValueStopsTheMainBlockThere) {
    RegistryKey key = Key();
    key.WriteInteger("StatusBarVis", 0);
    key.WriteInteger("GridLineVis", 0);
    key.WriteInteger("ToolBarVis", 0);
    key.WriteInteger("WndWidth", 700);
    key.WriteInteger("WndHeight", 500);
    for (int c = 0; c < kColumnCount; ++c) key.WriteInteger("Column" + std::to_string(c), 20 + c);
    // Bit 0 is missing; what follows it in the reading order is not read even though stored.
    for (int bit = 1; bit < kOptionCount; ++bit) key.WriteInteger(OptionName(bit), 1);
    key.WriteString("RenString", "%2%e");
    key.WriteString("PlyPlayer", "player");
    ASSERT_TRUE(key.Flush());

    const Settings s = Loaded();
    const Settings defaults;
    EXPECT_FALSE(s.StatusBarVis);
    EXPECT_FALSE(s.ToolBarVis);
    EXPECT_EQ(s.WndWidth, 700);
    EXPECT_EQ(s.WndHeight, 500);
    EXPECT_EQ(s.columnWidths[14], 34);
    EXPECT_EQ(s.bits, defaults.bits);
    EXPECT_EQ(s.RenString, (std::vector<std::string>{"[%1] %2%e"}));
    EXPECT_EQ(s.PlyPlayer, "");
}

TEST_F(SettingsTest, WrongTypedValueStopsTheMainBlockThere) {
    const Settings saved = Changed();
    SaveSettings(saved, prompter);
    Key().WriteString("EdtClmIdx", "sort");

    const Settings s = Loaded();
    const Settings defaults;
    EXPECT_EQ(s.WndWidth, 801);
    EXPECT_EQ(s.columnWidths, saved.columnWidths);
    for (int bit = 0; bit <= 20; ++bit) EXPECT_EQ(s.bits[bit], saved.bits[bit]) << "bit " << bit << " is read before";
    for (int bit = 21; bit < kOptionCount; ++bit) EXPECT_EQ(s.bits[bit], defaults.bits[bit]) << "bit " << bit;
    EXPECT_EQ(s.EdtClmIdx, 0);
    EXPECT_EQ(s.RenString, (std::vector<std::string>{"[%1] %2%e"}));
    EXPECT_EQ(s.PlyPlayer, "");
    EXPECT_EQ(s.fonts, defaults.fonts);
    EXPECT_EQ(s.RenLrcFld, "");
    // The other blocks are units of their own.
    EXPECT_EQ(s.ReName, saved.ReName);
    EXPECT_EQ(s.Filter, saved.Filter);
}

TEST_F(SettingsTest, EmptyPatternListGetsTheDefaultPatternAndIndex) {
    SaveSettings(Settings(), prompter);  // RenString stored empty
    Key().WriteInteger("RenStrIdx", 5);
    const Settings s = Loaded();
    EXPECT_EQ(s.RenString, (std::vector<std::string>{"[%1] %2%e"}));
    EXPECT_EQ(s.RenStrIdx, 0);
}

TEST_F(SettingsTest, ExceptionRulesStopAtTheFirstMissingRule) {
    RegistryKey key = Key("ReName");
    key.WriteInteger("StringCount", 3);
    key.WriteString("String0", "a,b,1");
    key.WriteString("String2", "c,d,2");
    ASSERT_TRUE(key.Flush());
    EXPECT_EQ(Loaded().ReName, (std::vector<std::vector<std::string>>{{"a", "b", "1"}}));
}

TEST_F(SettingsTest, FilterStopsAtTheFirstIncompleteEntry) {
    RegistryKey key = Key("Filter");
    key.WriteInteger("FilterCount", 3);
    key.WriteInteger("FilterSel", 1);
    key.WriteString("Str0", "Sample");
    key.WriteInteger("Index0", 2);
    key.WriteInteger("Checked0", 1);
    key.WriteString("Str1", "x.mp3");
    key.WriteString("Index1", "file name");  // wrong type
    key.WriteInteger("Checked1", 1);
    ASSERT_TRUE(key.Flush());
    const Settings s = Loaded();
    EXPECT_TRUE(s.FilterSel);
    EXPECT_EQ(s.Filter, (std::vector<FilterEntry>{{true, 2, "Sample"}}));
}

TEST_F(SettingsTest, FilterWithoutEntriesGetsTheFileNameEntry) {
    RegistryKey key = Key("Filter");
    key.WriteInteger("FilterCount", 0);
    key.WriteInteger("FilterSel", 1);
    ASSERT_TRUE(key.Flush());
    const Settings s = Loaded();
    ASSERT_EQ(s.Filter.size(), 1u);
    EXPECT_EQ(s.Filter[0].Index, 0);
    EXPECT_EQ(s.Filter[0].Str, "");
    EXPECT_TRUE(s.FilterSel);
}

// --- ini files

TEST_F(SettingsTest, OutputSetsAreTheSectionsOfWvrIniButItsOwn) {
    test::WriteFile(ConfigFile("wvr.ini"),
                    "[wvr]\r\nCount=0\r\n[HTML]\r\nHeader=a\r\n[wvr_csv]\r\nData_0=\"01\"\r\n[Text]\r\nBody=b\r\n");
    test::WriteFile(ConfigFile("wvr_In.ini"), "[" + Sjis("曲名リスト") + "]\r\nFormat=%1\r\n[CD]\r\n");
    EXPECT_EQ(OutputSetNames(), (std::vector<std::string>{"HTML", "Text"}));
    EXPECT_EQ(InputFormatNames(), (std::vector<std::string>{Sjis("曲名リスト"), "CD"}));
}

TEST_F(SettingsTest, MissingIniFilesGiveNoSets) {
    EXPECT_TRUE(OutputSetNames().empty());
    EXPECT_TRUE(InputFormatNames().empty());
}

TEST(CsvColumnOrderTest, TwoDigitsPerColumnAndAnOddLastCharacterIgnored) {
    EXPECT_EQ(ParseCsvColumnOrder("0102"), (std::vector<int>{1, 2}));
    EXPECT_EQ(ParseCsvColumnOrder("010"), (std::vector<int>{1}));
    EXPECT_EQ(ParseCsvColumnOrder("1400"), (std::vector<int>{14, 0}));
    EXPECT_TRUE(ParseCsvColumnOrder("").empty());
    EXPECT_EQ(FormatCsvColumnOrder({1, 2, 14}), "010214");
}

TEST_F(SettingsTest, CsvColumnOrderIsReadFromDataZeroWithoutItsQuotes) {
    test::WriteFile(ConfigFile("wvr.ini"), "[HTML]\r\n[wvr_csv]\r\nCount=1\r\nData_0=\"0102\"\r\n");
    Settings s;
    LoadSettings(s);
    EXPECT_EQ(s.csvColumns, (std::vector<int>{1, 2}));
}

TEST_F(SettingsTest, SavingWritesTheCsvSectionAndKeepsTheOthers) {
    test::WriteFile(ConfigFile("wvr.ini"), "[HTML]\r\nHeader=a\r\n[wvr_csv]\r\nCount=7\r\nData_9=x\r\n");
    Settings s;
    s.csvColumns = {1, 2};
    SaveSettings(s, prompter);
    const std::string ini = test::ReadFile(ConfigFile("wvr.ini"));
    EXPECT_NE(ini.find("[HTML]\r\nHeader=a\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[wvr_csv]\r\nCount=1\r\nData_0=\"0102\"\r\n"), std::string::npos) << ini;
    EXPECT_EQ(ini.find("Data_9"), std::string::npos) << "the old section is erased first";
}

TEST_F(SettingsTest, SavingKeepsEveryOtherLineOfWvrIniByteForByte) {
    // Comments, blank lines, LF and CR LF line ends, blanks around values, a last line without end.
    const std::string head = "; my templates\n\n[HTML]\r\nHeader=  <html>\r\n\r\n";
    const std::string csv = "[wvr_csv]\r\n; column order\r\nCount=7\r\nData_9=x\r\n";
    const std::string tail = "\n[Text]\nBody = %1\t\n;end";
    test::WriteFile(ConfigFile("wvr.ini"), head + csv + tail);
    Settings s;
    s.csvColumns = {1, 2};
    SaveSettings(s, prompter);
    EXPECT_EQ(test::ReadFile(ConfigFile("wvr.ini")),
              head + "[wvr_csv]\r\n; column order\r\nCount=1\r\nData_0=\"0102\"\r\n" + tail);
    Settings loaded;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.csvColumns, s.csvColumns);
}

TEST_F(SettingsTest, SavingLeavesAWvrIniThatCouldNotBeReadAsItIs) {
    // Too large to be read: saving the CSV section must not replace it with that section alone.
    const std::string path = ConfigFile("wvr.ini");
    test::WriteFile(path, "[HTML]\r\nHeader=a\r\n");
    std::filesystem::resize_file(path, 65 << 20);
    Settings s;
    s.csvColumns = {1, 2};
    SaveSettings(s, prompter);
    EXPECT_EQ(std::filesystem::file_size(path), 65u << 20);
    EXPECT_EQ(test::ReadFile(path).substr(0, 18), "[HTML]\r\nHeader=a\r\n");
}

TEST_F(SettingsTest, EachBlockThatCannotBeSavedSaysSoOnce) {
    // The store's folder is taken by a file, so nothing can be written.
    std::filesystem::create_directories(config.path());
    test::WriteFile(config / "brambly", "not a folder");
    SaveSettings(Changed(), prompter);
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{kSaveFailed, kSaveFailed, kSaveFailed}));
    for (const Prompt& shown : prompter.shown()) EXPECT_EQ(shown.title, "wvr");
}
