// The main window's player commands: starting a player for one file or for a playlist, and
// the remote control of a running player from the tool bar and the player submenus.
#include <QActionGroup>
#include <QApplication>
#include <QEventLoop>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolBar>

#include "app/commands/PlayFiles.h"
#include "app/ui/DesktopStarter.h"
#include "app/ui/KeyPositionShortcuts.h"
#include "app/ui/MainWindow.h"
#include "platform/dbus/RemotePlayer.h"

namespace wvr {
namespace {

constexpr int kSeekIntervalMs = 300;
constexpr int kPlayOnePauseMs = 1000;
constexpr int kPlayManyPauseMs = 2000;
constexpr int kQuitPauseMs = 1000;

const char* const kRemoteButtons[] = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4",
                                      "ToolButton5", "ToolButton6", "ToolButton7"};

// The window waits without taking input; painting and the bus go on meanwhile.
void BlockingPause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

// Reports the left button going down on a tool button, and any button coming up again.
class PressAndHold : public QObject {
public:
    PressAndHold(QObject* parent, std::function<void()> down, std::function<void()> up)
        : QObject(parent), down_(std::move(down)), up_(std::move(up)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            down_();
        else if (event->type() == QEvent::MouseButtonRelease)
            up_();
        return false;
    }

private:
    std::function<void()> down_;
    std::function<void()> up_;
};

// Hands a file to a running player the program started; a player that does not take it is
// told to quit and a new one is started for the file.
class HandOverStarter : public ProcessStarter {
public:
    HandOverStarter(RemotePlayer& remote, QString player, ProcessStarter& next)
        : remote_(remote), player_(std::move(player)), next_(next) {}
    LaunchOutcome OpenWithDefault(const std::string& nativeFile, bool minimized) override {
        return HandOver(nativeFile, [next = &next_, nativeFile, minimized] { next->OpenWithDefault(nativeFile, minimized); });
    }
    LaunchOutcome StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const std::string& workingFolder, bool minimized) override {
        const std::string file = arguments.empty() ? std::string() : arguments.front();
        return HandOver(file, [=, next = &next_] { next->StartProgram(program, arguments, workingFolder, minimized); });
    }

private:
    LaunchOutcome HandOver(const std::string& nativeFile, std::function<void()> startNew) {
        RemotePlayer* remote = &remote_;
        const QString player = player_;
        remote_.OpenFile(player_, QString::fromStdString(nativeFile), [=](bool taken) {
            if (taken) return;
            remote->Send(player, PlayerCommand::Quit);
            remote->NoteLaunch();
            startNew();
        });
        return {true, 0, {}};
    }
    RemotePlayer& remote_;
    QString player_;
    ProcessStarter& next_;
};

}  // namespace

void MainWindow::BuildPlayerControls() {
    desktopStarter_ = std::make_unique<DesktopStarter>();
    starter_ = desktopStarter_.get();
    pause_ = BlockingPause;

    auto* group = new QActionGroup(this);
    for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3"}) group->addAction(action(name));
    const std::pair<const char*, void (MainWindow::*)()> clicks[] = {
        {"ToolButton1", &MainWindow::ToolButton1Click}, {"ToolButton2", &MainWindow::ToolButton2Click},
        {"ToolButton3", &MainWindow::ToolButton3Click}, {"ToolButton4", &MainWindow::ToolButton4Click},
        {"ToolButton7", &MainWindow::ToolButton7Click}, {"ToolButton8", &MainWindow::ToolButton8Click},
        {"ToolButton9", &MainWindow::ToolButton9Click},
    };
    for (const auto& [name, handler] : clicks) connect(action(name), &QAction::triggered, this, handler);

    // Rewind and fast forward repeat while held; a click alone sends nothing.
    timer1_ = new QTimer(this);
    timer1_->setObjectName("Timer1");
    timer1_->setInterval(kSeekIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    auto up = [this] { ToolButton6MouseUp(); };
    toolBar_->widgetForAction(action("ToolButton5"))
        ->installEventFilter(new PressAndHold(this, [this] { ToolButton5MouseDown(); }, up));
    toolBar_->widgetForAction(action("ToolButton6"))
        ->installEventFilter(new PressAndHold(this, [this] { ToolButton6MouseDown(); }, up));

    // The player submenus show the state of the three toggle buttons; "停止(&S)" is the
    // pop-up's default item.
    connect(findChild<QMenu*>("WinAMPW1"), &QMenu::aboutToShow, this,
            [this] { CopyPlayChecks("WinampPlay", "WinampPause", "WinampStop"); });
    connect(findChild<QMenu*>("WinAMP1"), &QMenu::aboutToShow, this,
            [this] { CopyPlayChecks("PopWinampPlay", "PopWinampPause", "PopWinampStop"); });
    findChild<QMenu*>("WinAMP1")->setDefaultAction(action("PopWinampStop"));
    // The player keys are keys of the keyboard, typed the same on any layout.
    new KeyPositionShortcuts(this);

    remote_ = new RemotePlayer(QDBusConnection::sessionBus(), this);
    connect(remote_, &RemotePlayer::PlayersChanged, this, &MainWindow::RefreshWinampButtons);
    connect(remote_, &RemotePlayer::PlaybackChanged, this, &MainWindow::RefreshWinampButtons);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) RefreshWinampButtons();
    });
    RefreshWinampButtons();
}

void MainWindow::SetProcessStarter(ProcessStarter* starter) {
    starter_ = starter ? starter : desktopStarter_.get();
}

void MainWindow::CopyPlayChecks(const char* play, const char* pause, const char* stop) {
    action(play)->setChecked(action("ToolButton1")->isChecked());
    action(pause)->setChecked(action("ToolButton2")->isChecked());
    action(stop)->setChecked(action("ToolButton3")->isChecked());
}

// --- state of the buttons

void MainWindow::RefreshWinampButtons() {
    const QString player = remote_->FindPlayer();
    for (const char* name : kRemoteButtons) action(name)->setEnabled(!player.isEmpty());
    if (!player.isEmpty()) {
        SyncPlayState(player);
        return;
    }
    for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3"}) action(name)->setChecked(false);
    timer1_->stop();
}

void MainWindow::SyncPlayState(const QString& player) {
    const char* pressed = nullptr;
    switch (remote_->StateOf(player)) {
    case PlaybackState::Stopped: pressed = "ToolButton3"; break;
    case PlaybackState::Playing: pressed = "ToolButton1"; break;
    case PlaybackState::Paused: pressed = "ToolButton2"; break;
    case PlaybackState::Unknown: return;
    }
    for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3"})
        action(name)->setChecked(qstrcmp(name, pressed) == 0);
}

// --- remote control

// The buttons show the state the player reports once it has taken the command.
void MainWindow::RunPlayerCommand(PlayerCommand command) {
    const QString player = remote_->FindPlayer();
    if (player.isEmpty()) return;
    remote_->Send(player, command);
    SyncPlayState(player);
}

void MainWindow::ToolButton1Click() { RunPlayerCommand(PlayerCommand::Play); }
void MainWindow::ToolButton2Click() { RunPlayerCommand(PlayerCommand::Pause); }
void MainWindow::ToolButton3Click() { RunPlayerCommand(PlayerCommand::Stop); }
void MainWindow::ToolButton4Click() { RunPlayerCommand(PlayerCommand::Previous); }
void MainWindow::ToolButton7Click() { RunPlayerCommand(PlayerCommand::Next); }

void MainWindow::StartSeeking(PlayerCommand direction) {
    seekCommand_ = direction;
    seekPlayer_ = remote_->FindPlayer();
    if (!seekPlayer_.isEmpty()) timer1_->start();
}

void MainWindow::ToolButton5MouseDown() { StartSeeking(PlayerCommand::Rewind); }
void MainWindow::ToolButton6MouseDown() { StartSeeking(PlayerCommand::FastForward); }
void MainWindow::ToolButton6MouseUp() { timer1_->stop(); }
void MainWindow::Timer1Timer() { remote_->Send(seekPlayer_, seekCommand_); }

void MainWindow::Exit2Click() {
    const QString player = remote_->FindPlayer();
    if (!player.isEmpty()) remote_->Send(player, PlayerCommand::Quit);
    pause_(kQuitPauseMs);
    RefreshWinampButtons();
}

// --- starting a player

bool MainWindow::StartPlayer(const std::function<PlayResult(ProcessStarter&)>& start, int pauseMs) {
    // A player started before takes the new file, so that two never sound at once.
    const QString running = remote_->LaunchedPlayer();
    if (!running.isEmpty()) {
        HandOverStarter handOver(*remote_, running, *starter_);
        if (start(handOver) != PlayResult::Launched) return false;
    } else {
        // The player that appears on the bus next is the one started here.
        remote_->NoteLaunch();
        if (start(*starter_) != PlayResult::Launched) {
            remote_->ForgetLaunch();
            return false;
        }
    }
    pause_(pauseMs);
    return true;
}

void MainWindow::ToolButton8Click() {
    if (StartPlayer([this](ProcessStarter& starter) { return PlayOne(session_, FocusedRow(), starter, *prompter_); },
                    kPlayOnePauseMs))
        RefreshWinampButtons();
}

void MainWindow::ToolButton9Click() {
    if (!StartPlayer(
            [this](ProcessStarter& starter) { return PlayMany(session_, PlaylistPath(), starter, *prompter_); },
            kPlayManyPauseMs))
        return;
    raise();
    activateWindow();
    RefreshWinampButtons();
}

}  // namespace wvr
