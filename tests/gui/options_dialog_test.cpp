// The options dialog as a user works it: every kind of control, Cancel and OK, the enabling
// rules, the bit-12 warning, stored values out of range, fonts, and what follows the dialog.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <tuple>

#include "app/commands/Options.h"
#include "app/commands/SettingsIo.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Text.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/Option.h"
#include "dialogs/Tagedit.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"
#include "TageditFixture.h"

using namespace wvr;
using test::Sjis;

namespace {

template <class T>
T* Find(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(name);
    if (!w) qFatal("no control %s", name);
    return w;
}

QCheckBox* Bit(QWidget& d, int bit) { return Find<QCheckBox>(d, QString("CheckBox%1").arg(bit).toLatin1()); }
void Press(QWidget& d, const char* button) { QTest::mouseClick(Find<QPushButton>(d, button), Qt::LeftButton); }
void ShowPage(QWidget& d, int page) { Find<QTabWidget>(d, "PageControl1")->setCurrentIndex(page); }
void Choose(QWidget& d, const char* combo, int index) { Find<QComboBox>(d, combo)->setCurrentIndex(index); }
void Type(QWidget& d, const char* box, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(d, box);
    edit->setFocus();
    edit->selectAll();
    test::Type(edit, text);
}

// The part of the settings the dialog edits.
Settings EditedPart(const Settings& s) {
    Settings part;
    ApplyOptions(part, s);
    return part;
}

// Runs `work` on the next modal dialog of type T as soon as the event loop runs.
template <class T>
void WhenShown(const std::function<void(T&)>& work) {
    QTimer::singleShot(0, [work] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) work(*dialog);
    });
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<TForm1> edit_;
    test::ScriptedPrompter prompter_;
    std::unique_ptr<test::TempDir> dir_;

    Settings& settings() { return window_->session().settings; }

    // Opens the dialog as the menu does; `use` works it and presses OK or Cancel. A dialog
    // left open after a failed check is closed, so that the test does not hang.
    void RunOptions(const std::function<void(TForm2&)>& use, const char* item = "Option1") {
        bool shown = false;
        WhenShown<TForm2>([&](TForm2& dialog) {
            shown = true;
            use(dialog);
            if (dialog.isVisible()) dialog.reject();
        });
        window_->action(item)->trigger();
        QVERIFY(shown);
    }

    // One change of every kind of control, with the values a user would type.
    static void ChangeEveryKind(TForm2& d) {
        for (int bit = 0; bit < kOptionCount; ++bit) {
            if (bit != 32) Bit(d, bit)->click();  // the lyrics header stays on: its folder box is typed below
        }
        ShowPage(d, 0);
        Find<QRadioButton>(d, "ColumnClick2")->click();
        ShowPage(d, 1);
        QComboBox* patterns = Find<QComboBox>(d, "ComboBox1");
        patterns->setEditText("%n %2%e");
        Press(d, "Button1");
        Choose(d, "ComboBox2", 2);
        Type(d, "Edit1", "Various");
        Press(d, "Button3");
        ShowPage(d, 2);
        Type(d, "Edit2", "/usr/bin/mpv");
        ShowPage(d, 3);
        Type(d, "Edit3", "/tmp/lyrics");
        Find<QRadioButton>(d, "RadioButton1")->click();
        Choose(d, "ComboBox3", 2);
        Type(d, "Edit4", "Sakura");
        Find<QRadioButton>(d, "RadioButton2")->click();
        Choose(d, "ComboBox4", 6);
        Type(d, "Edit5", "demo");
        Press(d, "Button7");
        Find<QListWidget>(d, "CheckListBox1")->item(0)->setCheckState(Qt::Unchecked);
        Find<QRadioButton>(d, "RadioButton1")->click();
        ShowPage(d, 4);
        Type(d, "Edit6", QString::fromUtf8("技術者"));
        ShowPage(d, 5);
        Choose(d, "ComboBox5", kCsvIgnoreCode);
        Press(d, "Button9");
        Choose(d, "ComboBox5", 0);
        Press(d, "Button9");
        Press(d, "Button11");
        for (const char* box : {"CsvUtf8", "CsvHeader"}) Find<QCheckBox>(d, box)->click();
    }

private slots:
    void init() {
        RegistryKey::Delete("");
        std::filesystem::remove(IniFilePath(kOutputIni));
        dir_ = std::make_unique<test::TempDir>();
        prompter_ = test::ScriptedPrompter();
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        window_->show();
        edit_ = std::make_unique<TForm1>(*window_);
        window_->SetEditWindow(edit_.get());
    }
    void cleanup() {
        window_->SetEditWindow(nullptr);
        edit_.reset();
        settings().Set(Option::QuitMesOff, true);
        window_.reset();
    }

    // A screen of 1600 by 1000 at scale factor 2 leaves the dialog less than 500 pixels: its
    // pages scroll, and OK, キャンセル and ヘルプ stay on it.
    void fitsAShortScreenWithItsButtons() {
        RunOptions([&](TForm2& d) {
            d.resize(d.width(), 420);
            QCOMPARE(d.height(), 420);
            for (const char* name : {"OKBtn", "CancelBtn", "HelpBtn"}) {
                QPushButton* button = Find<QPushButton>(d, name);
                QVERIFY2(d.rect().contains(QRect(button->mapTo(&d, QPoint(0, 0)), button->size())), name);
            }
        });
    }

    void tabWalksThePatternAndExceptionRowsAsShown() {
        QStringList patternRow, exceptionRow;
        RunOptions([&](TForm2& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            ShowPage(d, 1);
            Find<QCheckBox>(d, "CheckBox21")->setChecked(true);
            const auto walk = [&](const char* start, int steps) {
                Find<QWidget>(d, start)->setFocus();
                QStringList names;
                for (int i = 0; i < steps; ++i) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    names << QApplication::focusWidget()->objectName();
                }
                return names;
            };
            patternRow = walk("ListBox1", 4);
            exceptionRow = walk("ListView1", 4);
        });
        QCOMPARE(patternRow, (QStringList{"ComboBox1", "Button1", "Button2", "CheckBox9"}));
        QCOMPARE(exceptionRow, (QStringList{"ComboBox2", "Edit1", "Button3", "Button4"}));
    }

    void cancelChangesNothing() {
        const Settings before = settings();
        RunOptions([](TForm2& d) {
            ChangeEveryKind(d);
            Press(d, "CancelBtn");
        });
        QVERIFY(settings() == before);
        QVERIFY(prompter_.shown().empty());
    }

    void okStoresWhatWasShownAndASaveAndLoadGivesItBack() {
        Settings expected = settings();
        expected.bits.flip();
        expected.bits[32] = true;
        expected.EdtClmIdx = 2;
        expected.RenString = {"[%1] %2%e", "%n %2%e"};
        expected.RenStrIdx = 1;
        expected.ReName = {{"Various", "%n %2%e", "2"}};
        expected.PlyPlayer = "/usr/bin/mpv";
        expected.RenLrcFld = "/tmp/lyrics/";  // typed without its separator
        expected.FilterSel = true;
        expected.Filter = {{false, 2, "Sakura"}, {false, 6, "demo"}};
        expected.CnvEngineer = Sjis("技術者");
        expected.csvColumns = {0, kCsvIgnoreCode};
        expected.CsvUtf8 = expected.CsvHeader = true;
        RunOptions([](TForm2& d) {
            ChangeEveryKind(d);
            Press(d, "OKBtn");
        });
        // The fonts were not touched: they stay as stored.
        QVERIFY(EditedPart(settings()) == EditedPart(expected));
        QCOMPARE(settings().RenLrcFld, expected.RenLrcFld);

        SaveSettings(settings(), prompter_);
        Settings loaded;
        LoadSettings(loaded);
        QVERIFY(EditedPart(loaded) == EditedPart(expected));
    }

    void deletingEveryPatternLeavesNoneUntilTheNextStart() {
        RunOptions([](TForm2& d) {
            ShowPage(d, 1);
            Press(d, "Button2");
            Press(d, "Button2");  // nothing left to delete
            QCOMPARE(Find<QListWidget>(d, "ListBox1")->count(), 0);
            Press(d, "OKBtn");
        });
        QVERIFY(settings().RenString.empty());
        QCOMPARE(settings().CurrentRenamePattern(), std::string(kDefaultRenamePattern));
        SaveSettings(settings(), prompter_);
        Settings loaded;
        LoadSettings(loaded);
        QCOMPARE(loaded.RenString, std::vector<std::string>{kDefaultRenamePattern});
        QCOMPARE(loaded.RenStrIdx, 0);
    }

    void csvListEditsAndIgnoreIsCode15() {
        settings().csvColumns = {1, 2, 3};
        RunOptions([](TForm2& d) {
            ShowPage(d, 5);
            auto* list = Find<QListWidget>(d, "ListBox2");
            QCOMPARE(list->item(0)->text(), TrackTableModel::ColumnCaption(1));
            Press(d, "Button11");  // no selection: nothing moves
            list->setCurrentRow(0);
            Choose(d, "ComboBox5", kCsvIgnoreCode);
            Press(d, "Button9");  // just after the selected line
            QCOMPARE(list->item(1)->text(), QString::fromUtf8("無視する"));
            QCOMPARE(list->currentRow(), 1);
            Press(d, "Button12");
            Press(d, "Button12");
            Press(d, "Button12");  // already last
            list->setCurrentRow(0);
            Press(d, "Button10");  // the first line goes; the new first is selected
            QCOMPARE(list->currentRow(), 0);
            Press(d, "OKBtn");
        });
        QCOMPARE(settings().csvColumns, (std::vector<int>{2, 3, kCsvIgnoreCode}));
    }

    // Tabbing into a list makes its first line current without selecting it: the buttons
    // work on a selected line only.
    void listButtonsNeedASelectedLine() {
        settings().csvColumns = {1, 2, 3};
        settings().ReName = {{"a", "%2", "1"}};
        settings().Filter = {{false, 0, ""}, {true, 1, "x"}};
        settings().Set(Option::Filter, true);
        settings().Set(Option::RenOther, true);
        RunOptions([](TForm2& d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            for (auto [page, list, button] : {std::tuple{5, "ListBox2", "Button10"}, {1, "ListView1", "Button4"},
                                              {3, "CheckListBox1", "Button8"}}) {
                ShowPage(d, page);
                Find<QWidget>(d, list)->setFocus(Qt::TabFocusReason);
                Press(d, button);
            }
            Choose(d, "ComboBox5", 4);
            ShowPage(d, 5);
            Find<QWidget>(d, "ListBox2")->setFocus(Qt::TabFocusReason);
            Press(d, "Button9");  // nothing selected: at the end
            Press(d, "OKBtn");
        });
        QCOMPARE(settings().csvColumns, (std::vector<int>{1, 2, 3, 4}));
        QCOMPARE(settings().ReName.size(), size_t(1));
        QCOMPARE(settings().Filter.size(), size_t(2));
    }

    void enablingRulesAndTheUntouchedFilter() {
        const std::vector<FilterEntry> filter = {{false, 3, "in"}, {true, 1, "x"}};
        settings().Filter = filter;
        RunOptions([](TForm2& d) {
            const char* filterControls[] = {"ComboBox3", "Edit4", "RadioButton1", "RadioButton2", "ComboBox4",
                                            "Edit5", "CheckListBox1", "Button7", "Button8"};
            ShowPage(d, 3);
            for (const char* name : filterControls) QVERIFY2(!Find<QWidget>(d, name)->isEnabled(), name);
            Press(d, "Button8");
            Bit(d, 36)->click();
            QVERIFY(!Find<QWidget>(d, "Edit4")->isEnabled());  // exclusion mode
            QVERIFY(Find<QWidget>(d, "Edit5")->isEnabled());
            Find<QRadioButton>(d, "RadioButton1")->click();
            QVERIFY(Find<QWidget>(d, "Edit4")->isEnabled());
            QVERIFY(!Find<QWidget>(d, "Button7")->isEnabled());
            Bit(d, 36)->click();
            for (const char* name : filterControls) QVERIFY2(!Find<QWidget>(d, name)->isEnabled(), name);

            QVERIFY(!Find<QWidget>(d, "Edit3")->isEnabled());  // bit 35 off
            Bit(d, 35)->click();
            QVERIFY(Find<QWidget>(d, "Button6")->isEnabled());
            Bit(d, 32)->click();
            QVERIFY(!Find<QWidget>(d, "Edit3")->isEnabled());
            QVERIFY(!Bit(d, 34)->isEnabled());

            ShowPage(d, 1);
            QVERIFY(!Find<QWidget>(d, "ListView1")->isVisibleTo(&d));
            Bit(d, 21)->click();
            QVERIFY(Find<QWidget>(d, "ListView1")->isVisibleTo(&d));
            ShowPage(d, 2);
            QVERIFY(!Find<QWidget>(d, "Edit2")->isEnabled());
            Bit(d, 14)->click();
            QVERIFY(Find<QWidget>(d, "Button5")->isEnabled());
            Press(d, "OKBtn");
        });
        QVERIFY(settings().Filter == filter);
        QVERIFY(settings().FilterSel);  // the radio button was switched while the filter was on
    }

    void checkingBit12WithTheMouseWarns() {
        RunOptions([this](TForm2& d) {
            ShowPage(d, 4);
            QCheckBox* box = Bit(d, 12);
            QTest::mouseClick(box, Qt::LeftButton);
            QVERIFY(box->isChecked());
            QCOMPARE(prompter_.shown().size(), size_t(1));
            const Prompt& shown = prompter_.shown()[0];
            QCOMPARE(shown.title, std::string("wvr"));
            QVERIFY(shown.icon == PromptIcon::Warning);
            QCOMPARE(shown.text, std::string("変換可能になりますが、ファイルの正当性は保証できません。\n"
                                             "了承の上使用してください。"));
            QTest::mouseClick(box, Qt::LeftButton);  // unchecking says nothing
            QTest::keyClick(box, Qt::Key_Space);     // nor does the keyboard
            QVERIFY(box->isChecked());
            QCOMPARE(prompter_.shown().size(), size_t(1));
            Press(d, "OKBtn");
        });
        QVERIFY(settings().Get(Option::WavCnv));
    }

    void storedValuesOutOfRangeOpenOnTheFirstChoice() {
        settings().EdtClmIdx = 7;
        settings().RenString = {"a", "b"};
        settings().RenStrIdx = 9;
        settings().Filter = {{false, 40, "in"}, {true, 99, "x"}, {true, 16, "y"}};  // 16: a hidden field
        settings().csvColumns = {33};
        RunOptions([](TForm2& d) {
            QVERIFY(Find<QRadioButton>(d, "ColumnClick0")->isChecked());
            QCOMPARE(Find<QListWidget>(d, "ListBox1")->currentRow(), 0);
            QCOMPARE(Find<QComboBox>(d, "ComboBox1")->currentText(), QString("a"));
            QCOMPARE(Find<QComboBox>(d, "ComboBox3")->currentIndex(), 0);
            QCOMPARE(Find<QListWidget>(d, "CheckListBox1")->item(0)->text(), QString::fromUtf8("ファイル名 - x"));
            QCOMPARE(Find<QListWidget>(d, "CheckListBox1")->item(1)->text(), QString::fromUtf8("欄 16 - y"));
            QCOMPARE(Find<QListWidget>(d, "ListBox2")->item(0)->text(), QString::fromUtf8("コード 33"));
            Press(d, "OKBtn");
        });
        QCOMPARE(settings().EdtClmIdx, 0);
        QCOMPARE(settings().RenStrIdx, 0);
        QVERIFY((settings().Filter == std::vector<FilterEntry>{{false, 0, "in"}, {true, 0, "x"}, {true, 16, "y"}}));
        QCOMPARE(settings().csvColumns, std::vector<int>{33});
    }

    void fontsAndColoursApplyAtOnce() {
        const QStringList families = QFontDatabase::families();
        const QString family = families.contains("DejaVu Sans") ? QString("DejaVu Sans") : families.value(0);
        QVERIFY(!family.isEmpty());
        RunOptions([&](TForm2& d) {
            ShowPage(d, 6);
            WhenShown<QFontDialog>([&](QFontDialog& fonts) {
                fonts.setCurrentFont(QFont(family, 20));
                fonts.accept();
            });
            Press(d, "Button14");
            // The edit window's boxes are laid out for 8 to 12 points.
            QCOMPARE(Find<QLineEdit>(d, "Edit8")->text(), family + " (12 Point)");
            WhenShown<QColorDialog>([](QColorDialog& colors) {
                colors.setCurrentColor(QColor(255, 0, 0));
                colors.accept();
            });
            Press(d, "ColorButton3");
            Press(d, "OKBtn");
        });
        QCOMPARE(settings().fonts[1].name, ToSjis(family));
        QCOMPARE(settings().fonts[1].size, 12);
        QCOMPARE(settings().fonts[2].color, uint32_t(0x0000FF));
        QCOMPARE(edit_->font().pointSize(), 12);
        QCOMPARE(window_->listView()->palette().color(QPalette::Text), QColor(255, 0, 0));
        Settings stored = settings();
        edit_->StoreState(stored);  // the edit window's font is what close saves
        QCOMPARE(stored.fonts[1], settings().fonts[1]);
    }

    void afterClosingEitherWayTheWindowsFollowTheSettings() {
        window_->AddChosenFiles({QString::fromStdString(test::CopyCorpusFile("riff/rmp3_full_info_script.rmp", *dir_))});
        window_->GoToRow(0);
        const QModelIndex name = window_->model()->index(0, 0);
        QVERIFY(!(window_->model()->flags(name) & Qt::ItemIsEditable));
        RunOptions(
            [](TForm2& d) {
                Bit(d, 7)->click();
                Bit(d, 11)->click();
                Press(d, "OKBtn");
            },
            "PopOption");
        QVERIFY(edit_->box(kSoftware)->isEnabled());
        QVERIFY(window_->model()->flags(name) & Qt::ItemIsEditable);
        // Cancel too: the windows take the settings as they are.
        settings().Set(Option::EdtISFT, false);
        settings().Set(Option::EdtFileName, false);
        RunOptions([](TForm2& d) { Press(d, "CancelBtn"); });
        QVERIFY(!edit_->box(kSoftware)->isEnabled());
        QVERIFY(!(window_->model()->flags(name) & Qt::ItemIsEditable));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
