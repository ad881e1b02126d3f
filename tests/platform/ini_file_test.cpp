#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/base/FileOps.h"
#include "platform/base/IniFile.h"
#include "support/TestSupport.h"

using namespace wvr;

TEST(IniFile, SectionsAndKeysInFileOrderFirstKeyWins) {
    IniFile ini =
        IniFile::Parse("[wvr]\r\na=1\r\n[HTML]\nk=first\nb=\"q\"\nK=second\n[wvr_csv]\nData_0=\"0102\"\n[Text]\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{"wvr", "HTML", "wvr_csv", "Text"}));
    EXPECT_EQ(ini.Value("HTML", "k"), "first");
    EXPECT_EQ(ini.Value("html", "K"), "first");
    EXPECT_EQ(ini.Value("wvr_csv", "Data_0"), "0102");
    EXPECT_FALSE(ini.Value("Text", "x"));
    EXPECT_FALSE(ini.Value("None", "x"));
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(ini.Entries("html"), (Entries{{"k", "first"}, {"b", "q"}}));
    EXPECT_EQ(ini.Keys("html"), (std::vector<std::string>{"k", "b"}));
}

TEST(IniFile, QuotesAroundAValueGoOnlyWhenThereAreTwo) {
    IniFile ini = IniFile::Parse("[HTML]\r\nFooter=\"\"\r\nOne=\"\r\nInner=a\"\"b\r\nOpen=\"x\r\n");
    EXPECT_EQ(ini.Value("HTML", "Footer"), "");
    EXPECT_EQ(ini.Value("HTML", "One"), "\"");
    EXPECT_EQ(ini.Value("HTML", "Inner"), "a\"\"b");
    EXPECT_EQ(ini.Value("HTML", "Open"), "\"x");
}

TEST(IniFile, SectionNameWithBracketAsSecondByte) {
    // "ム" is 83 5D: its second byte is "]".
    std::string name = test::Sjis("アルバム");
    IniFile ini = IniFile::Parse("[" + name + "]\r\nx=1\r\n");
    ASSERT_EQ(ini.SectionNames().size(), 1u);
    EXPECT_EQ(ini.SectionNames()[0], name);
    EXPECT_EQ(ini.Value(name, "x"), "1");
}

TEST(IniFile, SecondBytesAreNoLetters) {
    // "ア" is 83 41 and "ヂ" is 83 61: their second bytes are "A" and "a".
    const std::string a = test::Sjis("ア"), di = test::Sjis("ヂ");
    IniFile ini = IniFile::Parse("[" + a + "]\r\nk=1\r\n[" + di + "]\r\nk=2\r\n");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::string>{a, di}));
    EXPECT_EQ(ini.Value(di, "k"), "2");
    EXPECT_FALSE(EqualsIgnoringAsciiCase(a, di));
    EXPECT_EQ(IniFile::Parse("[s]\r\n" + a + "=1\r\n" + di + "=2\r\n").Keys("s"), (std::vector<std::string>{a, di}));
    EXPECT_TRUE(EqualsIgnoringAsciiCase(a + "Key", a + "kEY"));
}

TEST(IniFile, WriteEraseAndRenderWithCrLf) {
    IniFile ini;
    ini.SetValue("wvr_csv", "Count", "1");
    ini.SetValue("wvr_csv", "Data_0", "\"0102\"");
    ini.SetValue("A", "k", "v");
    ini.SetValue("wvr_csv", "count", "2");
    EXPECT_EQ(ini.Render(), "[wvr_csv]\r\nCount=2\r\nData_0=\"0102\"\r\n[A]\r\nk=v\r\n");
    ini.EraseSection("WVR_CSV");
    EXPECT_EQ(ini.Render(), "[A]\r\nk=v\r\n");
}

TEST(IniFile, ChangesTouchOnlyTheirOwnLines) {
    const std::string text = "; top\n[A]\n  k = 1 \n\n; about B\r\n[B]\r\nx=\"q\"\r\n[a]\nlater=2";
    IniFile ini = IniFile::Parse(text);
    EXPECT_EQ(ini.Render(), text);
    EXPECT_EQ(ini.Value("A", "k"), "1");
    EXPECT_EQ(ini.Value("A", "later"), "2");  // one section, met twice
    ini.SetValue("B", "x", "r");
    ini.SetValue("B", "y", "s");
    ini.SetValue("A", "later", "3");
    EXPECT_EQ(ini.Render(), "; top\n[A]\n  k = 1 \n\n; about B\r\n[B]\r\nx=r\r\ny=s\r\n[a]\nlater=3");
    ini.SetValue("C", "z", "1");  // a new section after a last line without its end
    EXPECT_EQ(ini.Render(), "; top\n[A]\n  k = 1 \n\n; about B\r\n[B]\r\nx=r\r\ny=s\r\n[a]\nlater=3\r\n[C]\r\nz=1\r\n");
    ini.ReplaceSection("b", {{"n", "1"}});
    EXPECT_EQ(ini.Render(), "; top\n[A]\n  k = 1 \n\n; about B\r\n[B]\r\nn=1\r\n[a]\nlater=3\r\n[C]\r\nz=1\r\n");
    ini.EraseSection("A");
    EXPECT_EQ(ini.Render(), "; top\n[B]\r\nn=1\r\n[C]\r\nz=1\r\n");
}

TEST(IniFile, SaveAndLoadKeepBytes) {
    test::TempDir dir;
    IniFile ini;
    std::string text = test::Sjis("表示ソ") + "\x81";
    ini.SetValue("S", "k", text);
    ASSERT_TRUE(ini.Save(dir / "x.ini"));
    EXPECT_EQ(IniFile::Load(dir / "x.ini").Value("S", "k"), text);
    EXPECT_TRUE(IniFile::Load(dir / "missing.ini").SectionNames().empty());
}

namespace {
bool FailWrites(const char* operation, uint64_t) { return std::string(operation) == "write"; }
}  // namespace

TEST(IniFile, FailedSaveLeavesTheOldFileWhole) {
    test::TempDir dir;
    const std::string path = dir / "wvr.ini";
    const std::string before = "[HTML]\r\nHeader=<html>\r\n";
    test::WriteFile(path, before);
    IniFile ini = IniFile::Load(path);
    ini.SetValue("wvr_csv", "Count", "1");
    fs::SetFaultHook(FailWrites);
    const bool saved = ini.Save(path);
    fs::SetFaultHook(nullptr);
    EXPECT_FALSE(saved);
    EXPECT_EQ(test::ReadFile(path), before);
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(test::ReadFile(path), before + "[wvr_csv]\r\nCount=1\r\n");
}

TEST(IniFile, AFileThatCannotBeReadIsNotLoadedForUpdate) {
    test::TempDir dir;
    EXPECT_TRUE(IniFile::LoadForUpdate(dir / "missing.ini"));
    // Larger than an ini file may be: not read, so never to be replaced by what was not seen.
    const std::string huge = dir / "huge.ini";
    test::WriteFile(huge, "[HTML]\r\n");
    ASSERT_EQ(::truncate(huge.c_str(), 65 << 20), 0);
    EXPECT_FALSE(IniFile::LoadForUpdate(huge));
    EXPECT_TRUE(IniFile::Load(huge).SectionNames().empty());
}
