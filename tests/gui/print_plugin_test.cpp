// The printing plug-in: the menu item with and without the library, where it is looked for, the
// entry point looked up at every use, a plug-in that throws or has another interface version,
// the real plug-in's window, and the label it writes as PDF.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "app/PrintHost.h"
#include "app/ui/Application.h"
#include "app/ui/MainWindow.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"
#include "wvr_prn/LabelLayout.h"
#include "wvr_prn/PrintForm.h"

using namespace wvr;

namespace {

class ListHost : public PrintHost {
public:
    struct Row {
        QString title, artist, album, seconds;
        bool checked = false;
    };
    QWidget* MainWindow() const override { return nullptr; }
    int RowCount() const override { return rows.size(); }
    QString RowText(int row, int text) const override {
        const Row& r = rows[row];
        switch (text) {
        case Title: return r.title;
        case Artist: return r.artist;
        case Album: return r.album;
        case Seconds: return r.seconds;
        case FileName: return QString("track%1.mp3").arg(row + 1);
        default: return {};
        }
    }
    bool RowChecked(int row) const override { return rows[row].checked; }
    int FocusedRow() const override { return -1; }

    QVector<Row> rows;
};

QString Tool(const QString& command) { return QString::fromStdString(test::RunTool(command.toStdString())); }

}  // namespace

class PrintPluginTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    test::ScriptedPrompter prompter_;

    QStringList FileMenu() {
        QStringList items;
        for (QAction* a : window_->findChild<QMenu*>("File1")->actions())
            items << (a->isSeparator() ? QString("-") : a->text());
        return items;
    }

private slots:
    void init() {
        RegistryKey::Delete("");
        prompter_ = test::ScriptedPrompter();
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        TrackInfo row;
        row.Fields[kTitle] = test::Sjis("春の小川");
        row.Path = "/m/a.mp3";
        window_->session().rows.Append(row);
    }
    void cleanup() { window_.reset(); }

    void withoutTheLibraryThereIsNoItem() {
        // The test program's own folder has no "dll" folder.
        QVERIFY(!window_->action("Print1"));
        const QStringList items = FileMenu();
        const qsizetype convert = items.indexOf(QString("ﾌｧｲﾙ形式の変換(&C)..."));
        QCOMPARE(items.mid(convert + 1), (QStringList{"-", "終了(&X)"}));
    }

    void theItemFollowsConversionAndCallsTheEntryPoint() {
        window_->LoadPrintPlugin(WVR_TEST_PRN_DIR "/prn-present");
        const QStringList items = FileMenu();
        const qsizetype convert = items.indexOf(QString("ﾌｧｲﾙ形式の変換(&C)..."));
        QCOMPARE(convert, 11);
        QCOMPARE(items.mid(convert + 1), (QStringList{"-", "印刷(&P)...", "-", "終了(&X)"}));
        QAction* print = window_->action("Print1");
        QCOMPARE(print->statusTip(), QString("レーベル印刷などを行います"));
        QVERIFY(print->shortcut().isEmpty());
        print->trigger();
        print->trigger();
        QCOMPARE(window_->property("printCalls").toInt(), 2);
        QCOMPARE(window_->property("printRows").toInt(), 1);
        QCOMPARE(window_->property("printFirstTitle").toString(), QString("春の小川"));
        QVERIFY(prompter_.shown().empty());
    }

    void aLibraryWithoutTheEntryPointSaysSoEveryTime() {
        window_->LoadPrintPlugin(WVR_TEST_PRN_DIR "/prn-noentry");
        QAction* print = window_->action("Print1");
        QVERIFY(print);
        print->trigger();
        print->trigger();
        QCOMPARE(prompter_.texts(), (std::vector<std::string>{"関数ポインタの取得に失敗しました",
                                                               "関数ポインタの取得に失敗しました"}));
        QCOMPARE(prompter_.shown()[0].icon, PromptIcon::None);
    }

    void anInstalledPlugInIsFoundFromTheProgramsFolder() {
        window_->LoadPrintPlugin(WVR_TEST_PRN_DIR "/prn-installed/bin");
        QVERIFY(window_->action("Print1"));
        window_->action("Print1")->trigger();
        QCOMPARE(window_->property("printCalls").toInt(), 1);
    }

    // What the program says instead of ending: an exception from the plug-in, a plug-in built
    // against another interface version (or none). The program stays usable for the next try.
    void aFailingOrForeignPlugInIsStoppedWithAMessage_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("throws std") << "throwsstd" << "印刷プラグインでエラーが発生しました。\n用紙がありません";
        QTest::newRow("throws int") << "throwsint" << "印刷プラグインでエラーが発生しました。";
        QTest::newRow("old version") << "oldversion"
                                     << QString("印刷プラグインのバージョン (%1) がこのプログラムのもの (%2) と違うため、使えません。")
                                            .arg(kPrintHostVersion - 1).arg(kPrintHostVersion);
        QTest::newRow("no version") << "noversion"
                                    << QString("印刷プラグインのバージョン (なし) がこのプログラムのもの (%1) と違うため、使えません。")
                                           .arg(kPrintHostVersion);
    }
    void aFailingOrForeignPlugInIsStoppedWithAMessage() {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        window_->LoadPrintPlugin(WVR_TEST_PRN_DIR "/prn-" + kind);
        window_->action("Print1")->trigger();
        window_->action("Print1")->trigger();
        QCOMPARE(prompter_.shown().size(), size_t(2));
        for (const Prompt& shown : prompter_.shown()) {
            QVERIFY2(QString::fromStdString(shown.text).startsWith(text), shown.text.c_str());
            QCOMPARE(shown.icon, PromptIcon::Stop);
            QCOMPARE(shown.title, std::string("wvr"));
        }
        QVERIFY(!window_->property("printCalls").isValid());
    }

    // An exception from a slot of the plug-in's own dialog: said as one from its entry point,
    // and the dialog and the program go on.
    void anExceptionInThePlugInsDialogIsSaidAndTheDialogGoesOn() {
        window_->LoadPrintPlugin(WVR_TEST_PRN_DIR "/prn-throwsinslot");
        bool dialogLived = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            QTest::mouseClick(dialog->findChild<QWidget*>("ThrowButton"), Qt::LeftButton);
            dialogLived = dialog->isVisible();
            dialog->close();
        });
        window_->action("Print1")->trigger();
        QVERIFY(dialogLived);
        QCOMPARE(prompter_.texts(), std::vector<std::string>{"印刷プラグインでエラーが発生しました。\n用紙がありません"});
        QCOMPARE(window_->property("printCalls").toInt(), 1);  // the plug-in went on after it
    }

    void theRealPlugInShowsItsPreview() {
        window_->LoadPrintPlugin(WVR_PROGRAM_DIR);
        QVERIFY(window_->action("Print1"));
        QString album;
        int pages = 0;
        QRect placed, screen;
        QTimer::singleShot(0, this, [&] {
            QWidget* form = QApplication::activeModalWidget();
            QVERIFY(form && form->objectName() == "TPrintForm");
            placed = form->frameGeometry();
            screen = form->screen()->availableGeometry();
            pages = form->findChild<QPrintPreviewWidget*>("PrintPreview")->pageCount();
            album = form->findChild<QLineEdit*>("AlbumEdit")->text();
            form->close();
        });
        window_->action("Print1")->trigger();
        QCOMPARE(pages, 1);
        QCOMPARE(album, QString());
        QVERIFY(screen.contains(placed));  // the window fits the screen it opens on
    }

    void aPdfNameTypedWithoutExtensionGetsOne() {
        ListHost host;
        host.rows = {{"Song", "Band", "Album", "200", false}};
        label::TPrintForm form(host, nullptr);
        test::TempDir dir;
        const QString typed = QString::fromStdString(dir / "mylabel");
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept();  // through the public slot
        });
        form.PdfClick();
        QVERIFY(QFileInfo::exists(typed + ".pdf"));
        QVERIFY(!QFileInfo::exists(typed));
    }

    void theLabelAsPdf() {
        if (!test::HasTool("pdfinfo") || !test::HasTool("pdftotext")) QSKIP("pdfinfo and pdftotext (poppler-utils) are needed");
        ListHost host;
        host.rows = {{"春の小川", "山田太郎", "日本の歌", "185", true},
                     {"Winter", "Guest", "日本の歌", "62", false},
                     {"", "山田太郎", "Other", "3725", true}};
        label::LabelData data = label::LabelDataFrom(host, false);
        QCOMPARE(data.album, QString("日本の歌"));
        QCOMPARE(data.artist, QString("山田太郎"));
        QCOMPARE(data.tracks.size(), 3);
        QCOMPARE(label::LabelDataFrom(host, true).tracks.size(), 2);

        test::TempDir dir;
        const QString pdf = QString::fromStdString(dir / "label.pdf");
        QVERIFY(label::SaveLabelPdf(data, pdf));
        QVERIFY(Tool("pdfinfo '" + pdf + "'").contains(QRegularExpression("Pages:\\s+1\\n")));
        const QString text = Tool("pdftotext '" + pdf + "' -");
        for (const char* expected : {"日本の歌", "山田太郎", "春の小川", "3:05", "Winter / Guest", "track3.mp3",
                                     "1:02:05", "3 曲"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);

        // Tracks beyond the back card continue on further pages.
        data.tracks = QVector<label::Track>(120, label::Track{"Song", "", 200});
        QCOMPARE(label::PageCount(data), 3);
        QVERIFY(label::SaveLabelPdf(data, pdf));
        QVERIFY(Tool("pdfinfo '" + pdf + "'").contains(QRegularExpression("Pages:\\s+3\\n")));
        QVERIFY(!label::SaveLabelPdf(data, QString::fromStdString(dir / "missing/label.pdf")));
    }
};

// The program's application, which catches what Qt delivers; otherwise as QTEST_MAIN.
int main(int argc, char** argv) {
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    PrintPluginTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "print_plugin_test.moc"
