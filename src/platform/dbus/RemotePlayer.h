// The remote control of a running player: any program that offers the MPRIS 2 interface on
// the D-Bus session bus ("org.mpris.MediaPlayer2.*"). The bus is watched, not polled: a
// player that appears or leaves, and a change of a player's playback state, are signalled.
#pragma once

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QDBusMessage;

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

    // The player the commands go to, looked up anew each time: the one the program started
    // last, else one that is playing, else the first on the bus. Empty when there is none.
    QString FindPlayer();
    // A player is about to be started: the next one to appear on the bus (within a few
    // seconds) that is not there now is that player. ForgetLaunch when nothing was started.
    void NoteLaunch();
    void ForgetLaunch() { launchTime_.invalidate(); }

    // Sends a command and waits for the player to have handled it; Quit is only posted, and
    // only to a player that allows it. False when the player did not take the command.
    bool Send(const QString& player, PlayerCommand command);
    PlaybackState QueryState(const QString& player);

signals:
    // A player appeared on the bus or left it.
    void PlayersChanged();
    // A player reported a new playback state.
    void PlaybackChanged();

private slots:
    void OnNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void OnPropertiesChanged(const QDBusMessage& message);

private:
    QStringList Players() const;
    QVariant Property(const QString& player, const QString& interface, const QString& name);

    QDBusConnection bus_;
    QString launched_;          // the player the program started, while it is on the bus
    QElapsedTimer launchTime_;  // running while a started player is awaited
    QStringList beforeLaunch_;  // the players on the bus when it was started
};

}  // namespace wvr
