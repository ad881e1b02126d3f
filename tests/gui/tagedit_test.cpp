// The edit window driven offscreen over the real main window and copies of corpus files.
#include <QClipboard>
#include <QSignalSpy>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <filesystem>

#include "TageditFixture.h"
#include "app/ui/TrackListView.h"
#include "app/ui/TrackTableModel.h"
#include "dialogs/TageditInput.h"
#include "formats/Id3v1.h"

using namespace wvr;
using namespace wvr::test;

class TageditTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetStoredSettings(); }

    void startsEmptyAtItsDefaultSize() {
        MainWindow main;
        TForm1 edit(main);
        QCOMPARE(edit.windowTitle(), QString("Edit"));
        QCOMPARE(edit.size(), QSize(578, 223));
        QVERIFY(edit.siGroup()->isHidden());
        QVERIFY(edit.siOptionGroup()->isHidden());
        QVERIFY(edit.StaysOnTop());
        QCOMPARE(edit.font().family(), QString("ＭＳ ゴシック"));
        // Without rows a reload changes nothing and typing is stored nowhere.
        edit.Reload();
        QCOMPARE(edit.windowTitle(), QString("Edit"));
        Type(edit.box(0), "x");
        QCOMPARE(edit.shownRow(), -1);
    }

    void typingGoesIntoTheRowAtOnce() {
        EditFixture f({{kMpeg, "a.mp3"}, {kWave, "b.wav"}});
        f.Show("a.mp3");
        const int a = f.RowOf("a.mp3");
        QCOMPARE(f.edit.windowTitle(), QString::fromStdString(f.Path("a.mp3")));
        QCOMPARE(f.edit.box(0)->text(), QString("春の小川"));
        QCOMPARE(f.edit.findChild<QLabel*>("Label8")->text(), FromSjis(f.row(a).InfoText));
        QCOMPARE(f.main.statusPanel(3)->text(), FromSjis(f.row(a).InfoText) + "  ");
        QVERIFY(!f.row(a).Checked);

        QTest::keyClick(f.edit.box(0), Qt::Key_End);
        Type(f.edit.box(0), "x");
        QCOMPARE(f.row(a).Fields[kTitle], Sjis("春の小川x"));
        QVERIFY(f.row(a).Checked);
        // A reload of the same row (the main window's commands do that) leaves the typing be.
        f.main.ReloadEditWindow();
        QVERIFY(!f.edit.box(0)->hasSelectedText());
        QCOMPARE(f.edit.box(0)->cursorPosition(), 5);
        QVERIFY(f.edit.box(0)->isUndoAvailable());
        Type(f.edit.box(13), "委員");
        QCOMPARE(f.row(a).Fields[kCommission], Sjis("委員"));
        // The other row and the file stay as they were.
        QVERIFY(!f.row(f.RowOf("b.wav")).Checked);
        QCOMPARE(ReadFile(f.Path("a.mp3")), ReadFile(CorpusPath(kMpeg)));
    }

    void anotherRowShowsItsTextsSelected() {
        EditFixture f({{kMpeg, "a.mp3"}, {kWave, "b.wav"}});
        f.Show("a.mp3");
        f.Show("b.wav");
        QCOMPARE(f.edit.box(0)->text(), QString("Wave Title"));
        QCOMPARE(f.edit.box(0)->selectedText(), QString("Wave Title"));
        QCOMPARE(f.edit.box(1)->selectedText(), QString("Wave Artist"));
        QCOMPARE(f.edit.box(11)->text(), QString("tech"));
        QCOMPARE(f.edit.shownRow(), f.RowOf("b.wav"));
        // A reload is not an edit: nothing was checked.
        QVERIFY(!f.row(f.RowOf("b.wav")).Checked);
        QVERIFY(!f.row(f.RowOf("a.mp3")).Checked);
    }

    // After moving between rows only the box with the focus shows a text cursor; the others
    // hold their (unseen) selection without one.
    void onlyTheFocusedBoxShowsACursor() {
        EditFixture f({{kMpeg, "a.mp3"}, {kWave, "b.wav"}, {kRmp, "c.rmp"}});
        f.main.GoToRow(0);
        QVERIFY(f.Focus(f.edit.box(0)));
        QVERIFY(f.Focus(f.edit.box(3)));
        QTest::keyClick(f.edit.box(3), Qt::Key_Down);
        QTest::keyClick(f.edit.box(3), Qt::Key_Down);
        for (int field : {0, 1}) {
            QLineEdit* box = f.edit.box(field);
            QVERIFY(box->hasSelectedText());
            // Taking the focus away once more hides a cursor if one is drawn: nothing changes.
            const QImage shown = box->grab().toImage();
            QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
            QCoreApplication::sendEvent(box, &out);
            QCOMPARE(box->grab().toImage(), shown);
        }
    }

    void upAndDownStepTheListWithinItsEnds() {
        EditFixture f({{kMpeg, "a.mp3"}, {kWave, "b.wav"}, {kRmp, "c.rmp"}});
        f.main.GoToRow(0);
        QLineEdit* title = f.edit.box(0);
        QTest::keyClick(title, Qt::Key_Up);
        QCOMPARE(f.main.FocusedRow(), 0);
        QTest::keyClick(title, Qt::Key_Down);
        QCOMPARE(f.main.FocusedRow(), 1);
        QCOMPARE(f.edit.shownRow(), 1);
        QTest::keyClick(f.edit.fileNameBox(), Qt::Key_Down);
        QCOMPARE(f.main.FocusedRow(), 2);
        QCOMPARE(title->text(), FromSjis(f.row(2).Fields[kTitle]));
        QTest::keyClick(title, Qt::Key_Down);
        QCOMPARE(f.main.FocusedRow(), 2);
        QCOMPARE(f.main.SelectedRow(), 2);
    }

    void enterMovesTheFocusInTabOrder() {
        EditFixture f({{kWave, "b.wav"}});
        QVERIFY(f.Focus(f.edit.box(0)));
        QTest::keyClick(f.edit.box(0), Qt::Key_Return);
        QCOMPARE(f.edit.focusWidget(), f.edit.box(1));
        QTest::keyClick(f.edit.box(1), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(f.edit.focusWidget(), f.edit.box(0));
        // No line break reached the text.
        QCOMPARE(f.edit.box(0)->text(), QString("Wave Title"));
        QVERIFY(f.Focus(f.edit.box(5)));
        QTest::keyClick(f.edit.box(5), Qt::Key_Enter);
        QCOMPARE(f.edit.focusWidget(), f.edit.fileNameBox());
    }

    void fileNameBoxChangesTheColumnNotTheDisk() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.Show("a.mp3");
        QLineEdit* name = f.edit.fileNameBox();
        QCOMPARE(name->text(), QString("a.mp3"));
        QTest::keyClick(name, Qt::Key_Home);
        Type(name, "新");
        QCOMPARE(f.row(0).FileName, Sjis("新a.mp3"));
        QVERIFY(f.row(0).Checked);
        QCOMPARE(f.main.model()->index(0, 0).data().toString(), QString("新a.mp3"));
        QCOMPARE(f.row(0).Path, f.Path("a.mp3"));
        QVERIFY(std::filesystem::exists(f.Path("a.mp3")));
        QVERIFY(!std::filesystem::exists(f.Path("新a.mp3")));

        // The window's write carries the new name out.
        f.EditItem("W1")->trigger();
        QVERIFY(!std::filesystem::exists(f.Path("a.mp3")));
        QVERIFY(std::filesystem::exists(f.Path("新a.mp3")));
        QCOMPARE(f.row(0).Path, Sjis(f.Path("新a.mp3")));
        QCOMPARE(f.edit.windowTitle(), QString::fromStdString(f.Path("新a.mp3")));
        QCOMPARE(name->text(), QString("新a.mp3"));
    }

    void windowKeysWinOverTheBoxes() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.session().settings.RenString = {"%2%e"};
        QLineEdit* title = f.edit.box(0);
        QVERIFY(f.Focus(title));
        title->setCursorPosition(0);
        // The window's keys reach it from a box with the focus.
        QTest::keyClick(title, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(f.row(0).FileName, Sjis("春の小川.mp3"));
        QCOMPARE(title->text(), QString("春の小川"));
        QTest::keyClick(title, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.row(0).FileName, std::string("a.mp3"));
        QTest::keyClick(title, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!f.row(0).Checked);
        QCOMPARE(ReadFile(f.Path("a.mp3")).size(), ReadFile(CorpusPath(kMpeg)).size());
        QTest::keyClick(title, Qt::Key_Escape);
        QVERIFY(!f.edit.IsShown());
    }

    void plainMpegLimitsCountBytes() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.Show("a.mp3");
        QLineEdit* title = f.edit.box(0);
        title->clear();
        Type(title, QString(29, 'a'));
        Type(title, "b");
        Type(title, "c");  // the 31st byte
        QCOMPARE(title->text(), QString(29, 'a') + "b");
        QCOMPARE(f.row(0).Fields[kTitle].size(), size_t(30));

        // Fourteen double-byte characters are 28 bytes; a fifteenth fits, a sixteenth does not.
        QLineEdit* artist = f.edit.box(1);
        artist->clear();
        Type(artist, QString(14, QChar(0x3042)));
        Type(artist, "z");
        Type(artist, "い");  // would be 31 bytes
        Type(artist, "y");
        QCOMPARE(artist->text(), QString(14, QChar(0x3042)) + "zy");
        QCOMPARE(ByteLength(artist->text()), 30);

        QTest::keyClick(f.edit.box(4), Qt::Key_End);
        Type(f.edit.box(4), "2");  // "1999" is full
        QCOMPARE(f.edit.box(4)->text(), QString("1999"));
        QVERIFY(!f.edit.siGroup()->isEnabled());
        QVERIFY(!f.edit.siOptionGroup()->isEnabled());
        QVERIFY(!f.edit.box(6)->isEnabled());
    }

    // A paste or an input method's commit beyond the limit puts in what fits, in whole
    // characters, and beeps for the rest.
    void pasteAndInputMethodInsertWhatFits() {
        EditFixture f({{kMpeg, "a.mp3"}});  // title 春の小川, 8 bytes of 30
        QLineEdit* title = f.edit.box(0);
        const auto* limit = qobject_cast<const ByteLimitValidator*>(title->validator());
        QVERIFY(limit);
        QSignalSpy beeps(limit, &ByteLimitValidator::Overflowed);
        QVERIFY(f.Focus(title));
        title->end(false);
        const QChar a(0x3042);  // あ, two bytes
        QGuiApplication::clipboard()->setText(QString(15, a));
        f.EditItem("Paste1")->trigger();
        QCOMPARE(title->text(), QString("春の小川") + QString(11, a));
        QCOMPARE(f.row(0).Fields[kTitle], ToSjis(title->text()));
        QCOMPARE(f.row(0).Fields[kTitle].size(), size_t(30));
        QCOMPARE(beeps.count(), 1);

        // Into a selection in the middle: what stood around it stays.
        title->setText("春の小川");
        title->setSelection(1, 2);  // の小
        QGuiApplication::clipboard()->setText("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
        QTest::keyClick(title, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(title->text(), QString("春ABCDEFGHIJKLMNOPQRSTUVWXYZ川"));
        QCOMPARE(title->cursorPosition(), 27);
        QCOMPARE(beeps.count(), 2);

        // An odd room of bytes takes no half of a double-byte character.
        title->setText("x");
        title->end(false);
        QInputMethodEvent commit;
        commit.setCommitString(QString(15, a));
        QCoreApplication::sendEvent(title, &commit);
        QCOMPARE(title->text(), "x" + QString(14, a));
        QCOMPARE(ByteLength(title->text()), 29);
        QCOMPARE(f.row(0).Fields[kTitle].size(), size_t(29));
        QCOMPARE(beeps.count(), 3);
    }

    void longerTextStaysAndOnlyShrinks() {
        EditFixture f({{kMpeg, "a.mp3"}});
        const std::string longTitle(40, 'L');
        f.session().rows.Edit(0, [&](TrackInfo& r) { r.Fields[kTitle] = longTitle; });
        f.main.ReloadEditWindow();
        QLineEdit* title = f.edit.box(0);
        QCOMPARE(title->text().size(), 40);
        QTest::keyClick(title, Qt::Key_End);
        Type(title, "x");
        QCOMPARE(title->text().size(), 40);
        QTest::keyClick(title, Qt::Key_Backspace);
        QCOMPARE(f.row(0).Fields[kTitle], std::string(39, 'L'));
        Type(title, "x");  // no growing back past the new length
        QCOMPARE(title->text().size(), 39);
    }

    void otherKindsAndSettingsLiftTheLimits() {
        EditFixture f({{kWave, "b.wav"}, {kRmp, "c.rmp"}, {kVqf, "d.vqf"}, {kMpeg, "a.mp3"}});
        const QString longText(40, 'w');
        for (const char* name : {"b.wav", "c.rmp"}) {
            f.Show(name);
            f.edit.box(0)->clear();
            Type(f.edit.box(0), longText);
            QCOMPARE(f.edit.box(0)->text(), longText);
            QVERIFY(f.edit.siGroup()->isEnabled());
            QVERIFY(f.edit.siOptionGroup()->isEnabled());
        }
        // SoundVQ: no SI fields, but no byte limits either.
        f.Show("d.vqf");
        QVERIFY(!f.edit.siGroup()->isEnabled());
        f.edit.box(0)->clear();
        Type(f.edit.box(0), longText);
        QCOMPARE(f.edit.box(0)->text(), longText);

        f.session().settings.Set(Option::EdtLimit, false);
        f.Show("a.mp3");
        QVERIFY(f.edit.siGroup()->isEnabled());
        f.edit.box(0)->clear();
        Type(f.edit.box(0), longText);
        QCOMPARE(f.edit.box(0)->text(), longText);
    }

    void softwareBoxFollowsEdtISFT() {
        EditFixture f({{kRmp, "c.rmp"}});
        f.Show("c.rmp");
        QVERIFY(!f.edit.box(kSoftware)->isEnabled());
        QCOMPARE(f.edit.box(kSoftware)->text(), QString("ソフトウェア"));
        f.session().settings.Set(Option::EdtISFT, true);
        f.main.ReloadEditWindow();
        QVERIFY(f.edit.box(kSoftware)->isEnabled());
    }

    void siGroupsChangeTheWindowHeight() {
        EditFixture f({{kRmp, "c.rmp"}});
        QAction* si = f.EditItem("RMP3L1");
        QAction* optional = f.EditItem("RMP3L2");
        si->trigger();
        const int withSi = f.edit.height();
        QVERIFY(f.edit.siGroup()->isVisible());
        optional->trigger();
        QVERIFY(f.edit.siOptionGroup()->isVisible());
        const int both = f.edit.height();
        QCOMPARE(both, withSi + f.edit.siOptionGroup()->height());
        // The optional group sits right below the other one.
        QCOMPARE(f.edit.siOptionGroup()->y(), f.edit.siGroup()->y() + f.edit.siGroup()->height());
        si->trigger();
        QVERIFY(f.edit.siGroup()->isHidden());
        QCOMPARE(f.edit.height(), both - f.edit.siGroup()->height());
        optional->trigger();
        const int none = f.edit.height();
        QCOMPARE(both - none, f.edit.siGroup()->height() + f.edit.siOptionGroup()->height());
        QVERIFY(f.edit.siGroup()->height() > f.edit.box(6)->height());
        // The client area ends six pixels below the first group.
        const QWidget* id3 = f.edit.findChild<QGroupBox*>("GroupBox1");
        QCOMPARE(none, id3->y() + id3->height() + 6);

        // The view menu shows the groups' visibility when it opens.
        optional->trigger();
        emit f.edit.findChild<QMenu*>("View1")->aboutToShow();
        QVERIFY(!si->isChecked());
        QVERIFY(optional->isChecked());
    }

    void stateIsRestoredAtTheNextStart() {
        {
            EditFixture f({{kRmp, "c.rmp"}});
            f.EditItem("RMP3L1")->trigger();
            f.EditItem("RMP3L2")->trigger();
            f.edit.resize(640, f.edit.height());
            f.main.AlwaysOnTopClick();
            QVERIFY(!f.edit.StaysOnTop());
            QVERIFY(!f.main.action("AlwaysOnTop")->isChecked());
            QVERIFY(f.main.close());
        }
        MainWindow main;
        TForm1 edit(main);
        QVERIFY(!edit.siGroup()->isHidden());
        QVERIFY(!edit.siOptionGroup()->isHidden());
        QCOMPARE(edit.width(), 640);
        QVERIFY(!edit.StaysOnTop());
        QVERIFY(!main.action("AlwaysOnTop")->isChecked());
        Settings stored;
        edit.StoreState(stored);
        QCOMPARE(stored.editWindow.f1Rmp, 1);
        QCOMPARE(stored.editWindow.f1RmpO, 1);
        QCOMPARE(stored.editWindow.f1OnTop, 0);
        QCOMPARE(stored.editWindow.f1Height, edit.height());
        QCOMPARE(stored.fonts[1].name, Sjis("ＭＳ ゴシック"));
    }

    void deleteRemovesWholeDoubleByteCharacters() {
        EditFixture f({{kWave, "b.wav"}});
        QLineEdit* title = f.edit.box(0);
        QVERIFY(f.Focus(title));
        auto deleteAt = [&](const QString& text, int pos) {
            title->setText(text);
            title->setCursorPosition(pos);
            QTest::keyClick(title, Qt::Key_Delete);
            return title->text();
        };
        QCOMPARE(deleteAt("aあいb", 1), QString("aいb"));
        QCOMPARE(f.row(0).Fields[kTitle], Sjis("aいb"));  // two bytes fewer, and the row is checked
        QVERIFY(f.row(0).Checked);
        QCOMPARE(deleteAt("abc", 1), QString("ac"));
        QCOMPARE(deleteAt("abc", 3), QString("abc"));
        // A half-width katakana is one byte of 0x80 or above: the byte after it goes too.
        QCOMPARE(deleteAt("ｱBC", 0), QString("C"));
        QCOMPARE(deleteAt("ｱあz", 0), QString("z"));  // never half of a character
        title->setText("abcdef");
        title->setSelection(1, 3);
        QTest::keyClick(title, Qt::Key_Delete);
        QCOMPARE(title->text(), QString("aef"));
        // The menu item does the same to the box with the focus.
        title->setText("あいう");
        title->setCursorPosition(0);
        f.EditItem("Delete1")->trigger();
        QCOMPARE(title->text(), QString("いう"));
        QVERIFY(title->isUndoAvailable());
    }

    void windowWriteWritesTheFileAndClearsTheCheck() {
        EditFixture f({{kNoTag, "plain.mp3"}, {kMpeg, "a.mp3"}});
        f.Show("plain.mp3");
        const int row = f.RowOf("plain.mp3");
        Type(f.edit.box(0), "Hello");
        QVERIFY(f.row(row).Checked);
        f.EditItem("W1")->trigger();
        const std::string bytes = ReadFile(f.Path("plain.mp3"));
        const std::string original = ReadFile(CorpusPath(kNoTag));
        QCOMPARE(bytes.size(), original.size() + kId3v1Size);
        QCOMPARE(bytes.substr(0, original.size()), original);
        QCOMPARE(bytes.substr(original.size(), 8), std::string("TAGHello"));
        QVERIFY(!f.row(row).Checked);
        QVERIFY(f.prompter.shown().empty());
        QCOMPARE(ReadFile(f.Path("a.mp3")), ReadFile(CorpusPath(kMpeg)));
    }

    void windowWriteRefusesId3v2Rows() {
        EditFixture f({{kId3v2, "v2.mp3"}});
        f.Show("v2.mp3");
        Type(f.edit.box(0), "z");
        f.EditItem("W1")->trigger();
        QCOMPARE(f.prompter.texts(), std::vector<std::string>{"ID3v2は未サポートです"});
        QVERIFY(f.row(0).Checked);
        QCOMPARE(ReadFile(f.Path("v2.mp3")), ReadFile(CorpusPath(kId3v2)));
    }

    void renameCountsFromZeroAndKeepsFullWidth() {
        EditFixture f({{kWave, "b.wav"}, {kMpeg, "a.mp3"}});
        f.session().settings.RenString = {"%n %2 %1%e"};
        const int row = f.RowOf("a.mp3");
        f.main.GoToRow(row);
        f.edit.box(0)->setText(QString());
        Type(f.edit.box(0), "ＡＢ/");
        f.session().rows.Edit(row, [](TrackInfo& r) { r.Checked = false; });
        f.EditItem("R1")->trigger();
        // Spaces become "_", "/" its full-width form; the full-width letters stay (no Zen2Han here).
        const std::string expected = Sjis("0" + std::to_string(row) + "_ＡＢ／_山田太郎.mp3");
        QCOMPARE(f.row(row).FileName, expected);
        QVERIFY(f.row(row).Checked);
        QCOMPARE(f.edit.fileNameBox()->text(), FromSjis(expected));
        QVERIFY(std::filesystem::exists(f.Path("a.mp3")));

        // Restore takes the name back from the path and leaves the check mark alone.
        f.session().rows.Edit(row, [](TrackInfo& r) { r.Checked = false; });
        f.EditItem("K1")->trigger();
        QCOMPARE(f.row(row).FileName, std::string("a.mp3"));
        QVERIFY(!f.row(row).Checked);
        QCOMPARE(f.edit.fileNameBox()->text(), QString("a.mp3"));
    }

    // The pop-up menu offers every command of the file, edit and function menus again, with
    // the same caption and hint and without a key.
    void popupRepeatsTheMenuCommandsWithoutKeys() {
        EditFixture f({{kWave, "b.wav"}});
        QStringList offered, repeated;
        for (const char* name : {"File1", "EditMenu1", "Function1"})
            for (const QAction* a : f.edit.findChild<QMenu*>(name)->actions()) offered << a->objectName();
        for (const char* name : {"PopupMenu1", "PopFunction1"}) {
            for (const QAction* pop : f.edit.findChild<QMenu*>(name)->actions()) {
                if (pop->isSeparator() || pop->menu()) continue;
                const QString command = pop->objectName().mid(3);
                QVERIFY2(pop->objectName().startsWith("Pop"), qPrintable(pop->objectName()));
                const QAction* item = f.EditItem(command.toUtf8().constData());
                QVERIFY2(item, qPrintable(command));
                QCOMPARE(pop->text(), item->text());
                QCOMPARE(pop->statusTip(), item->statusTip());
                QVERIFY(pop->shortcut().isEmpty());
                repeated << command;
            }
        }
        offered.sort();
        repeated.sort();
        QCOMPARE(repeated, offered);

        // A hint under the mouse shows in the main window's status bar.
        f.EditItem("K1")->showStatusText(&f.edit);
        QVERIFY(!f.EditItem("K1")->statusTip().isEmpty());
        QCOMPARE(f.main.statusBar()->currentMessage(), f.EditItem("K1")->statusTip());
    }

    void menuStatesFollowTheBoxAndTheChecks() {
        EditFixture f({{kWave, "b.wav"}});
        f.Show("b.wav");
        QLineEdit* title = f.edit.box(0);
        QVERIFY(f.Focus(title));
        title->deselect();
        QVERIFY(!f.EditItem("Undo1")->isEnabled());
        QVERIFY(!f.EditItem("Cut1")->isEnabled());
        QVERIFY(!f.EditItem("Copy1")->isEnabled());
        QVERIFY(f.EditItem("Paste1")->isEnabled());
        Type(title, "q");
        title->selectAll();
        QVERIFY(f.EditItem("Undo1")->isEnabled());
        QVERIFY(f.EditItem("Cut1")->isEnabled());
        f.EditItem("Undo1")->trigger();
        QCOMPARE(title->text(), QString("Wave Title"));

        // Fill is offered while a row is checked or FilChkOff is on.
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Checked = false; });
        QVERIFY(!f.EditItem("F1")->isEnabled());
        f.session().settings.Set(Option::FilChkOff, true);
        f.main.UpdateActionStates();
        QVERIFY(f.EditItem("F1")->isEnabled());
        QVERIFY(f.EditItem("R1")->isEnabled());
    }

    // However the rows leave the list, the edit window closes with the last one; the typing
    // it would take went nowhere.
    void closesWhenTheLastRowGoes() {
        EditFixture f({{kMpeg, "a.mp3"}, {kWave, "b.wav"}});
        auto reopen = [&f] {
            f.main.GoToRow(0);
            f.edit.ShowWindow();
            return f.edit.IsShown();
        };
        f.main.action("Refresh1")->trigger();  // F5 clears the list before it reads it again
        QCOMPARE(f.session().rows.size(), 2);
        QVERIFY(!f.edit.IsShown());

        QVERIFY(reopen());
        f.session().settings.Set(Option::EdtAddClr, true);
        f.main.AddChosenFiles({QString::fromStdString(f.Path("a.mp3"))});
        QCOMPARE(f.session().rows.size(), 1);
        QVERIFY(!f.edit.IsShown());

        QVERIFY(reopen());
        f.main.action("Delete1")->trigger();
        QVERIFY(f.session().rows.empty());
        QVERIFY(!f.edit.IsShown());

        // One of several rows going leaves the window open.
        f.main.AddChosenFiles({QString::fromStdString(f.Path("a.mp3")), QString::fromStdString(f.Path("b.wav"))});
        QVERIFY(reopen());
        f.main.action("Delete1")->trigger();
        QVERIFY(f.edit.IsShown());
        f.main.action("NewItem")->trigger();
        QVERIFY(!f.edit.IsShown());
    }

    void layoutFollowsTheWidth() {
        EditFixture f({{kWave, "b.wav"}});
        f.EditItem("RMP3L1")->trigger();
        f.edit.resize(700, f.edit.height());
        const int half = f.edit.findChild<QGroupBox*>("GroupBox1")->width() / 2;
        const int w = static_cast<int>((half - 2) * 0.95);
        const int x = half + 3;
        for (int field : {0, 1, 2, 6, 7}) QCOMPARE(f.edit.box(field)->width(), w);
        for (int field : {3, 8, 9}) {
            QCOMPARE(f.edit.box(field)->x(), x);
            QCOMPARE(f.edit.box(field)->width(), w);
        }
        QCOMPARE(f.edit.fileNameBox()->x(), x);
        QCOMPARE(f.edit.box(4)->x(), x);
        QCOMPARE(f.edit.box(4)->width(), static_cast<int>(w * 0.4));
        QCOMPARE(f.edit.box(5)->x(), x + static_cast<int>(w * 0.5));
        QCOMPARE(f.edit.box(5)->width(), static_cast<int>(w * 0.4));
        const QLabel* file = f.edit.findChild<QLabel*>("Captionファイル");
        QCOMPARE(file->x(), x);
        QCOMPARE(f.edit.findChild<QLabel*>("Label8")->x(), x + file->width() + 15);
    }

    void stayOnTopFollowsTheMainWindowItem() {
        EditFixture f({{kWave, "b.wav"}});
        QVERIFY(f.main.action("AlwaysOnTop")->isChecked());
        QVERIFY(f.edit.StaysOnTop());
        f.main.action("AlwaysOnTop")->trigger();
        QVERIFY(!f.edit.StaysOnTop());
        QVERIFY(f.edit.isVisible());  // a change of the window's flags keeps it shown
        f.main.action("AlwaysOnTop")->trigger();
        QVERIFY(f.edit.StaysOnTop());
        // The main window's item shows and closes the window.
        QVERIFY(f.edit.IsShown());
        f.main.EditWinClick();
        QVERIFY(!f.edit.IsShown());
        f.EditItem("Exit1")->trigger();
        f.main.EditWinClick();
        QVERIFY(f.edit.IsShown());
        f.EditItem("Exit1")->trigger();
        QVERIFY(!f.edit.IsShown());
    }

    void fontComesFromTheSettings() {
        MainWindow main;
        main.session().settings.fonts[1] = {Sjis("IPAGothic"), 14, 0x0000FF};
        TForm1 edit(main);
        QCOMPARE(edit.font().family(), QString("IPAGothic"));
        QCOMPARE(edit.font().pointSize(), 14);
        QCOMPARE(edit.palette().color(QPalette::Text), QColor(255, 0, 0));
        Settings stored;
        edit.StoreState(stored);
        QCOMPARE(stored.fonts[1], main.session().settings.fonts[1]);
    }

    void withNoStoredColourTextsTakeTheThemesColour() {
        const QPalette before = QApplication::palette();
        QPalette dark = before;
        for (auto role : {QPalette::Text, QPalette::WindowText}) dark.setColor(role, Qt::white);
        for (auto role : {QPalette::Base, QPalette::Window}) dark.setColor(role, Qt::black);
        QApplication::setPalette(dark);
        {
            MainWindow main;
            TForm1 edit(main);
            QCOMPARE(main.listView()->palette().color(QPalette::Text), QColor(Qt::white));
            QCOMPARE(edit.palette().color(QPalette::Text), QColor(Qt::white));
        }
        QApplication::setPalette(before);
    }
};

QTEST_MAIN(TageditTest)
#include "tagedit_test.moc"
