// Drag and drop on the main list: drops carried by real drop events (keys, buttons, refusals),
// the right-button menu, what a drop adds or attaches, and rows dragged out.
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <unistd.h>

#include "app/commands/DragDrop.h"
#include "app/ui/FileDnD.h"
#include "app/ui/MainWindow.h"
#include "app/ui/TrackListView.h"
#include "platform/core/Registry.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace QTest {
template <>
char* toString(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& t : texts) list << QString::fromStdString(t);
    return qstrdup(qPrintable("{" + list.join(", ") + "}"));
}
}  // namespace QTest

namespace {

constexpr Qt::DropActions kAll = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

struct DropOutcome {
    bool entered = false;
    bool taken = false;
    Qt::DropAction moving = Qt::IgnoreAction;  // the answer while the drag moved
    Qt::DropAction effect = Qt::IgnoreAction;
};

}  // namespace

class FileDnDTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    test::ScriptedPrompter prompter_;

    RowList& rows() { return window_->session().rows; }
    Settings& settings() { return window_->session().settings; }
    std::string Copy(const char* corpus, const char* as) { return test::CopyCorpusFile(corpus, *dir_, as); }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const TrackInfo& row : rows()) names.push_back(row.FileName);
        return names;
    }

    // A drag of `data` over the list and its drop: the button held while it moves, the keys
    // held at the drop.
    DropOutcome Drop(const QMimeData& data, Qt::MouseButtons button = Qt::LeftButton,
                     Qt::KeyboardModifiers keys = Qt::NoModifier) {
        QWidget* viewport = window_->listView()->viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, kAll, &data, button, keys);
        QApplication::sendEvent(viewport, &enter);
        DropOutcome outcome{enter.isAccepted()};
        if (!outcome.entered) return outcome;
        QDragMoveEvent move(at, kAll, &data, button, keys);
        QApplication::sendEvent(viewport, &move);
        outcome.moving = move.dropAction();
        QDropEvent drop(at, kAll, &data, Qt::NoButton, keys);
        QApplication::sendEvent(viewport, &drop);
        outcome.taken = drop.isAccepted();
        outcome.effect = drop.dropAction();
        return outcome;
    }
    DropOutcome DropFiles(const std::vector<std::string>& paths, Qt::MouseButtons button = Qt::LeftButton,
                          Qt::KeyboardModifiers keys = Qt::NoModifier) {
        return Drop(*MakeFileData(paths), button, keys);
    }
    // Chooses an item of the drop menu once it is open.
    void ChooseFromDropMenu(const char* item, QString* defaultItem) {
        QTimer::singleShot(0, this, [=] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->objectName() == "PopupMenu2");
            *defaultItem = menu->defaultAction()->objectName();
            menu->setActiveAction(menu->findChild<QAction*>(item));
            QTest::keyClick(menu, Qt::Key_Return);
        });
    }

private slots:
    void init() {
        RegistryKey::Delete("");
        dir_ = std::make_unique<test::TempDir>();
        prompter_ = test::ScriptedPrompter();
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        window_->resize(700, 400);
        window_->show();
        settings().Set(Option::DropActive, false);
        window_->AddChosenFiles({QString::fromStdString(Copy("mpeg/cbr128_44k_notag.mp3", "song.mp3"))});
    }
    void cleanup() {
        settings().Set(Option::QuitMesOff, true);
        window_.reset();
    }

    void effectFollowsTheKeysAndOnlyFileListsAreTaken() {
        QCOMPARE(DropEffectFor(Qt::ControlModifier | Qt::ShiftModifier, kAll, Qt::CopyAction), Qt::LinkAction);
        QCOMPARE(DropEffectFor(Qt::ControlModifier, kAll, Qt::MoveAction), Qt::CopyAction);
        QCOMPARE(DropEffectFor(Qt::ShiftModifier, kAll, Qt::CopyAction), Qt::MoveAction);
        QCOMPARE(DropEffectFor(Qt::NoModifier, Qt::CopyAction, Qt::CopyAction), Qt::CopyAction);

        QMimeData text;
        text.setText("not files");
        QVERIFY(!Drop(text).entered);
        const DropOutcome copied = DropFiles({Copy("mpeg/vbr_lame_xing.mp3", "b.mp3")}, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(copied.taken);
        QCOMPARE(copied.effect, Qt::CopyAction);
        QCOMPARE(DropFiles({Copy("mpeg/mp2_192k_48k.mp2", "m.mp2")}).moving, Qt::MoveAction);
        rows().Remove(rows().size() - 1);
        QCOMPARE(Names(), (std::vector<std::string>{"song.mp3", "b.mp3"}));

        // While a dialog holds the rows the list takes nothing.
        window_->listView()->setAcceptDrops(false);
        QVERIFY(!DropFiles({Copy("mpeg/mp2_192k_48k.mp2", "c.mp2")}).entered);
        window_->listView()->setAcceptDrops(true);
        QVERIFY(DropFiles({dir_->path() + "/c.mp2"}).taken);
        QCOMPARE(rows().size(), 3);
    }

    void shiftTurnsAddingIntoANewList() {
        settings().Set(Option::EdtAddClr, false);
        DropFiles({Copy("mpeg/vbr_lame_xing.mp3", "b.mp3")}, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(Names(), std::vector<std::string>{"b.mp3"});
        settings().Set(Option::EdtAddClr, true);
        DropFiles({Copy("mpeg/mp2_192k_48k.mp2", "c.mp2")}, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(Names(), (std::vector<std::string>{"b.mp3", "c.mp2"}));
    }

    void rightButtonDropAsksFirst() {
        const std::string b = Copy("mpeg/vbr_lame_xing.mp3", "b.mp3");
        QString defaultItem;
        ChooseFromDropMenu("DropCancel", &defaultItem);
        const DropOutcome cancelled = DropFiles({b}, Qt::RightButton);
        QVERIFY(!cancelled.taken);
        // The source acts on the answer given while moving, before the choice: never a move.
        QCOMPARE(cancelled.moving, Qt::CopyAction);
        QCOMPARE(defaultItem, QString("DropAdd"));
        QCOMPARE(rows().size(), 1);

        ChooseFromDropMenu("DropAdd", &defaultItem);
        QVERIFY(DropFiles({b}, Qt::RightButton, Qt::ShiftModifier).taken);
        QCOMPARE(defaultItem, QString("DropNew"));  // Shift proposes a new list; the choice wins
        QCOMPARE(Names(), (std::vector<std::string>{"song.mp3", "b.mp3"}));

        ChooseFromDropMenu("DropNew", &defaultItem);
        QVERIFY(DropFiles({Copy("mpeg/mp2_192k_48k.mp2", "c.mp2")}, Qt::RightButton).taken);
        QCOMPARE(Names(), std::vector<std::string>{"c.mp2"});
        QVERIFY(prompter_.shown().empty());
    }

    void aDropThatAddsNothingKeepsTheListAndNamesWhatItLeftOut() {
        settings().Set(Option::EdtAddClr, true);
        // Names Shift-JIS cannot hold, one dropped itself and one inside a dropped folder.
        const std::string chloe = Copy("mpeg/vbr_lame_xing.mp3", "chloë.mp3");
        Copy("mpeg/vbr_lame_xing.mp3", "in/zoë.mp3");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(chloe)),
                      QUrl::fromLocalFile(QString::fromStdString(dir_->path() + "/in"))});
        QVERIFY(Drop(data).taken);
        QCOMPARE(Names(), std::vector<std::string>{"song.mp3"});  // nothing added, nothing cleared
        QTRY_COMPARE(prompter_.shown().size(), size_t(1));       // once, after the drop
        const std::string text = prompter_.texts()[0];
        for (const char* part : {" 2 個", "chloë.mp3", "in/zoë.mp3"}) QVERIFY2(text.find(part) != std::string::npos, part);
    }

    void playlistsAreReadCsvFilesSkippedFoldersScanned() {
        const std::string playlist = dir_->path() + "/LIST.M3U";
        test::WriteFile(playlist, "#EXTM3U\r\nlisted.mp3\r\n");
        Copy("mpeg/vbr_lame_xing.mp3", "listed.mp3");
        // A music file named .CSV proves that the name, not the content, decides.
        const std::string csv = Copy("mpeg/mp2_192k_48k.mp2", "table.CSV");
        DropFiles({playlist, csv, test::CorpusPath("tree")});
        std::vector<std::string> names = Names();
        std::sort(names.begin() + 2, names.end());  // the folder in the file system's order
        QCOMPARE(names, (std::vector<std::string>{"song.mp3", "listed.mp3", "a.mp3", "b.rmp"}));
    }

    void aSingleTextFileBecomesTheFocusedRowsLyrics() {
        window_->GoToRow(0);
        const std::string lyrics = Copy("tree/notes.txt", "words.TXT");
        DropFiles({lyrics});
        QCOMPARE(test::ReadFile(dir_->path() + "/song.TXT"), test::ReadFile(test::CorpusPath("tree/notes.txt")));
        QVERIFY(::access(lyrics.c_str(), F_OK) != 0);
        QCOMPARE(rows().size(), 1);

        // Two files, or a ".lrc", are only added.
        const std::string other = Copy("tree/notes.txt", "x.txt");
        DropFiles({other, Copy("mpeg/vbr_lame_xing.mp3", "b.mp3")});
        DropFiles({Copy("tree/notes.txt", "y.lrc")});
        QVERIFY(!::access(other.c_str(), F_OK) && !::access((dir_->path() + "/y.lrc").c_str(), F_OK));
        QCOMPARE(rows().size(), 2);
        QVERIFY(prompter_.shown().empty());
    }

    void rowsDraggedOutAndTheMoveRule() {
        window_->AddChosenFiles({QString::fromStdString(Copy("mpeg/vbr_lame_xing.mp3", "b.mp3"))});
        window_->AddChosenFiles({QString::fromStdString(Copy("mpeg/mp2_192k_48k.mp2", "c.mp2"))});
        QCOMPARE(rows().size(), 3);
        std::vector<std::string> dragged;
        Qt::DropAction answer = Qt::CopyAction;
        bool listTookDrops = true;
        TFileDnD* dnd = window_->fileDnD();
        dnd->SetDragRunner([&](const std::vector<std::string>& paths, Qt::DropActions allowed) {
            dragged = paths;
            listTookDrops = window_->listView()->acceptDrops();
            // Over its own list the drag is refused.
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(QString::fromStdString(paths[0]))});
            QDragEnterEvent enter(QPoint(5, 5), allowed, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(window_->listView()->viewport(), &enter);
            return DragResult{!enter.isAccepted(), answer};
        });
        rows().Mutable(0).Checked = true;
        rows().Mutable(2).Checked = true;
        rows().ChangedAll();

        window_->GoToRow(1);  // highlighted but not checked: only that row
        window_->ListView1MouseDown(true);
        QCOMPARE(dragged, std::vector<std::string>{dir_->path() + "/b.mp3"});
        QVERIFY(!listTookDrops && window_->listView()->acceptDrops());
        QCOMPARE(dnd->trackedButton(), int(kKeyLeft));
        QCOMPARE(rows().size(), 3);  // copied: the rows stay

        window_->GoToRow(2);  // highlighted and checked: every checked row
        answer = Qt::MoveAction;
        window_->ListView1MouseDown(false);
        QCOMPARE(dragged, (std::vector<std::string>{dir_->path() + "/song.mp3", dir_->path() + "/c.mp2"}));
        QCOMPARE(dnd->trackedButton(), int(kKeyRight));
        QCOMPARE(Names(), std::vector<std::string>{"b.mp3"});  // moved: the rows go
    }
};

QTEST_MAIN(FileDnDTest)
#include "file_dnd_test.moc"
