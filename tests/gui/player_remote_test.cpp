// The remote control of a running player from the main window, against fake MPRIS players on
// a private session bus: the calls each button makes, the ticks of a held button, the state
// shown, which player is chosen, and the buttons following players on and off the bus.
#include <QApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QFile>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QMenu>
#include <QMutex>
#include <QSemaphore>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "app/commands/PlayFiles.h"
#include "app/ui/MainWindow.h"
#include "platform/core/Registry.h"
#include "platform/dbus/RemotePlayer.h"
#include "support/TestSupport.h"

using namespace wvr;

namespace {

// What a fake player was asked, in order; shared with the test's thread.
class CallLog {
public:
    void Add(const QString& call) {
        QMutexLocker lock(&mutex_);
        calls_ << call;
    }
    QStringList Take() {
        QMutexLocker lock(&mutex_);
        return std::exchange(calls_, {});
    }
    QStringList Peek() {
        QMutexLocker lock(&mutex_);
        return calls_;
    }

private:
    QMutex mutex_;
    QStringList calls_;
};

class FakePlayer;

class RootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
public:
    RootAdaptor(QObject* parent, CallLog& log, bool canQuit) : QDBusAbstractAdaptor(parent), log_(log), canQuit_(canQuit) {}
    bool CanQuit() const { return canQuit_; }
public slots:
    void Quit() { log_.Add("Quit"); }

private:
    CallLog& log_;
    bool canQuit_;
};

class PlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
public:
    PlayerAdaptor(QObject* parent, CallLog& log, QString connection, QString status)
        : QDBusAbstractAdaptor(parent), log_(log), connection_(std::move(connection)), status_(std::move(status)) {}
    QString PlaybackStatus() const {
        QMutexLocker lock(&mutex_);
        return status_;
    }
    // Changes the state and tells the bus, as a player does.
    void SetStatus(const QString& status) {
        {
            QMutexLocker lock(&mutex_);
            status_ = status;
        }
        QDBusMessage changed = QDBusMessage::createSignal("/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                                                          "PropertiesChanged");
        changed << QString("org.mpris.MediaPlayer2.Player") << QVariantMap{{"PlaybackStatus", status}} << QStringList();
        QDBusConnection(connection_).send(changed);
    }
public slots:
    void Play() { Record("Play", "Playing"); }
    void PlayPause() { Record("PlayPause", PlaybackStatus() == "Playing" ? "Paused" : "Playing"); }
    void Stop() { Record("Stop", "Stopped"); }
    void Previous() { log_.Add("Previous"); }
    void Next() { log_.Add("Next"); }
    void Seek(qlonglong offset) { log_.Add("Seek " + QString::number(offset)); }
    void OpenUri(const QString& uri) { log_.Add("OpenUri " + uri); }

private:
    void Record(const QString& call, const QString& status) {
        log_.Add(call);
        SetStatus(status);
    }
    CallLog& log_;
    QString connection_;
    mutable QMutex mutex_;
    QString status_;
};

// A player with a bus connection of its own, answering from a thread of its own (the window
// waits for its answers on the test's thread).
class FakePlayer {
public:
    FakePlayer(const QString& name, const QString& status, bool canQuit = true)
        : service_("org.mpris.MediaPlayer2." + name) {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        connection_ = name;
        object_ = new QObject;
        new RootAdaptor(object_, log_, canQuit);
        player_ = new PlayerAdaptor(object_, log_, name, status);
        object_->moveToThread(&thread_);
        thread_.start();
        bus.registerObject("/org/mpris/MediaPlayer2", object_, QDBusConnection::ExportAdaptors);
        bus.registerService(service_);
    }
    ~FakePlayer() {
        Leave();
        QDBusConnection::disconnectFromBus(connection_);
        object_->deleteLater();  // in its own thread, as it finishes
        thread_.quit();
        thread_.wait();
    }
    void Leave() { QDBusConnection(connection_).unregisterService(service_); }
    void SetStatus(const QString& status) { player_->SetStatus(status); }
    // What it was asked since Forget; the calls arrive while the window goes on.
    QStringList Seen() { return log_.Peek(); }
    void Forget() { log_.Take(); }
    // Keeps the player from answering until Release, as a stopped process does.
    void Hold() {
        QMetaObject::invokeMethod(object_, [this] { held_.acquire(); });
    }
    void Release() { held_.release(); }
    const QString& service() const { return service_; }

private:
    QString service_;
    QString connection_;
    QThread thread_;
    QObject* object_ = nullptr;
    PlayerAdaptor* player_ = nullptr;
    CallLog log_;
    QSemaphore held_;
};

class LaunchRecorder : public ProcessStarter {
public:
    LaunchOutcome OpenWithDefault(const std::string&, bool) override {
        ++starts;
        return {true, 1, {}};
    }
    LaunchOutcome StartProgram(const std::string&, const std::vector<std::string>&, const std::string&,
                               bool) override {
        ++starts;
        return {true, 1, {}};
    }
    int starts = 0;
};

// The calls a player receives, in order, once they have arrived; then forgotten.
#define QTRY_CALLS(player, ...)                             \
    do {                                                    \
        QTRY_COMPARE((player).Seen(), QStringList(__VA_ARGS__)); \
        (player).Forget();                                  \
    } while (0)
// Nothing arrives (given the time a call takes on a private bus).
#define NO_CALLS(player)                        \
    do {                                        \
        QTest::qWait(100);                      \
        QCOMPARE((player).Seen(), QStringList()); \
    } while (0)

const char* const kRemoteButtons[] = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4",
                                      "ToolButton5", "ToolButton6", "ToolButton7"};

}  // namespace

class PlayerRemoteTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> window_;
    test::ScriptedPrompter prompter_;
    LaunchRecorder starter_;
    std::vector<int> pauses_;

    QAction* Action(const char* name) { return window_->action(name); }
    bool RemoteEnabled() {
        for (const char* name : kRemoteButtons)
            if (!Action(name)->isEnabled()) return false;
        return true;
    }
    bool RemoteDisabled() {
        for (const char* name : kRemoteButtons)
            if (Action(name)->isEnabled()) return false;
        return true;
    }
    QString Pressed() {
        QString pressed;
        for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3"})
            if (Action(name)->isChecked()) pressed += name;
        return pressed;
    }
    QWidget* Button(const char* name) { return window_->findChild<QToolBar*>("ToolBar1")->widgetForAction(Action(name)); }
    QTimer* Timer1() { return window_->findChild<QTimer*>("Timer1"); }

private slots:
    void init() {
        RegistryKey::Delete("");
        pauses_.clear();
        window_ = std::make_unique<MainWindow>();
        window_->SetPrompter(&prompter_);
        window_->SetProcessStarter(&starter_);
        window_->SetPause([this](int ms) { pauses_.push_back(ms); });
        window_->show();
    }
    void cleanup() { window_.reset(); }

    void buttonsWaitForAPlayerAndFollowItOnAndOffTheBus() {
        QVERIFY(RemoteDisabled());
        QVERIFY(Action("ToolButton8")->isEnabled());
        QVERIFY(Action("ToolButton9")->isEnabled());
        {
            FakePlayer player("one", "Paused");
            QTRY_VERIFY(RemoteEnabled());
            QCOMPARE(Pressed(), QString("ToolButton2"));
            // The player changing state by itself is shown without polling.
            player.SetStatus("Playing");
            QTRY_COMPARE(Pressed(), QString("ToolButton1"));
            player.Leave();
            QTRY_VERIFY(RemoteDisabled());
            QCOMPARE(Pressed(), QString());
        }
    }

    void everyButtonAndItemSendsItsCall() {
        FakePlayer player("one", "Stopped");
        QTRY_VERIFY(RemoteEnabled());
        QTRY_COMPARE(Pressed(), QString("ToolButton3"));
        Action("ToolButton1")->trigger();
        QTRY_CALLS(player, QStringList{"Play"});
        QTRY_COMPARE(Pressed(), QString("ToolButton1"));
        Action("ToolButton2")->trigger();
        QTRY_COMPARE(Pressed(), QString("ToolButton2"));
        Action("ToolButton3")->trigger();
        QTRY_COMPARE(Pressed(), QString("ToolButton3"));
        Action("ToolButton4")->trigger();
        Action("ToolButton7")->trigger();
        QTRY_CALLS(player, QStringList{"PlayPause", "Stop", "Previous", "Next"});
        // Both submenus run the buttons' handlers.
        for (const char* item : {"WinampPlay", "WinampPause", "WinampStop", "WinampPrev", "WinampNext", "PopWinampPlay",
                                 "PopWinampPause", "PopWinampStop", "PopWinampPrev", "PopWinampNext"})
            Action(item)->trigger();
        QTRY_CALLS(player, QStringList{"Play", "PlayPause", "Stop", "Previous", "Next", "Play", "PlayPause", "Stop",
                                       "Previous", "Next"});
        // A submenu shows the toggle buttons' state when it opens; stop is the pop-up's default.
        emit window_->findChild<QMenu*>("WinAMPW1")->aboutToShow();
        QVERIFY(Action("WinampStop")->isChecked());
        QVERIFY(!Action("WinampPlay")->isChecked() && !Action("WinampPause")->isChecked());
        QCOMPARE(window_->findChild<QMenu*>("WinAMP1")->defaultAction(), Action("PopWinampStop"));
    }

    void heldButtonSeeksOnEveryTickAndAClickSendsNothing() {
        FakePlayer player("one", "Playing");
        QTRY_VERIFY(RemoteEnabled());
        QTest::mouseClick(Button("ToolButton6"), Qt::LeftButton);
        QTest::qWait(0);
        QVERIFY(!Timer1()->isActive());
        NO_CALLS(player);

        QTest::mousePress(Button("ToolButton6"), Qt::LeftButton);
        QVERIFY(Timer1()->isActive());
        QCOMPARE(Timer1()->interval(), 300);
        QTest::qWait(0);
        NO_CALLS(player);  // the first tick comes 300 ms after the press
        for (int tick = 0; tick < 3; ++tick) QMetaObject::invokeMethod(window_.get(), "Timer1Timer");
        QTest::mouseRelease(Button("ToolButton6"), Qt::LeftButton);
        QVERIFY(!Timer1()->isActive());
        QTRY_CALLS(player, QStringList(3, "Seek 5000000"));

        // The right button does not seek; rewind goes back.
        QTest::mousePress(Button("ToolButton5"), Qt::RightButton);
        QVERIFY(!Timer1()->isActive());
        QTest::mousePress(Button("ToolButton5"), Qt::LeftButton);
        QMetaObject::invokeMethod(window_.get(), "Timer1Timer");
        QTest::mouseRelease(Button("ToolButton5"), Qt::LeftButton);
        QTRY_CALLS(player, QStringList{"Seek -5000000"});
    }

    void closeQuitsOnlyAPlayerThatAllowsIt() {
        {
            FakePlayer stubborn("stubborn", "Playing", false);
            QTRY_VERIFY(RemoteEnabled());
            Action("Exit2")->trigger();
            NO_CALLS(stubborn);
            QCOMPARE(pauses_, std::vector<int>{1000});
        }
        QTRY_VERIFY(RemoteDisabled());
        FakePlayer player("one", "Playing");
        QTRY_VERIFY(RemoteEnabled());
        Action("PopExit")->trigger();
        QTRY_CALLS(player, QStringList{"Quit"});
    }

    void startedPlayerIsPreferredThenThePlayingOne() {
        FakePlayer a("a", "Stopped");
        FakePlayer b("b", "Playing");
        QTRY_COMPARE(Pressed(), QString("ToolButton1"));
        Action("ToolButton7")->trigger();
        NO_CALLS(a);
        QTRY_CALLS(b, QStringList{"Next"});

        // Play one starts a player; the one that then appears takes the commands.
        TrackInfo row;
        row.Path = "/nowhere/x.mp3";
        window_->session().rows.Append(row);
        window_->GoToRow(0);
        Action("ToolButton8")->trigger();
        QCOMPARE(pauses_, std::vector<int>{1000});
        FakePlayer started("started", "Stopped");
        QTRY_COMPARE(window_->remotePlayer()->FindPlayer(), started.service());
        Action("ToolButton7")->trigger();
        QTRY_CALLS(started, QStringList{"Next"});
        NO_CALLS(b);

        // Playing again hands the file to the player started before: no second one sounds.
        Action("ToolButton8")->trigger();
        QTRY_CALLS(started, QStringList{"OpenUri file:///nowhere/x.mp3"});
        QCOMPARE(starter_.starts, 1);
    }

    void theLastControlledPlayerKeepsTheCommands() {
        FakePlayer a("a", "Paused");
        FakePlayer b("b", "Playing");
        QTRY_VERIFY(RemoteEnabled());
        QTRY_COMPARE(Pressed(), QString("ToolButton1"));
        Action("ToolButton2")->trigger();
        QTRY_CALLS(b, QStringList{"PlayPause"});
        QTRY_COMPARE(Pressed(), QString("ToolButton2"));
        // Neither plays now; play still goes to the one paused.
        Action("ToolButton1")->trigger();
        QTRY_CALLS(b, QStringList{"Play"});
        NO_CALLS(a);
    }

    void aPlayerThatDoesNotAnswerNeverHoldsTheWindow() {
        FakePlayer player("one", "Playing");
        QTRY_VERIFY(RemoteEnabled());
        player.Hold();
        QElapsedTimer clock;
        clock.start();
        for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton7", "Exit2"})
            Action(name)->trigger();
        window_->RefreshWinampButtons();
        // Waiting for the answers took 2 s per call.
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed()) + " ms"));
        player.Release();
        QTRY_CALLS(player, QStringList{"Play", "PlayPause", "Stop", "Next", "Quit"});
    }

    // The real thing: mpv with its MPRIS plug-in, started by play one, takes the next file
    // itself, toggles pause, and stopped (SIGSTOP) holds nothing.
    void startedMpvTakesTheNextFileAndNeverHoldsTheWindow() {
        if (QStandardPaths::findExecutable("mpv").isEmpty() || !QFile::exists("/etc/mpv/scripts/mpris.so"))
            QSKIP("needs mpv and mpv-mpris (scripts/install-deps.sh)");
        test::TempDir dir;
        const std::string script = dir / "player.sh";
        test::WriteFile(script, "#!/bin/sh\nexec mpv --no-video --ao=null --loop-file=inf --no-terminal \"$1\"\n");
        ::chmod(script.c_str(), 0755);
        for (const char* name : {"one.mp3", "two.mp3"}) {
            TrackInfo row;
            row.Path = test::CopyCorpusFile("mpeg/cbr128_44k_notag.mp3", dir, name);
            window_->session().rows.Append(row);
        }
        window_->session().settings.Set(Option::PlayerSel, true);
        window_->session().settings.PlyPlayer = script;
        window_->SetProcessStarter(nullptr);

        window_->GoToRow(0);
        Action("ToolButton8")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(window_->remotePlayer()->LaunchedPlayer().startsWith("org.mpris.MediaPlayer2.mpv"), 10000);
        const QString mpv = window_->remotePlayer()->LaunchedPlayer();
        QTRY_COMPARE(Pressed(), QString("ToolButton1"));
        const uint pid = QDBusConnection::sessionBus().interface()->servicePid(mpv);
        QVERIFY(pid > 0);
        auto playing = [&] {
            // A plain call: QDBusInterface would introspect, and Qt keeps what that builds until exit.
            QDBusMessage get = QDBusMessage::createMethodCall(mpv, "/org/mpris/MediaPlayer2",
                                                              "org.freedesktop.DBus.Properties", "Get");
            get << QString("org.mpris.MediaPlayer2.Player") << QString("Metadata");
            const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
            const auto metadata = qdbus_cast<QVariantMap>(reply.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>());
            return metadata.value("xesam:url").toString();
        };
        QTRY_VERIFY(playing().endsWith("one.mp3"));

        window_->GoToRow(1);
        Action("ToolButton8")->trigger();
        QTRY_VERIFY(playing().endsWith("two.mp3"));
        QCOMPARE(QDBusConnection::sessionBus().interface()->registeredServiceNames().value().filter("org.mpris.").size(), 1);

        Action("ToolButton2")->trigger();
        QTRY_COMPARE(Pressed(), QString("ToolButton2"));
        Action("ToolButton2")->trigger();
        QTRY_COMPARE(Pressed(), QString("ToolButton1"));

        ::kill(pid, SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        for (const char* name : {"ToolButton2", "ToolButton3", "ToolButton7", "ToolButton1"}) Action(name)->trigger();
        window_->RefreshWinampButtons();
        const qint64 held = clock.elapsed();
        ::kill(pid, SIGCONT);
        QVERIFY2(held < 1000, qPrintable(QString::number(held) + " ms"));

        Action("Exit2")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(RemoteDisabled(), 10000);
    }
};

int main(int argc, char** argv) {
    // The test talks to players on a bus of its own, never to the desktop's.
    if (!qEnvironmentVariableIsSet("WVR_TEST_PRIVATE_BUS")) {
        if (QStandardPaths::findExecutable("dbus-run-session").isEmpty()) {
            std::fprintf(stderr, "SKIP: needs dbus-run-session (package dbus) for a private session bus\n");
            return test::kSkippedExitCode;
        }
        ::setenv("WVR_TEST_PRIVATE_BUS", "1", 1);
        std::vector<char*> args = {const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        std::perror("dbus-run-session");
        return 1;
    }
    QApplication app(argc, argv);
    PlayerRemoteTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "player_remote_test.moc"
