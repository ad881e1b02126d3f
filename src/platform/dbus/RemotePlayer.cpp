#include "platform/dbus/RemotePlayer.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <algorithm>

namespace wvr {
namespace {

const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// A player that hangs must not hold the window for long.
constexpr int kCallTimeoutMs = 2000;
// How long after a start the next player to appear counts as the one started.
constexpr qint64 kLaunchWindowMs = 10000;

QString MethodOf(PlayerCommand command) {
    switch (command) {
    case PlayerCommand::Play: return QStringLiteral("Play");
    case PlayerCommand::Pause: return QStringLiteral("Pause");
    case PlayerCommand::Stop: return QStringLiteral("Stop");
    case PlayerCommand::Previous: return QStringLiteral("Previous");
    case PlayerCommand::Next: return QStringLiteral("Next");
    case PlayerCommand::FastForward:
    case PlayerCommand::Rewind: return QStringLiteral("Seek");
    case PlayerCommand::Quit: return QStringLiteral("Quit");
    }
    return {};
}

}  // namespace

RemotePlayer::RemotePlayer(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
    bus_.connect(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameOwnerChanged"), this,
                 SLOT(OnNameOwnerChanged(QString, QString, QString)));
    bus_.connect(QString(), kObjectPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnPropertiesChanged(QDBusMessage)));
}

QStringList RemotePlayer::Players() const {
    QStringList players;
    if (!bus_.isConnected() || !bus_.interface()) return players;
    const QStringList names = bus_.interface()->registeredServiceNames().value();
    std::copy_if(names.begin(), names.end(), std::back_inserter(players),
                 [](const QString& name) { return name.startsWith(kPrefix); });
    players.sort();
    return players;
}

QString RemotePlayer::FindPlayer() {
    const QStringList players = Players();
    if (players.isEmpty()) return {};
    if (!launched_.isEmpty() && players.contains(launched_)) return launched_;
    for (const QString& player : players)
        if (QueryState(player) == PlaybackState::Playing) return player;
    return players.first();
}

void RemotePlayer::NoteLaunch() {
    beforeLaunch_ = Players();
    launchTime_.start();
}

QVariant RemotePlayer::Property(const QString& player, const QString& interface, const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(player, kObjectPath, kProperties, QStringLiteral("Get"));
    get << interface << name;
    const QDBusMessage reply = bus_.call(get, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

bool RemotePlayer::Send(const QString& player, PlayerCommand command) {
    if (player.isEmpty()) return false;
    const bool quit = command == PlayerCommand::Quit;
    QDBusMessage call =
        QDBusMessage::createMethodCall(player, kObjectPath, quit ? kRootInterface : kPlayerInterface, MethodOf(command));
    if (command == PlayerCommand::FastForward) call << kSeekStep;
    if (command == PlayerCommand::Rewind) call << -kSeekStep;
    if (quit) {
        // A player that cannot be told to quit is left running.
        if (!Property(player, kRootInterface, QStringLiteral("CanQuit")).toBool()) return false;
        return bus_.send(call);
    }
    return bus_.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

PlaybackState RemotePlayer::QueryState(const QString& player) {
    const QString status = Property(player, kPlayerInterface, QStringLiteral("PlaybackStatus")).toString();
    if (status == QLatin1String("Playing")) return PlaybackState::Playing;
    if (status == QLatin1String("Paused")) return PlaybackState::Paused;
    if (status == QLatin1String("Stopped")) return PlaybackState::Stopped;
    return PlaybackState::Unknown;
}

void RemotePlayer::OnNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner) {
    if (!name.startsWith(kPrefix)) return;
    if (oldOwner.isEmpty() && !newOwner.isEmpty() && launchTime_.isValid() && !beforeLaunch_.contains(name)) {
        if (launchTime_.elapsed() <= kLaunchWindowMs) launched_ = name;
        launchTime_.invalidate();
    }
    if (newOwner.isEmpty() && name == launched_) launched_.clear();
    emit PlayersChanged();
}

void RemotePlayer::OnPropertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || args[0].toString() != kPlayerInterface) return;
    const QVariantMap changed = qdbus_cast<QVariantMap>(args[1]);
    const QStringList invalidated = args.size() > 2 ? args[2].toStringList() : QStringList();
    if (changed.contains(QStringLiteral("PlaybackStatus")) || invalidated.contains(QStringLiteral("PlaybackStatus")))
        emit PlaybackChanged();
}

}  // namespace wvr
