// The help: every topic the program opens is a page beside the program, every link leads to
// a page, and the options dialog, F1 and the help menu open the right ones.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/commands/Options.h"
#include "app/ui/MainWindow.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Option.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

QString Shown() { return HelpViewer::Instance()->browser()->source().fileName(); }

}  // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    test::ScriptedPrompter prompter_;

private slots:
    void init() {
        RegistryKey::Delete("");
        SetHelpFolder(WVR_BUILD_HELP_DIR);
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        window_->show();
    }
    void cleanup() {
        window_->session().settings.Set(Option::QuitMesOff, true);
        window_.reset();
        SetHelpFolder({});
    }

    void everyTopicIsAPageAndEveryLinkLeadsToOne() {
        for (const QString& topic : HelpTopics())
            QVERIFY2(QFileInfo::exists(HelpTopicFile(topic)), qPrintable(topic));
        const QDir folder(HelpFolder());
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)"));
        const QStringList pages = folder.entryList({"*.html"});
        QVERIFY(pages.size() >= HelpTopics().size());
        for (const QString& page : pages) {
            QFile file(folder.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(file.readAll());
            QVERIFY2(html.contains("<title>"), qPrintable(page));
            for (auto it = link.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1);
                if (target.startsWith("http")) continue;
                QVERIFY2(folder.exists(target), qPrintable(page + " -> " + target));
            }
        }
    }

    void helpButtonOpensTheTopicOfTheCurrentPage() {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TForm2*>(QApplication::activeModalWidget());
            if (!dialog) return;
            shown = true;
            auto* pages = dialog->findChild<QTabWidget*>("PageControl1");
            for (int page = 0; page < kOptionPageCount; ++page) {
                pages->setCurrentIndex(page);
                QTest::mouseClick(dialog->findChild<QPushButton*>("HelpBtn"), Qt::LeftButton);
                QCOMPARE(Shown(), QString::fromStdString(OptionsHelpTopic(page)) + ".html");
                QVERIFY(!HelpViewer::Instance()->browser()->documentTitle().isEmpty());
            }
            dialog->reject();
        });
        window_->action("Option1")->trigger();
        QVERIFY(shown);
        // The help stays open after the dialog that asked for it has gone.
        QVERIFY(HelpViewer::Instance() && HelpViewer::Instance()->isVisible());
    }

    void f1InTheToolDialogsOpensTheirPages() {
        test::TempDir dir;
        window_->AddChosenFiles({QString::fromStdString(test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir))});
        window_->GoToRow(0);
        window_->session().settings.Set(Option::GetChkOff, true);
        const std::pair<std::function<void()>, QString> dialogs[] = {
            {[&] { window_->F2Click(); }, "fill.html"},
            {[&] { window_->Find2Click(); }, "find.html"},
            {[&] { window_->G2Click(); }, "fromname.html"},
            {[&] { window_->OutputItemClick(255); }, "output.html"},
            {[&] { window_->InputItemClick(0); }, "textinput.html"},
        };
        for (const auto& [open, page] : dialogs) {
            QString shown;
            QTimer::singleShot(0, [&shown] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                dialog->activateWindow();
                if (!QTest::qWaitFor([dialog] { return dialog->isAncestorOf(QApplication::focusWidget()); })) return;
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
                if (HelpViewer::Instance()) shown = Shown();
                dialog->reject();
            });
            open();
            QCOMPARE(shown, page);
        }
    }

    void f1AndTheHelpMenuOpenTheMainPage() {
        QAction* contents = window_->action("Contents1");
        QCOMPARE(contents->shortcut(), QKeySequence(Qt::Key_F1));
        contents->trigger();
        QCOMPARE(Shown(), QString("main.html"));
        HelpViewer* viewer = HelpViewer::Instance();
        viewer->browser()->setSource(QUrl("macros.html"));
        QCOMPARE(Shown(), QString("macros.html"));
        QTest::mouseClick(viewer->findChild<QToolButton*>("BackButton"), Qt::LeftButton);
        QCOMPARE(Shown(), QString("main.html"));

        // Without the pages the window says where they belong instead of staying blank.
        SetHelpFolder("/nonexistent-help");
        viewer->ShowTopic(kMainHelpTopic);
        QVERIFY(viewer->browser()->toPlainText().contains("main"));
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
