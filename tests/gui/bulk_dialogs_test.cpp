// The dialogs that move tag texts in bulk, offscreen: the output and input dialogs' store
// and delete with the main window's submenus following, macro insertion, their runs; tags
// from file names; CSV save and load from the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "TageditFixture.h"
#include "app/commands/SettingsIo.h"
#include "app/commands/TagsFromName.h"
#include "app/commands/TemplateOutput.h"
#include "dialogs/Unit5.h"
#include "dialogs/Unit6.h"
#include "dialogs/Unit8.h"

using namespace wvr;
using namespace wvr::test;

namespace {

QStringList Items(MainWindow& main, const char* menu) {
    QStringList captions;
    for (QAction* item : main.findChild<QMenu*>(menu)->actions()) captions << item->text();
    return captions;
}

template <class Dialog>
QComboBox* Names(Dialog& d) { return d.template findChild<QComboBox*>("ComboBox1"); }
template <class Dialog>
void Click(Dialog& d, const char* button) { d.template findChild<QPushButton*>(button)->click(); }

// Runs `check` on the modal dialog that `trigger` opens, then closes it.
void WithModal(QAction* trigger, const std::function<void(QDialog&)>& check) {
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        check(*dialog);
        dialog->reject();
    });
    trigger->trigger();
}

}  // namespace

class BulkDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        ForgetStoredSettings();
        for (const char* ini : {kOutputIni, kInputIni}) std::filesystem::remove(IniFilePath(ini));
    }

    void outputSetsStoredAndDeletedAreFollowedByTheSubmenu() {
        EditFixture f({{kMpeg, "a.mp3"}});
        TForm6 dialog(f.main, TForm6::kDefaultItem);
        QCOMPARE(Names(dialog)->currentText(), QString("Default"));
        QVERIFY(!dialog.findChild<QPushButton*>("Button4")->isEnabled());

        Names(dialog)->setEditText("wvr_csv");
        Click(dialog, "Button3");
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"この名前は使用出来ません。変更してください。"});
        QCOMPARE(Items(f.main, "S1"), QStringList{"Default"});

        Names(dialog)->setEditText("HTML");
        dialog.findChild<QPlainTextEdit*>("Memo2")->setPlainText("  <li>%2</li>");
        Click(dialog, "Button3");
        QCOMPARE(Items(f.main, "S1"), (QStringList{"Default", "HTML"}));
        QCOMPARE(Names(dialog)->currentIndex(), 1);
        QVERIFY(dialog.findChild<QPushButton*>("Button4")->isEnabled());
        QCOMPARE(LoadTemplateSet("HTML").body, std::vector<std::string>{"  <li>%2</li>"});

        // Its menu item opens the dialog on it; "Default" opens on the set chosen last.
        dialog.reject();
        QCOMPARE(StoredTemplateSetIndex(), 1);
        auto named = [](QDialog& d) { QCOMPARE(Names(d)->currentText(), QString("HTML")); };
        WithModal(f.main.findChild<QMenu*>("S1")->actions()[1], named);
        WithModal(f.main.findChild<QMenu*>("S1")->actions()[0], named);

        Click(dialog, "Button4");
        QCOMPARE(Items(f.main, "S1"), QStringList{"Default"});
        QCOMPARE(Names(dialog)->currentText(), QString("Default"));
        QVERIFY(!dialog.findChild<QPushButton*>("Button4")->isEnabled());
        QVERIFY(dialog.findChild<QPlainTextEdit*>("Memo1")->toPlainText().startsWith("<html>"));
    }

    void macrosGoToTheCaretOfTheBoxThatHadTheFocusLast() {
        EditFixture f({{kMpeg, "a.mp3"}});
        TForm6 dialog(f.main, TForm6::kDefaultItem);
        auto* footer = dialog.findChild<QPlainTextEdit*>("Memo3");
        const QString before = footer->toPlainText();
        dialog.findChild<QComboBox*>("ComboBox2")->setCurrentIndex(17);  // "番号"
        Click(dialog, "Button5");  // no box had the focus yet
        QCOMPARE(footer->toPlainText(), before);

        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        footer->setFocus();
        footer->moveCursor(QTextCursor::Start);
        Click(dialog, "Button5");
        QCOMPARE(footer->toPlainText(), "%n" + before);
        QVERIFY(footer->hasFocus());

        // Tab walks the row under the footer from left to right.
        QStringList order;
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"Edit1", "Edit2", "ComboBox2"}));
    }

    void theOutputRunsWithTheSetShown() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Fields[kTitle] = "<b>"; });
        TForm6 dialog(f.main, TForm6::kDefaultItem);
        auto* escape = dialog.findChild<QCheckBox*>("CheckBox1");
        QVERIFY(escape->isChecked());  // the Default set makes HTML
        dialog.findChild<QPlainTextEdit*>("Memo1")->setPlainText("");
        dialog.findChild<QPlainTextEdit*>("Memo2")->setPlainText("%n %7 %2");
        dialog.findChild<QPlainTextEdit*>("Memo3")->setPlainText("");
        QVERIFY(dialog.RunTo(QString::fromStdString(f.Path("out.txt"))));
        QCOMPARE(ReadFile(f.Path("out.txt")), std::string("1 a &lt;b&gt;\r\n"));
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"out.txtの出力を終了しました。"});

        // A set stored with the box cleared writes values as they are, and opens with it cleared.
        escape->setChecked(false);
        Names(dialog)->setEditText("Text");
        Click(dialog, "Button3");
        QVERIFY(!LoadTemplateSet("Text").escapeHtml);
        QVERIFY(dialog.RunTo(QString::fromStdString(f.Path("out.txt"))));
        QCOMPARE(ReadFile(f.Path("out.txt")), std::string("1 a <b>\r\n"));
        TForm6 reopened(f.main, 1);
        QVERIFY(!reopened.findChild<QCheckBox*>("CheckBox1")->isChecked());
    }

    void inputFormatsStoredAndDeletedAreFollowedByTheSubmenu() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}});
        {
            TForm8 dialog(f.main, 0);
            QCOMPARE(dialog.findChild<QPlainTextEdit*>("Memo1")->toPlainText(), QString("%3 / %1\n{\n%0.%2\n}"));
            Names(dialog)->setEditText("Titles");
            dialog.findChild<QPlainTextEdit*>("Memo1")->setPlainText("{\n%2\n}");
            Click(dialog, "Button3");
            QCOMPARE(Items(f.main, "I1"), (QStringList{"Default", "Titles"}));
            QVERIFY(dialog.findChild<QPushButton*>("Button4")->isEnabled());
        }
        WithModal(f.main.findChild<QMenu*>("I1")->actions()[1], [](QDialog& d) {
            QCOMPARE(Names(d)->currentText(), QString("Titles"));
        });

        TForm8 dialog(f.main, 1);
        WriteFile(f.Path("titles.txt"), "One\r\nTwo\r\n");
        QVERIFY(dialog.RunWith(QString::fromStdString(f.Path("titles.txt"))));
        QCOMPARE(f.row(0).Fields[kTitle], std::string("One"));
        QCOMPARE(f.row(1).Fields[kTitle], std::string("Two"));
        QVERIFY(!f.row(0).Checked);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        TForm8 again(f.main, 1);
        Click(again, "Button4");
        QCOMPARE(Items(f.main, "I1"), QStringList{"Default"});
        QVERIFY(!again.findChild<QPushButton*>("Button4")->isEnabled());
    }

    void tagsFromNamesRunAndTheirValuesAreStored() {
        EditFixture f({{kNoTag, "[Band] A_Song.mp3"}, {kNoTag, "no brackets.mp3"}, {kNoTag, "[X] Y.mp3"}});
        for (int i = 0; i < 3; ++i) f.session().rows.Edit(i, [](TrackInfo& r) { r.Checked = true; });
        f.session().rows.Edit(f.RowOf("no brackets.mp3"), [](TrackInfo& r) { r.Checked = false; });
        {
            TForm5 dialog(f.main);
            QVERIFY(!dialog.findChild<QWidget*>("GroupBox2")->isEnabled());
            dialog.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
            dialog.findChild<QComboBox*>("ComboBox2")->setEditText("[%1] %2");
            Click(dialog, "Button3");
            QCOMPARE(dialog.findChild<QComboBox*>("ComboBox1")->currentText(), QString("1"));
            Click(dialog, "Button1");
        }
        QCOMPARE(f.row(f.RowOf("[Band] A_Song.mp3")).Fields[kTitle], std::string("A Song"));
        QCOMPARE(f.row(f.RowOf("[X] Y.mp3")).Fields[kArtist], std::string("X"));
        QVERIFY(f.prompter.texts().empty());
        const FromNameSettings stored = LoadFromNameSettings();
        QCOMPARE(stored.filePatterns, (std::vector<std::string>{"[%1]%?%2", "[%1] %2"}));
        QCOMPARE(stored.filePatternIndex, 1);
        QVERIFY(stored.overwriteFromFile);

        // A name that does not match: the message names it and the list goes to its row.
        f.session().rows.Edit(f.RowOf("no brackets.mp3"), [](TrackInfo& r) { r.Checked = true; });
        TForm5 dialog(f.main);
        Click(dialog, "Button1");
        QCOMPARE(f.prompter.texts().size(), size_t(1));
        QVERIFY(f.prompter.texts()[0].ends_with("no brackets.mp3"));
        QCOMPARE(f.main.FocusedRow(), f.RowOf("no brackets.mp3"));
    }

    void csvSavedAndLoadedFromTheMainWindow() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}});
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Fields[kTitle] = " spaced "; });
        f.main.SaveCsvTo(QString::fromStdString(f.Path("list.csv")));
        QCOMPARE(f.row(0).Fields[kTitle], std::string("spaced"));
        f.main.NewClick();
        QVERIFY(!f.edit.IsShown());
        f.main.LoadCsvFiles({QString::fromStdString(f.Path("list.csv"))});
        QCOMPARE(f.session().rows.size(), 2);
        QCOMPARE(f.row(0).Fields[kTitle], std::string("spaced"));
        QCOMPARE(f.main.statusPanel(2)->text(), QString("2Files "));

        // A list to be cleared first (EdtAddClr) stays, with its edit window, when nothing comes
        // to take its place.
        f.main.GoToRow(0);
        f.edit.ShowWindow();
        f.session().settings.Set(Option::EdtAddClr, true);
        WriteFile(f.Path("empty.csv"), "");
        f.main.LoadCsvFiles({QString::fromStdString(f.Path("empty.csv"))});
        QCOMPARE(f.session().rows.size(), 2);
        QVERIFY(f.edit.IsShown());
    }
};

QTEST_MAIN(BulkDialogsTest)
#include "bulk_dialogs_test.moc"
