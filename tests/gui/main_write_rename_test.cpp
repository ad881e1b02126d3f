// The main window's write, rename and restore commands, from their menu items, on copies of
// corpus files; the edit window follows the rows they change.
#include <QPushButton>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "TageditFixture.h"
#include "dialogs/UndoRuns.h"
#include "formats/Id3v1.h"

using namespace wvr;
using namespace wvr::test;

namespace {

const std::string kWriteQuestion = "チェックされているアイテムは、2個あります。\n書き込んでもよろしいですか？";
const std::string kRenamedA = "[山田太郎]_春の小川.mp3";  // the default pattern; spaces become "_"

// Three untagged MPEG files; the first two are checked and get a title.
struct ThreeFiles : EditFixture {
    ThreeFiles() : EditFixture({{kNoTag, "a.mp3"}, {kNoTag, "b.mp3"}, {kNoTag, "c.mp3"}}) {
        for (const char* name : {"a.mp3", "b.mp3"}) {
            session().rows.Edit(RowOf(name), [name](TrackInfo& r) {
                r.Fields[kTitle] = std::string("Title ") + name;
                r.Checked = true;
            });
        }
    }
    bool Tagged(const std::string& name) {
        const std::string bytes = ReadFile(Path(name));
        const std::string original = ReadFile(CorpusPath(kNoTag));
        return bytes.size() == original.size() + kId3v1Size && bytes.compare(0, original.size(), original) == 0 &&
               bytes.substr(original.size(), 14) == "TAGTitle " + name;
    }
    bool Untouched(const std::string& name) { return ReadFile(Path(name)) == ReadFile(CorpusPath(kNoTag)); }
};

}  // namespace

class MainWriteRenameTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetStoredSettings(); }

    void writeAsksWithTheCountAndWritesTheCheckedRows() {
        ThreeFiles f;
        f.main.action("W1")->trigger();
        QCOMPARE(f.prompter.shown().size(), size_t(1));
        const Prompt& asked = f.prompter.shown()[0];
        QCOMPARE(asked.text, kWriteQuestion);
        QCOMPARE(asked.title, std::string("wvr"));
        QVERIFY(asked.icon == PromptIcon::Question);
        QVERIFY(asked.buttons == PromptButtons::YesNo);
        QVERIFY(f.Tagged("a.mp3"));
        QVERIFY(f.Tagged("b.mp3"));
        QVERIFY(f.Untouched("c.mp3"));
        QVERIFY(!f.session().rows.AnyChecked());
    }

    void answeringNoWritesNothing() {
        ThreeFiles f;
        f.prompter.Answer(PromptAnswer::No);
        f.main.action("W1")->trigger();
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{kWriteQuestion});
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) QVERIFY(f.Untouched(name));
        QCOMPARE(f.session().rows.CheckedCount(), 2);
    }

    void renameThenWriteMovesTheFile() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}});
        const int a = f.RowOf("a.mp3");
        f.session().rows.Edit(a, [](TrackInfo& r) { r.Checked = true; });
        f.main.GoToRow(a);
        f.main.action("Rename")->trigger();
        QCOMPARE(f.prompter.texts(),
                 std::vector<std::string>{"チェックされているアイテムは、1個あります。\nリネームしてもよろしいですか？"});
        QCOMPARE(f.row(a).FileName, Sjis(kRenamedA));
        QCOMPARE(f.edit.fileNameBox()->text(), QString::fromStdString(kRenamedA));
        QCOMPARE(f.row(f.RowOf("b.mp3")).FileName, std::string("b.mp3"));
        // Nothing on disk until the write.
        QVERIFY(std::filesystem::exists(f.Path("a.mp3")));
        QVERIFY(!std::filesystem::exists(f.Path(kRenamedA)));

        f.main.action("W1")->trigger();
        QVERIFY(!std::filesystem::exists(f.Path("a.mp3")));
        QCOMPARE(ReadFile(f.Path(kRenamedA)).size(), ReadFile(CorpusPath(kMpeg)).size());
        QCOMPARE(f.row(a).Path, Sjis(f.Path(kRenamedA)));
        QVERIFY(!f.row(a).Checked);
        QCOMPARE(f.edit.windowTitle(), QString::fromStdString(f.Path(kRenamedA)));
    }

    void restoreGivesTheCheckedRowsTheirNamesBack() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}});
        const int a = f.RowOf("a.mp3");
        const int b = f.RowOf("b.mp3");
        for (int row : {a, b}) f.session().rows.Edit(row, [](TrackInfo& r) { r.Checked = true; });
        f.main.GoToRow(a);
        f.main.action("R4")->trigger();  // the pop-up menu's rename
        QCOMPARE(f.row(a).FileName, Sjis(kRenamedA));
        const std::string renamedB = f.row(b).FileName;
        QVERIFY(renamedB != "b.mp3");

        f.prompter.Clear();
        f.main.action("filenameundo")->trigger();
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"ファイル名を元に戻します。よろしいですか？"});
        QCOMPARE(f.row(a).FileName, std::string("a.mp3"));
        QCOMPARE(f.row(b).FileName, std::string("b.mp3"));
        QCOMPARE(f.edit.fileNameBox()->text(), QString("a.mp3"));

        // Only checked rows get their names back; the check marks stay as they are.
        f.main.action("Rename")->trigger();
        f.session().rows.Edit(b, [](TrackInfo& r) { r.Checked = false; });
        f.main.action("K1")->trigger();  // the pop-up menu's restore
        QCOMPARE(f.row(a).FileName, std::string("a.mp3"));
        QCOMPARE(f.row(b).FileName, renamedB);
        QVERIFY(f.row(a).Checked);
        QVERIFY(std::filesystem::exists(f.Path("a.mp3")) && std::filesystem::exists(f.Path("b.mp3")));
    }

    void aWriteThatEmptiesTheListClosesTheEditWindow() {
        EditFixture f({{kNoTag, "a.mp3"}});
        f.session().settings.Set(Option::WitEndClr, true);
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Checked = true; });
        QVERIFY(f.edit.IsShown());
        f.main.action("W1")->trigger();
        QVERIFY(f.session().rows.empty());
        QVERIFY(!f.edit.IsShown());
        QCOMPARE(ReadFile(f.Path("a.mp3")).substr(ReadFile(CorpusPath(kNoTag)).size(), 3), std::string("TAG"));

        // The edit window's own write does the same for its one row.
        EditFixture g({{kNoTag, "b.mp3"}, {kNoTag, "c.mp3"}});
        g.session().settings.Set(Option::WitEndClr, true);
        g.Show("b.mp3");
        Type(g.edit.box(0), "B");
        g.EditItem("W1")->trigger();
        QCOMPARE(g.session().rows.size(), 1);
        QVERIFY(g.edit.IsShown());
        QCOMPARE(g.edit.windowTitle(), QString::fromStdString(g.Path("c.mp3")));
        Type(g.edit.box(0), "C");
        g.EditItem("W1")->trigger();
        QVERIFY(g.session().rows.empty());
        QVERIFY(!g.edit.IsShown());
    }

    // The edit menu's dialog lists the write, shows each title it changed and takes it back.
    void theUndoDialogShowsAndTakesBackTheWrite() {
        TempDir state;
        ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
        ThreeFiles f;
        QVERIFY(f.main.action("UndoWrite1"));
        f.main.action("W1")->trigger();
        QVERIFY(f.Tagged("a.mp3") && f.Tagged("b.mp3"));
        f.prompter.Clear();
        UndoRunsDialog dialog(f.prompter, &f.main);
        auto* runs = dialog.findChild<QTreeWidget*>("RunList");
        QCOMPARE(runs->topLevelItemCount(), 1);
        QCOMPARE(runs->topLevelItem(0)->text(1), QString::fromUtf8("書き込み"));
        auto* changes = dialog.findChild<QTreeWidget*>("ChangeList");
        QStringList titles;
        for (int i = 0; i < changes->topLevelItemCount(); ++i)
            titles << changes->topLevelItem(i)->text(1) + "=" + changes->topLevelItem(i)->text(3);
        titles.sort();
        QCOMPARE(titles, QStringList({QString::fromUtf8("曲名=Title a.mp3"), QString::fromUtf8("曲名=Title b.mp3")}));
        dialog.findChild<QPushButton*>("UndoBtn")->click();
        QVERIFY(f.Untouched("a.mp3") && f.Untouched("b.mp3"));
        QCOMPARE(f.prompter.shown().back().text, std::string("2 ファイルを元に戻しました。"));
        QCOMPARE(runs->topLevelItem(1)->text(3), QString::fromUtf8("元に戻し済み"));
    }
};

QTEST_MAIN(MainWriteRenameTest)
#include "main_write_rename_test.moc"
