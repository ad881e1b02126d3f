#include "platform/dbus/RemotePlayer.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QUrl>
#include <algorithm>

namespace wvr {
namespace {

const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");

// How long after a start the next player to appear counts as the one started.
constexpr qint64 kLaunchWindowMs = 10000;

QString MethodOf(PlayerCommand command) {
    switch (command) {
    case PlayerCommand::Play: return QStringLiteral("Play");
    case PlayerCommand::Pause: return QStringLiteral("PlayPause");
    case PlayerCommand::Stop: return QStringLiteral("Stop");
    case PlayerCommand::Previous: return QStringLiteral("Previous");
    case PlayerCommand::Next: return QStringLiteral("Next");
    case PlayerCommand::FastForward:
    case PlayerCommand::Rewind: return QStringLiteral("Seek");
    case PlayerCommand::Quit: return QStringLiteral("Quit");
    }
    return {};
}

PlaybackState StateFromStatus(const QString& status) {
    if (status == QLatin1String("Playing")) return PlaybackState::Playing;
    if (status == QLatin1String("Paused")) return PlaybackState::Paused;
    if (status == QLatin1String("Stopped")) return PlaybackState::Stopped;
    return PlaybackState::Unknown;
}

QDBusMessage GetProperty(const QString& player, const QString& interface, const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(player, kObjectPath, kProperties, QStringLiteral("Get"));
    get << interface << name;
    return get;
}

QVariant PropertyOf(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().first().value<QDBusVariant>().variant();
}

}  // namespace

RemotePlayer::RemotePlayer(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
    bus_.connect(kBusService, kBusPath, kBusService, QStringLiteral("NameOwnerChanged"), this,
                 SLOT(OnNameOwnerChanged(QString, QString, QString)));
    bus_.connect(QString(), kObjectPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                 SLOT(OnPropertiesChanged(QDBusMessage)));
    // The players already there; each one's owner and state follow from its own answers.
    if (!bus_.isConnected()) return;
    const auto list = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, QStringLiteral("ListNames"));
    WhenAnswered(bus_.asyncCall(list), [this](const QDBusMessage& reply) {
        if (reply.arguments().isEmpty()) return;
        for (const QString& name : reply.arguments().first().toStringList())
            if (name.startsWith(kPrefix) && !players_.contains(name)) Arrived(name, QString());
    });
}

void RemotePlayer::WhenAnswered(const QDBusPendingCall& call, std::function<void(const QDBusMessage&)> answered) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [watcher, answered = std::move(answered)] {
                watcher->deleteLater();
                answered(watcher->reply());
            });
}

void RemotePlayer::Arrived(const QString& name, const QString& owner) {
    players_[name].owner = owner;
    emit PlayersChanged();
    AskState(name);
}

void RemotePlayer::AskState(const QString& name) {
    const auto get = GetProperty(name, kPlayerInterface, QStringLiteral("PlaybackStatus"));
    WhenAnswered(bus_.asyncCall(get), [this, name](const QDBusMessage& reply) {
        auto it = players_.find(name);
        if (it == players_.end() || reply.type() != QDBusMessage::ReplyMessage) return;
        if (it->owner.isEmpty()) it->owner = reply.service();
        const PlaybackState state = StateFromStatus(PropertyOf(reply).toString());
        if (state == it->state) return;
        it->state = state;
        emit PlaybackChanged();
    });
}

QString RemotePlayer::FindPlayer() {
    auto present = [this](const QString& name) { return !name.isEmpty() && players_.contains(name); };
    if (present(launched_)) return launched_;
    if (present(controlled_)) return controlled_;
    if (present(chosen_) && StateOf(chosen_) == PlaybackState::Playing) return chosen_;
    QStringList names = players_.keys();
    names.sort();
    for (const QString& name : names)
        if (StateOf(name) == PlaybackState::Playing) return chosen_ = name;
    if (present(chosen_)) return chosen_;
    return chosen_ = names.isEmpty() ? QString() : names.first();
}

QString RemotePlayer::LaunchedPlayer() const { return players_.contains(launched_) ? launched_ : QString(); }

PlaybackState RemotePlayer::StateOf(const QString& player) const {
    const auto it = players_.find(player);
    return it == players_.end() ? PlaybackState::Unknown : it->state;
}

void RemotePlayer::NoteLaunch() {
    beforeLaunch_ = players_.keys();
    launchTime_.start();
}

void RemotePlayer::Send(const QString& player, PlayerCommand command) {
    if (player.isEmpty()) return;
    controlled_ = player;
    const bool quit = command == PlayerCommand::Quit;
    QDBusMessage call =
        QDBusMessage::createMethodCall(player, kObjectPath, quit ? kRootInterface : kPlayerInterface, MethodOf(command));
    if (command == PlayerCommand::FastForward) call << kSeekStep;
    if (command == PlayerCommand::Rewind) call << -kSeekStep;
    if (quit) {
        // A player that cannot be told to quit is left running.
        WhenAnswered(bus_.asyncCall(GetProperty(player, kRootInterface, QStringLiteral("CanQuit"))),
                     [this, call](const QDBusMessage& reply) {
                         if (PropertyOf(reply).toBool()) bus_.send(call);
                     });
        return;
    }
    // A player that does not signal its new state is asked for it once it has answered.
    const bool changesState =
        command == PlayerCommand::Play || command == PlayerCommand::Pause || command == PlayerCommand::Stop;
    WhenAnswered(bus_.asyncCall(call), [this, player, changesState](const QDBusMessage&) {
        if (changesState) AskState(player);
    });
}

void RemotePlayer::OpenFile(const QString& player, const QString& nativePath, std::function<void(bool)> done) {
    controlled_ = player;
    QDBusMessage open = QDBusMessage::createMethodCall(player, kObjectPath, kPlayerInterface, QStringLiteral("OpenUri"));
    open << QUrl::fromLocalFile(nativePath).toString(QUrl::FullyEncoded);
    WhenAnswered(bus_.asyncCall(open), [this, player, done = std::move(done)](const QDBusMessage& reply) {
        const bool taken = reply.type() == QDBusMessage::ReplyMessage;
        if (taken) AskState(player);
        done(taken);
    });
}

void RemotePlayer::OnNameOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner) {
    if (!name.startsWith(kPrefix)) return;
    if (oldOwner.isEmpty() && !newOwner.isEmpty() && launchTime_.isValid() && !beforeLaunch_.contains(name)) {
        if (launchTime_.elapsed() <= kLaunchWindowMs) launched_ = name;
        launchTime_.invalidate();
    }
    if (newOwner.isEmpty()) {
        players_.remove(name);
        for (QString* gone : {&launched_, &controlled_, &chosen_})
            if (*gone == name) gone->clear();
        emit PlayersChanged();
        return;
    }
    Arrived(name, newOwner);
}

void RemotePlayer::OnPropertiesChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || args[0].toString() != kPlayerInterface) return;
    const auto it = std::find_if(players_.begin(), players_.end(),
                                 [&](const Player& p) { return p.owner == message.service(); });
    if (it == players_.end()) return;
    const QVariantMap changed = qdbus_cast<QVariantMap>(args[1]);
    const QStringList invalidated = args.size() > 2 ? args[2].toStringList() : QStringList();
    if (changed.contains(QStringLiteral("PlaybackStatus"))) {
        it->state = StateFromStatus(changed.value(QStringLiteral("PlaybackStatus")).toString());
        emit PlaybackChanged();
    } else if (invalidated.contains(QStringLiteral("PlaybackStatus"))) {
        AskState(it.key());
    }
}

}  // namespace wvr
