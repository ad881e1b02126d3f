// Message boxes come up above every window of the program, the edit window that stays on
// top included, whichever window the command came from.
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "TageditFixture.h"

using namespace wvr;
using namespace wvr::test;

namespace {

// How the next message box stood when it came up; it is answered with `button`.
struct BoxSeen {
    bool shown = false;
    bool onTop = false;
    QString title;
    QWidget* owner = nullptr;
};

void AnswerNextBox(BoxSeen& seen, const QString& button) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, button] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box || !box->isVisible()) continue;
            seen.shown = true;
            seen.title = box->windowTitle();
            seen.owner = box->parentWidget();
            seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && box->windowHandle() &&
                         box->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == button) b->click();
            timer->deleteLater();
            return;
        }
    });
    timer->start(10);
}

}  // namespace

class WindowStackingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { ForgetStoredSettings(); }

    // Ctrl+S in the main window while the edit window stays on top.
    void writeQuestionOverTheEditWindow() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.main.SetPrompter(nullptr);  // real message boxes
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Checked = true; });
        QVERIFY(f.edit.StaysOnTop() && f.edit.isVisible());
        f.main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.main));
        BoxSeen seen;
        AnswerNextBox(seen, "いいえ(&N)");
        QTest::keyClick(&f.main, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(seen.shown);
        QVERIFY(seen.onTop);
        QCOMPARE(seen.owner, static_cast<QWidget*>(&f.main));
        QVERIFY(f.row(0).Checked);  // answered No: nothing written
    }

    // A box raised from the edit window belongs to it.
    void boxFromTheEditWindowIsItsOwn() {
        EditFixture f({{kId3v2, "a.mp3"}});
        f.main.SetPrompter(nullptr);
        QVERIFY(f.Focus(f.edit.box(0)));
        BoxSeen seen;
        AnswerNextBox(seen, "OK");
        QTest::keyClick(f.edit.box(0), Qt::Key_S, Qt::ControlModifier);  // "ID3v2は未サポートです"
        QVERIFY(seen.shown);
        QVERIFY(seen.onTop);
        QCOMPARE(seen.owner, static_cast<QWidget*>(&f.edit));
    }

    void closeQuestionOverTheEditWindow() {
        EditFixture f({{kMpeg, "a.mp3"}});
        f.main.SetPrompter(nullptr);
        f.session().rows.Edit(0, [](TrackInfo& r) { r.Checked = true; });
        BoxSeen seen;
        AnswerNextBox(seen, "キャンセル");
        QVERIFY(!f.main.close());
        QVERIFY(seen.shown);
        QCOMPARE(seen.title, QString("Quit"));
        QVERIFY(seen.onTop);
        QVERIFY(f.main.isVisible());
        f.session().settings.Set(Option::QuitMesOff, true);
    }
};

QTEST_MAIN(WindowStackingTest)
#include "window_stacking_test.moc"
