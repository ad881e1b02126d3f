// The tool dialogs as the main window and the edit window open them: fill (from the menu, the
// header click and the edit window), conversion, find and find next, and the selection.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <functional>

#include "TageditFixture.h"
#include "app/ui/TrackListView.h"

using namespace wvr;
using namespace wvr::test;

namespace {

// Runs `work` on the modal dialog that the next step opens.
void OnDialog(std::function<void(QDialog*)> work) {
    QTimer::singleShot(0, [work] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        work(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

template <class T>
T* Child(QDialog* dialog, const char* name) {
    T* child = dialog->findChild<T*>(name);
    if (!child) qFatal("no %s", name);
    return child;
}

void Click(QDialog* dialog, const char* button) { Child<QPushButton>(dialog, button)->click(); }

}  // namespace

class ToolDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetStoredSettings(); }

    void headerClickFillsTheClickedColumnsField() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}});
        f.session().settings.EdtClmIdx = 1;
        f.session().rows.Edit(1, [](TrackInfo& r) { r.Checked = true; });
        int chosen = -1;
        OnDialog([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("フィル"));
            chosen = Child<QComboBox>(d, "ComboBox1")->currentIndex();
            Child<QLineEdit>(d, "Edit1")->setText("Jazz");
            Click(d, "Button1");
        });
        f.main.ListView1ColumnClick(6);
        QCOMPARE(chosen, static_cast<int>(kGenre));
        QCOMPARE(f.row(1).Fields[kGenre], std::string("Jazz"));
        QVERIFY(f.row(0).Fields[kGenre] != "Jazz");
        f.main.ListView1ColumnClick(0);  // no field: nothing opens
    }

    // The text box has the keyboard with its text selected: what is typed replaces it, and
    // Enter applies it.
    void fillTakesWhatIsTypedAtOnce() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.session().rows.Edit(0, [](TrackInfo& r) {
            r.Checked = true;
            r.Fields[kTitle] = "Old";
        });
        f.main.GoToRow(0);
        OnDialog([&](QDialog* d) {
            QVERIFY(QTest::qWaitForWindowActive(d));
            QWidget* typed = QApplication::focusWidget();
            QTest::keyClicks(typed, "New");
            QTest::keyClick(typed, Qt::Key_Return);
        });
        f.main.action("F2")->trigger();
        QCOMPARE(f.row(0).Fields[kTitle], std::string("New"));
    }

    void editWindowFillStartsWithTheFocusedBoxsField() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.session().rows.Edit(0, [](TrackInfo& r) {
            r.Checked = true;
            r.Fields[kComment] = Sjis("注");
        });
        f.edit.Reload();
        QVERIFY(f.Focus(f.edit.box(kComment)));
        QString shown;
        int chosen = -1;
        OnDialog([&](QDialog* d) {
            chosen = Child<QComboBox>(d, "ComboBox1")->currentIndex();
            shown = Child<QLineEdit>(d, "Edit1")->text();
        });
        f.EditItem("F1")->trigger();
        QCOMPARE(chosen, static_cast<int>(kComment));
        QCOMPARE(shown, QString("注"));
    }

    void convertListsCheckedRowsFiltersAndRuns() {
        EditFixture f({{kMpeg, "a.mp3"}, {kRmp, "b.rmp"}, {kWave, "c.wav"}, {kVqf, "d.vqf"}});
        for (int i = 0; i < 4; ++i) f.session().rows.Edit(i, [](TrackInfo& r) { r.Checked = true; });
        OnDialog([&](QDialog* d) {
            auto* list = Child<QListWidget>(d, "ListBox1");
            QCOMPARE(list->count(), 3);
            QCOMPARE(Child<QLabel>(d, "Label1")->text(), QString(" × 3"));
            Child<QComboBox>(d, "ComboBox1")->setCurrentIndex(3);
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->item(0)->text(), QString("b.rmp"));
            QCOMPARE(Child<QLabel>(d, "Label1")->text(), QString(" × 1"));
            Child<QRadioButton>(d, "RadioGroup1Item2")->setChecked(true);
            Click(d, "Button1");  // the run takes every collected row, whatever the filter shows
        });
        f.main.action("C1")->trigger();
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"変換が終了しました。"});
        QCOMPARE(f.session().rows.size(), 2);  // b.rmp (already RMP3) and the SoundVQ row stay
        QVERIFY(std::filesystem::exists(f.Path("a.rmp")));
        QVERIFY(std::filesystem::exists(f.Path("c.rmp")));
        QVERIFY(std::filesystem::exists(f.Path("a.mp3")));
    }

    void convertTakesEveryRowWithCnvChkOff() {
        EditFixture f({{kMpeg, "a.mp3"}, {kVqf, "d.vqf"}, {kRmp, "b.rmp"}});
        f.session().settings.Set(Option::CnvChkOff, true);
        int listed = -1;
        OnDialog([&](QDialog* d) { listed = Child<QListWidget>(d, "ListBox1")->count(); });
        f.main.C1Click();
        QCOMPARE(listed, 2);  // nothing checked: every MPEG-bearing row
    }

    void csvAndTextInputChoosersStartWhereTheirKindWasLastUsed() {
        EditFixture f({{kMpeg, "a.mp3"}});
        std::filesystem::create_directories(f.Path("tables"));
        QString started;
        auto choose = [&](const QString& file) {
            QTimer::singleShot(0, [&started, file] {
                auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(chooser);
                started = chooser->directory().absolutePath();
                if (file.isEmpty()) return chooser->reject();
                chooser->selectFile(file);
                static_cast<QDialog*>(chooser)->accept();  // through the public slot
            });
        };
        choose(QString::fromStdString(f.Path("tables/x.csv")));
        f.main.action("SaveItem")->trigger();
        choose({});
        f.main.action("CSVL1")->trigger();
        QCOMPARE(started, QString::fromStdString(f.Path("tables")));
        QCOMPARE(f.session().rows.size(), 1);
        // The text input's chooser keeps its own folder.
        OnDialog([&](QDialog* d) {
            choose({});
            Click(d, "Button1");
        });
        f.main.InputItemClick(0);
        QVERIFY(started != QString::fromStdString(f.Path("tables")));
    }

    void findFindsChecksAndFindNextContinues() {
        EditFixture f({{kMpeg, "a.mp3"}, {kNoTag, "b.mp3"}, {kMpeg, "c.mp3"}});
        f.main.GoToRow(0);
        OnDialog([&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QString("検索"));
            auto* find = Child<QPushButton>(d, "Button1");
            QVERIFY(!find->isEnabled());
            Child<QLineEdit>(d, "Edit1")->setText("山田");
            find->click();
            QCOMPARE(f.main.FocusedRow(), 2);
            Click(d, "Button3");
            QVERIFY(f.row(2).Checked);
            find->click();
            Child<QCheckBox>(d, "CheckBox1")->setChecked(true);
            find->click();
            QCOMPARE(f.main.FocusedRow(), 0);
            QVERIFY(!Child<QCheckBox>(d, "CheckBox1")->isChecked());
        });
        f.main.action("Find2")->trigger();
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"山田 が見つかりません。"});
        QCOMPARE(f.prompter.shown()[0].title, std::string("検索"));
        QCOMPARE(f.main.statusPanel(0)->text(), QString(" 山田"));
        f.main.action("Find3")->trigger();
        QCOMPARE(f.main.FocusedRow(), 2);
        QString offered;
        OnDialog([&](QDialog* d) { offered = Child<QLineEdit>(d, "Edit1")->selectedText(); });
        f.main.action("Find2")->trigger();
        QCOMPARE(offered, QString("山田"));  // selected: typing replaces it
    }

    void selectChoosesKeepsOnlyTheChoiceAndTakesNoDrops() {
        EditFixture f({{kMpeg, "a.mp3"}, {kId3v2, "b.mp3"}, {kNoTag, "c.mp3"}});
        OnDialog([&](QDialog* d) {
            QVERIFY(!f.main.listView()->acceptDrops());
            auto* combo = Child<QComboBox>(d, "ComboBox1");
            QCOMPARE(combo->currentText(), QString("60分"));
            Child<QRadioButton>(d, "RadioGroup1Item1")->setChecked(true);
            QCOMPARE(combo->currentText(), QString("32MB"));
            QCOMPARE(Child<QLabel>(d, "Label4")->text(), QString("KB"));
            Child<QRadioButton>(d, "RadioGroup1Item0")->setChecked(true);
            combo->setCurrentIndex(0);
            QVERIFY(Child<QSpinBox>(d, "CSpinEdit1")->isEnabled());
            Child<QSpinBox>(d, "CSpinEdit1")->setValue(0);
            Click(d, "Button1");
            auto* result = Child<QTreeWidget>(d, "ListView1");
            QCOMPARE(result->topLevelItemCount(), 1);  // only the row of no play time fits 0
            QCOMPARE(result->topLevelItem(0)->text(0), QString("b.mp3"));
            QCOMPARE(result->topLevelItem(0)->text(3), QString("00:00"));
            QCOMPARE(Child<QLabel>(d, "Label6")->text(), QString("00:00 / 00:00"));
            QVERIFY(Child<QPushButton>(d, "Button4")->isEnabled());
            Child<QCheckBox>(d, "CheckBox1")->setChecked(true);
            Child<QCheckBox>(d, "CheckBox2")->setChecked(true);  // "拡張 M3U"
        });
        f.main.action("Select1")->trigger();
        QCOMPARE(f.session().rows.size(), 1);
        QCOMPARE(f.row(0).FileName, std::string("b.mp3"));
        QVERIFY(f.main.listView()->acceptDrops());
        // The choices are remembered for the next opening.
        OnDialog([&](QDialog* d) {
            QCOMPARE(Child<QComboBox>(d, "ComboBox1")->currentIndex(), 0);
            QVERIFY(Child<QCheckBox>(d, "CheckBox1")->isChecked());
            QVERIFY(Child<QCheckBox>(d, "CheckBox2")->isChecked());
        });
        f.main.action("Select1")->trigger();
    }

    void savingTheChoiceRefusesAReadOnlyPlaylist() {
        EditFixture f({{kMpeg, "a.mp3"}});
        const std::string target = f.Path("ro.m3u");
        std::ofstream(target) << "old";
        std::filesystem::permissions(target, std::filesystem::perms::owner_read);
        QString warned;
        bool stayedOpen = false;
        OnDialog([&](QDialog* d) {
            Click(d, "Button1");
            QTimer::singleShot(0, [&] {
                auto* save = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(save);
                QTimer::singleShot(0, [&] {
                    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                    QVERIFY(box);
                    warned = box->text();
                    box->accept();
                });
                save->selectFile(QString::fromStdString(target));
                QMetaObject::invokeMethod(save, "accept");
                stayedOpen = save->isVisible();
                save->reject();
            });
            Click(d, "Button4");
        });
        f.main.action("Select1")->trigger();
        QVERIFY(warned.contains("読み取り専用"));
        QVERIFY(stayedOpen);
        QCOMPARE(ReadFile(target), std::string("old"));
    }
};

QTEST_MAIN(ToolDialogsTest)
#include "tool_dialogs_test.moc"
