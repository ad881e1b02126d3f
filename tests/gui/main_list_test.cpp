// The main window's list commands, driven through its actions, keys and header.
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "app/commands/SettingsIo.h"
#include "platform/core/Registry.h"
#include "app/ui/MainWindow.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

const char* const kFiles[] = {
    "mpeg/mpeg2_8k_22k_sjis_v1.mp3",  // title 春の小川
    "mpeg/mpeg2_16k_16khz_v1latin.mp3",  // Low Rate
    "mpeg/mp2_192k_48k.mp2",             // Layer Two
    "mpeg/cbr128_44k_notag.mp3",         // no title
};

}  // namespace

class MainListTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    test::ScriptedPrompter prompter_;

    RowList& rows() { return window_->session().rows; }
    void Trigger(const char* name) {
        QAction* a = window_->action(name);
        QVERIFY2(a, name);
        a->trigger();
    }
    QString Panel(int i) { return window_->statusPanel(i)->text(); }
    void Focus(int row) { window_->GoToRow(row); }
    std::string Title(int row) { return rows()[row].Fields[kTitle]; }
    void Open(QMenu* menu) { emit menu->aboutToShow(); }
    bool Enabled(const char* name) { return window_->action(name)->isEnabled(); }
    void Check(int row, bool on = true) { rows().Edit(row, [on](TrackInfo& r) { r.Checked = on; }); }

    void MakeWindow() {
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        window_->resize(800, 400);
        window_->show();
    }
    void AddFiles() {
        QStringList names;
        // The open dialog's names are taken from the last to the first.
        for (auto it = std::rbegin(kFiles); it != std::rend(kFiles); ++it)
            names << QString::fromStdString(test::CopyCorpusFile(*it, *dir_));
        window_->AddChosenFiles(names);
    }

private slots:
    void init() {
        RegistryKey::Delete("");  // every case starts from the first-start settings
        dir_ = std::make_unique<test::TempDir>();
        prompter_ = test::ScriptedPrompter();
        MakeWindow();
        AddFiles();
    }
    void cleanup() {
        window_->session().settings.Set(Option::QuitMesOff, true);
        window_.reset();
    }

    void addsInDialogOrderAndCountsInStatusBar() {
        QCOMPARE(rows().size(), 4);
        QCOMPARE(Title(0), test::Sjis("春の小川"));
        QCOMPARE(Title(2), std::string("Layer Two"));
        QCOMPARE(Panel(2), QString("4Files "));
        QCOMPARE(Panel(1), QString());
        Focus(1);
        QCOMPARE(Panel(3), QString("MP3  16kbit    16KHz 002sec   "));
    }

    void emptyListChangesNothing() {
        Trigger("NewItem");
        QCOMPARE(rows().size(), 0);
        QCOMPARE(Panel(2), QString("0Files "));
        QCOMPARE(Panel(3), QString());
        for (const char* name : {"Delete1", "C3", "U2", "U3", "SelectAll1", "SelReturn1", "N20", "C2"}) Trigger(name);
        window_->ListView1ColumnClick(1);
        QCOMPARE(rows().size(), 0);
        QVERIFY(prompter_.shown().empty());
    }

    void checkMarksAllNoneInvertAndPopup() {
        Trigger("SelectAll1");
        QCOMPARE(rows().CheckedCount(), 4);
        Trigger("R3");
        QCOMPARE(rows().CheckedCount(), 0);
        Focus(2);
        Trigger("C2");
        QVERIFY(rows()[2].Checked);
        Trigger("SelReturn1");
        QCOMPARE(rows().CheckedCount(), 3);
        QVERIFY(!rows()[2].Checked);
        // The pop-up item shows the focused row's mark when the menu opens.
        Open(window_->findChild<QMenu*>("PopupMenu1"));
        QVERIFY(!window_->action("C2")->isChecked());
        Focus(0);
        Open(window_->findChild<QMenu*>("PopupMenu1"));
        QVERIFY(window_->action("C2")->isChecked());
    }

    void spaceTogglesAndMovesOnInsertToo() {
        Focus(0);
        QTest::keyClick(window_->listView(), Qt::Key_Space);
        QVERIFY(rows()[0].Checked);
        QCOMPARE(window_->FocusedRow(), 1);
        QTest::keyClick(window_->listView(), Qt::Key_Insert);
        QVERIFY(rows()[1].Checked);
        QCOMPARE(window_->FocusedRow(), 2);
        // On the last row the mark flips and the focus stays.
        Focus(3);
        QTest::keyClick(window_->listView(), Qt::Key_Space);
        QVERIFY(rows()[3].Checked);
        QCOMPARE(window_->FocusedRow(), 3);
    }

    void homeAndEndGoToTheFirstAndLastRow() {
        QTableView* list = window_->listView();
        list->setCurrentIndex(list->model()->index(1, 2));
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(window_->FocusedRow(), 3);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(window_->FocusedRow(), 0);
        QCOMPARE(list->currentIndex().column(), 2);  // the list does not scroll sideways
    }

    void deleteFocusedAndChecked() {
        Focus(1);
        const std::string second = rows()[2].Path;
        Trigger("Delete1");
        QCOMPARE(rows().size(), 3);
        QCOMPARE(rows()[1].Path, second);

        Check(0);
        Check(2);
        const std::string kept = rows()[1].Path;
        prompter_.Answer(PromptAnswer::No);
        Trigger("C3");
        QCOMPARE(rows().size(), 3);
        QCOMPARE(prompter_.shown().back().text,
                 std::string("チェックされているアイテムは、2個あります。\nリストから削除してもよろしいですか？"));
        QCOMPARE(prompter_.shown().back().icon, PromptIcon::Question);
        prompter_.Answer(PromptAnswer::Yes);
        Trigger("C3");
        QCOMPARE(rows().size(), 1);
        QCOMPARE(rows()[0].Path, kept);
        QCOMPARE(Panel(2), QString("1Files "));
    }

    void moveCarriesTheWholeRowAndFocus() {
        Focus(1);
        Check(1);
        const TrackInfo moved = rows()[1];
        const TrackInfo other = rows()[0];
        Trigger("U2");
        QCOMPARE(rows()[0], moved);
        QCOMPARE(rows()[1], other);
        QCOMPARE(window_->FocusedRow(), 0);
        QCOMPARE(window_->SelectedRow(), 0);
        Trigger("U2");  // the first row cannot go up
        QCOMPARE(rows()[0], moved);
        Focus(3);
        const TrackInfo last = rows()[3];
        Trigger("U3");  // nor the last one down
        QCOMPARE(rows()[3], last);
        Trigger("U2");
        QCOMPARE(rows()[2], last);
        QCOMPARE(window_->FocusedRow(), 2);
    }

    void headerClicksSortUpThenDownSharingOneDirection() {
        Focus(0);
        const std::string focusedPath = rows()[0].Path;
        window_->ListView1ColumnClick(1);  // title, ascending
        QCOMPARE(Title(0), std::string());
        QCOMPARE(Title(1), std::string("Layer Two"));
        QCOMPARE(Title(2), std::string("Low Rate"));
        QCOMPARE(Title(3), test::Sjis("春の小川"));
        // The focus stays on the file it was on.
        QCOMPARE(rows()[window_->FocusedRow()].Path, focusedPath);
        window_->ListView1ColumnClick(0);  // file name, now descending
        QCOMPARE(rows()[0].FileName, std::string("mpeg2_8k_22k_sjis_v1.mp3"));
        QCOMPARE(rows()[3].FileName, std::string("cbr128_44k_notag.mp3"));
    }

    void headerClickFitsColumnWhenSetTo2() {
        window_->session().settings.EdtClmIdx = 2;
        const auto before = rows()[0];
        window_->ListView1ColumnClick(1);
        QCOMPARE(rows()[0], before);  // no sort
        const int stored = window_->session().settings.columnWidths[1];
        QVERIFY(stored > 0);
        QCOMPARE(window_->listView()->columnWidth(1), stored);
        QCOMPARE(window_->session().settings.columnWidths[2], 100);
    }

    // Every way of fitting a column reads every row: a long title in the last of 1,500 rows
    // is shown whole.
    void fittingMeasuresEveryRow() {
        Settings& s = window_->session().settings;
        std::vector<TrackInfo> many(1500);
        for (TrackInfo& row : many) row.Fields[kTitle].assign(1, 't');
        many.back().Fields[kTitle] = test::Sjis("とても長い曲名 A Very Long Title Indeed の最後");
        rows().Append(std::move(many));
        const QModelIndex last = window_->model()->index(rows().size() - 1, 1);
        const int needed = window_->listView()->sizeHintForIndex(last).width() + 1;  // and the grid line
        auto fits = [&] { return window_->listView()->columnWidth(1) >= needed; };

        s.EdtClmIdx = 2;
        window_->ListView1ColumnClick(1);
        QVERIFY(fits());
        QCOMPARE(s.columnWidths[1], window_->listView()->columnWidth(1));
        s.columnWidths[1] = 50;
        window_->ApplyAllColumnWidths();
        Trigger("ColumnItems1");
        QVERIFY(fits());
        s.columnWidths[1] = 50;
        window_->ApplyAllColumnWidths();
        Trigger("N20");
        QVERIFY(fits());
        // Never much wider than the text either.
        QVERIFY(window_->listView()->columnWidth(1) <= needed + 3);
    }

    // A header click on an empty list changes no width, as no other click there does.
    void headerClickOnEmptyListChangesNothing() {
        Trigger("NewItem");
        window_->session().settings.EdtClmIdx = 2;
        const auto stored = window_->session().settings.columnWidths;
        const int shown = window_->listView()->columnWidth(1);
        window_->ListView1ColumnClick(1);
        QCOMPARE(window_->session().settings.columnWidths, stored);
        QCOMPARE(window_->listView()->columnWidth(1), shown);
    }

    void columnWidthSubmenu() {
        Settings& s = window_->session().settings;
        QMenu* columnMenu = window_->findChild<QMenu*>("ColumnMenu3");
        Trigger("ColumnNone3");
        QCOMPARE(s.columnWidths[3], 0);
        QVERIFY(window_->listView()->isColumnHidden(3));
        Open(columnMenu);
        QVERIFY(window_->action("ColumnNone3")->isChecked());
        QVERIFY(!window_->action("ColumnItems3")->isChecked());
        Trigger("ColumnNone3");  // a hidden column comes back at 50
        QCOMPARE(s.columnWidths[3], 50);
        QCOMPARE(window_->listView()->columnWidth(3), 50);

        Trigger("ColumnItems1");
        QCOMPARE(s.columnWidths[1], -1);
        const int fitted = window_->listView()->columnWidth(1);
        QVERIFY(fitted > 0);
        Trigger("ColumnItems1");  // an auto column freezes at its present width
        QCOMPARE(s.columnWidths[1], fitted);
        QCOMPARE(s.columnWidths[0], 150);
    }

    void adjustHidesEmptyColumnsAndSetFixesWidths() {
        Settings& s = window_->session().settings;
        Trigger("N20");
        QVERIFY(s.columnWidths[0] > 0);   // file names
        QVERIFY(s.columnWidths[1] > 0);   // titles
        QCOMPARE(s.columnWidths[7], 0);   // copyright: empty in every MPEG row
        QVERIFY(window_->listView()->isColumnHidden(7));
        s.columnWidths[2] = -1;
        window_->ApplyAllColumnWidths();
        Trigger("P1");
        QCOMPARE(s.columnWidths[2], window_->listView()->columnWidth(2));
        QCOMPARE(s.columnWidths[7], 0);
    }

    void inPlaceRenameOnlyWhenAllowed() {
        const QModelIndex cell = window_->model()->index(1, 0);
        QVERIFY(!(window_->model()->flags(cell) & Qt::ItemIsEditable));
        window_->session().settings.Set(Option::EdtFileName, true);
        window_->model()->SetFileNameEditable(true);
        QVERIFY(window_->model()->flags(cell) & Qt::ItemIsEditable);
        const std::string path = rows()[1].Path;
        window_->model()->setData(cell, QString("same.mp3"), Qt::EditRole);
        QCOMPARE(rows()[1].FileName, std::string("same.mp3"));
        QVERIFY(rows()[1].Checked);
        QCOMPARE(rows()[1].Path, path);
        Check(1, false);
        window_->model()->setData(cell, QString("same.mp3"), Qt::EditRole);
        QVERIFY(!rows()[1].Checked);  // an unchanged text does not check the row
    }

    // The states are kept current, not only while a menu is open.
    void menuItemsFollowTheListState() {
        QVERIFY(!Enabled("W1"));
        QVERIFY(Enabled("NewItem"));
        window_->session().settings.Set(Option::WitChkOff, true);
        window_->UpdateActionStates();
        QVERIFY(Enabled("W1"));
        QVERIFY(!Enabled("C3"));
        QVERIFY(!Enabled("U2"));
        Focus(0);
        QVERIFY(Enabled("U2"));
        Check(0);
        QVERIFY(Enabled("C3"));
        QVERIFY(Enabled("Rename"));
        QVERIFY(!Enabled("WinAMPW1"));
        Open(window_->findChild<QMenu*>("Function1"));
        emit window_->findChild<QMenu*>("Function1")->aboutToHide();
        QVERIFY(!Enabled("WinAMPW1"));  // closing a menu enables nothing
        Trigger("NewItem");
        QVERIFY(!Enabled("NewItem"));
        QVERIFY(!Enabled("SaveItem"));
        QVERIFY(!Enabled("C3"));
    }

    // A key does what its item would: nothing while the item is disabled.
    void shortcutsFollowTheItemStates() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Focus(0);
        QTest::keyClick(window_->listView(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(prompter_.shown().empty());
        QTest::keyClick(window_->listView(), Qt::Key_Space);
        QTest::keyClick(window_->listView(), Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(prompter_.texts(), std::vector<std::string>{"ファイル名を元に戻します。よろしいですか？"});
        Trigger("R3");
        prompter_.Clear();
        QTest::keyClick(window_->listView(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(prompter_.shown().empty());
        // A setting changed by an item's handler (as the options dialog does) counts as soon
        // as the handler returns; any item shows it.
        window_->session().settings.Set(Option::RenChkOff, true);
        Trigger("G1");
        QTest::keyClick(window_->listView(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(prompter_.shown().size(), size_t(1));
    }

    // The player keys are keys: Shift keeps the key whatever character it then types, on a
    // Japanese layout ("@", Shift: "`") as on a US one ("`", Shift: "~"; "@" is Shift+2).
    void playerKeysAreKeysOnAnyLayout() {
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->SetPause([](int) {});
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shiftCtrl = Qt::ControlModifier | Qt::ShiftModifier;
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* item;
        } cases[] = {
            {Qt::Key_At, ctrl, "WinampPlay"},       {Qt::Key_QuoteLeft, ctrl, "WinampPlay"},
            {Qt::Key_QuoteLeft, shiftCtrl, "WinampPrev"}, {Qt::Key_AsciiTilde, shiftCtrl, "WinampPrev"},
            {Qt::Key_At, shiftCtrl, ""},            {Qt::Key_BracketLeft, ctrl, "WinampPause"},
            {Qt::Key_BraceLeft, shiftCtrl, "WinampNext"}, {Qt::Key_Backslash, ctrl, "WinampStop"},
            {Qt::Key_Bar, shiftCtrl, "Exit2"},
        };
        QString fired;
        QObject listening;
        for (const char* item : {"WinampPlay", "WinampPause", "WinampStop", "WinampPrev", "WinampNext", "Exit2"}) {
            window_->action(item)->setEnabled(true);
            connect(window_->action(item), &QAction::triggered, &listening, [&fired, item] { fired += item; });
        }
        for (const auto& c : cases) {
            fired.clear();
            QTest::keyClick(window_->listView(), c.key, c.modifiers);
            QCOMPARE(fired, QString(c.item));
        }
    }

    // The panels show their texts whole in any font: the property text of the longest kind,
    // a six-digit row count.
    void statusPanelsFitTheirTexts() {
        window_->AddChosenFiles({QString::fromStdString(test::CopyCorpusFile("vqf/vqf_full_script.vqf", *dir_))});
        for (int points : {9, 24}) {
            QFont font = window_->font();
            font.setPointSize(points);
            window_->setFont(font);
            for (int row : {2, 4}) {  // a Layer II row, the SoundVQ row
                Focus(row);
                QApplication::processEvents();
                QLabel* info = window_->statusPanel(3);
                QVERIFY(info->text().startsWith(row == 4 ? "SoundVQ " : "MP2 "));
                QVERIFY2(info->fontMetrics().horizontalAdvance(info->text()) <= info->contentsRect().width(),
                         qPrintable(info->text()));
            }
            QLabel* count = window_->statusPanel(2);
            QVERIFY(count->fontMetrics().horizontalAdvance("999999Files ") <= count->contentsRect().width());
        }
    }

    void viewTogglesAndFilterPanel() {
        QVERIFY(window_->statusBar()->isVisible());
        Trigger("StatusB");
        QVERIFY(!window_->statusBar()->isVisible());
        Trigger("G1");
        QVERIFY(!window_->listView()->showGrid());
        Trigger("ToolBar2");
        QVERIFY(!window_->findChild<QToolBar*>("ToolBar1")->isVisible());
        Open(window_->findChild<QMenu*>("View1"));
        QVERIFY(!window_->action("StatusB")->isChecked());
        QVERIFY(!window_->action("G1")->isChecked());
        window_->session().settings.Set(Option::Filter, true);
        window_->UpdateStatusBar();
        QCOMPARE(Panel(1), QString("FILTER"));
    }

    void closeAsksWhileRowsAreChecked() {
        for (int i : {0, 1, 3}) Check(i);
        prompter_.Answer(PromptAnswer::Cancel);
        QVERIFY(!window_->close());
        QCOMPARE(prompter_.shown().size(), size_t(1));
        QCOMPARE(prompter_.shown()[0].title, std::string("Quit"));
        QCOMPARE(prompter_.shown()[0].text,
                 std::string("チェック済みのアイテムが 3つ残っています。\nこのまま終了してもよろしいですか？"));
        QCOMPARE(prompter_.shown()[0].buttons, PromptButtons::OkCancel);
        QCOMPARE(rows().size(), 4);
        window_->session().settings.Set(Option::QuitMesOff, true);
        QVERIFY(window_->close());
        QCOMPARE(prompter_.shown().size(), size_t(1));
    }

    void widthsAndViewStateSurviveARestart() {
        Trigger("ColumnNone4");
        Trigger("ColumnItems5");
        Trigger("G1");
        window_->session().settings.columnWidths[6] = 77;
        window_->ApplyAllColumnWidths();
        QVERIFY(window_->close());
        MakeWindow();
        const Settings& s = window_->session().settings;
        QCOMPARE(s.columnWidths[4], 0);
        QCOMPARE(s.columnWidths[5], -1);
        QCOMPARE(s.columnWidths[6], 77);
        QVERIFY(!s.GridLineVis);
        QVERIFY(window_->listView()->isColumnHidden(4));
        QCOMPARE(window_->listView()->columnWidth(6), 77);
    }
};

QTEST_MAIN(MainListTest)
#include "main_list_test.moc"
