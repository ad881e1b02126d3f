// The busy section of long commands: the list keeps the keyboard afterwards and stays drawn
// meanwhile.
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "app/ui/MainWindow.h"
#include "app/ui/TrackListView.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

const char* const kFiles[] = {"mpeg/mpeg2_8k_22k_sjis_v1.mp3", "mpeg/mpeg2_16k_16khz_v1latin.mp3",
                              "mpeg/cbr128_44k_notag.mp3"};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

}  // namespace

class BusySectionTest : public QObject {
    Q_OBJECT

private:
    test::TempDir dir_;
    test::ScriptedPrompter prompter_;

    QStringList Copies() {
        QStringList paths;
        for (const char* file : kFiles) paths << QString::fromStdString(test::CopyCorpusFile(file, dir_));
        return paths;
    }
    static bool Activate(MainWindow& window) {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

private slots:
    void init() { RegistryKey::Delete(""); }

    // Started with files, the list has the keyboard: Space checks the first row.
    void listHasTheFocusAfterStartUp() {
        MainWindow window;
        window.SetPrompter(&prompter_);
        window.show();
        window.AddCommandLine(Copies());
        QVERIFY(Activate(window));
        QVERIFY(window.listView()->hasFocus());
        window.GoToRow(0);
        QTest::keyClick(window.listView(), Qt::Key_Space);
        QVERIFY(window.session().rows[0].Checked);
        window.session().settings.Set(Option::QuitMesOff, true);
    }

    void listGetsTheFocusBackAfterEveryBusySection() {
        MainWindow window;
        window.SetPrompter(&prompter_);
        window.show();
        QVERIFY(Activate(window));
        window.AddChosenFiles(Copies());
        QVERIFY(window.listView()->hasFocus());
        for (const char* key : {"Ctrl+A", "Shift+Ctrl+A", "Shift+Home", "Ctrl+0", "F5"}) {
            QTest::keySequence(&window, QKeySequence(QString::fromLatin1(key)));
            QVERIFY2(window.listView()->hasFocus(), key);
        }
        QCOMPARE(window.session().rows.size(), 3);
        // The item states, left alone while the rows change by the thousand, are current after.
        QTest::keySequence(&window, QKeySequence("Ctrl+A"));
        QVERIFY(window.action("C3")->isEnabled());
        QTest::keySequence(&window, QKeySequence("Shift+Ctrl+A"));
        QVERIFY(!window.action("C3")->isEnabled());
        window.session().settings.Set(Option::QuitMesOff, true);
    }

    // "中止" beside the count is the one control that takes input during a run: a shortcut
    // goes nowhere, and a click on it ends the run between two files and says how far it came.
    void stopEndsARunBetweenTwoFiles() {
        MainWindow window;
        window.SetPrompter(&prompter_);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.AddChosenFiles(Copies());
        window.session().settings.Set(Option::WitInfOff, true);
        for (int i = 0; i < 3; ++i) window.session().rows.Edit(i, [](TrackInfo& r) { r.Checked = true; });
        const std::string last = test::ReadFile(window.session().rows[2].Path);
        bool stopShown = false;
        QTimer::singleShot(0, [&] {  // at the first count
            QTest::keySequence(&window, QKeySequence("Ctrl+N"));
            auto* stop = window.findChild<QPushButton*>("StopButton");
            stopShown = stop && stop->isVisible();
            if (stopShown) QTest::mouseClick(stop, Qt::LeftButton);
        });
        window.W1Click();
        QVERIFY(stopShown);
        QCOMPARE(window.session().rows.size(), 3);
        QCOMPARE(prompter_.texts().back(), std::string("中止しました。\n3 件中 1 件を処理しました。"));
        QVERIFY(!window.session().rows[0].Checked);
        QVERIFY(window.session().rows[2].Checked);
        QCOMPARE(test::ReadFile(window.session().rows[2].Path), last);
        QVERIFY(!window.findChild<QPushButton*>("StopButton")->isVisible());
        window.session().settings.Set(Option::QuitMesOff, true);
    }

    // Rows added while the window is busy are drawn at the next progress report.
    void listIsDrawnWhileBusy() {
        MainWindow window;
        window.SetPrompter(&prompter_);
        window.resize(700, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter paints;
        window.listView()->viewport()->installEventFilter(&paints);
        window.Begin();
        TrackInfo row;
        row.FileName = "a.mp3";
        window.session().rows.Append(row);
        window.Progress(1, 1);
        const int whileBusy = paints.count;
        window.End();
        QVERIFY(whileBusy > 0);
    }
};

QTEST_MAIN(BusySectionTest)
#include "busy_section_test.moc"
