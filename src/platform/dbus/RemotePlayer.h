// The remote control of a running player: any program that offers the MPRIS 2 interface on
// the D-Bus session bus ("org.mpris.MediaPlayer2.*"). The bus is watched, not polled: a
// player that appears or leaves, and a change of a player's playback state, are signalled.
// No call waits for a player: a player that hangs (or is stopped) must never hold the window,
// so every call is sent and its answer, if any, arrives later.
#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QDBusMessage;
class QDBusPendingCall;

namespace wvr {

// The commands the program sends, and what a player reports about its playback.
enum class PlayerCommand { Play, Pause, Stop, Previous, Next, FastForward, Rewind, Quit };
enum class PlaybackState : int { Unknown = -1, Stopped = 0, Playing = 1, Paused = 3 };

class RemotePlayer : public QObject {
    Q_OBJECT
public:
    // One fast-forward or rewind step, in microseconds.
    static constexpr qlonglong kSeekStep = 5'000'000;

    explicit RemotePlayer(QDBusConnection bus = QDBusConnection::sessionBus(), QObject* parent = nullptr);

    // The player the commands go to, from what the bus has told so far: the one the program
    // started, else the one last controlled, else a playing one (the one chosen before when it
    // still plays), else the one chosen before, else the first on the bus. Empty when there
    // is none. Once a player was chosen, another one is only taken when that one left.
    QString FindPlayer();
    // The player the program started, while it is on the bus.
    QString LaunchedPlayer() const;
    // A player is about to be started: the next one to appear on the bus (within a few
    // seconds) that is not there now is that player. ForgetLaunch when nothing was started.
    void NoteLaunch();
    void ForgetLaunch() { launchTime_.invalidate(); }

    // Sends a command without waiting; the player's state follows by signal. Pause toggles
    // between playing and paused. Quit goes only to a player that allows it.
    void Send(const QString& player, PlayerCommand command);
    // Asks the player to play a file (native path) in place of what it plays; `done` learns
    // whether it took it.
    void OpenFile(const QString& player, const QString& nativePath, std::function<void(bool)> done);
    // The last state the player reported; Unknown until it has answered.
    PlaybackState StateOf(const QString& player) const;

signals:
    // A player appeared on the bus or left it.
    void PlayersChanged();
    // A player reported a new playback state.
    void PlaybackChanged();

private slots:
    void OnNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void OnPropertiesChanged(const QDBusMessage& message);

private:
    struct Player {
        QString owner;  // the unique connection name, which signals come from
        PlaybackState state = PlaybackState::Unknown;
    };
    void Arrived(const QString& name, const QString& owner);
    void AskState(const QString& name);
    // Runs `answered` with the reply when one comes; nothing waits for it.
    void WhenAnswered(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> answered);

    QDBusConnection bus_;
    QHash<QString, Player> players_;  // by well-known name, as the bus has told
    QString launched_;                // the player the program started, while it is on the bus
    QString controlled_;              // the player the last command went to
    QString chosen_;                  // the player FindPlayer gave last
    QElapsedTimer launchTime_;        // running while a started player is awaited
    QStringList beforeLaunch_;        // the players on the bus when it was started
};

}  // namespace wvr
