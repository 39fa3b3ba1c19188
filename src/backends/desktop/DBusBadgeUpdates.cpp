// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DBusBadgeUpdates.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

namespace {

const QString unityService = QStringLiteral("com.canonical.Unity");
const QString entryInterface = QStringLiteral("com.canonical.Unity.LauncherEntry");
// RequestName's flags: allow replacement (1), do not queue (4).
constexpr quint32 allowReplacementAndDoNotQueue = 1 | 4;

// The plain values of an a{sv}: numbers, booleans and strings, nested variants unwrapped; a
// container is nothing a badge is made of and is left out.
QVariantMap plainValues(const QDBusArgument& argument) {
    QVariantMap values;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString key;
        QDBusVariant value;
        argument.beginMapEntry();
        argument >> key >> value;
        argument.endMapEntry();
        QVariant plain = value.variant();
        while (plain.canConvert<QDBusVariant>() && plain.typeId() == qMetaTypeId<QDBusVariant>())
            plain = plain.value<QDBusVariant>().variant();
        if (plain.typeId() != qMetaTypeId<QDBusArgument>())
            values.insert(key, plain);
    }
    argument.endMap();
    return values;
}

} // namespace

DBusBadgeUpdates::DBusBadgeUpdates() = default;

void DBusBadgeUpdates::listen() {
    if (watcher_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(QString(), QString(), entryInterface, QStringLiteral("Update"), this,
                SLOT(received(QDBusMessage)));
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(bus);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            [this](const QString& sender) {
                watcher_->removeWatchedService(sender);
                gone_.emit(sender);
            });
    // Only if nobody owns it: a shell that shows badges itself keeps them.
    QDBusMessage request = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("RequestName"));
    request << unityService << allowReplacementAndDoNotQueue;
    bus.asyncCall(request);
}

DBusBadgeUpdates::~DBusBadgeUpdates() {
    if (!watcher_)
        return;
    QDBusConnection bus = watcher_->connection();
    if (bus.isConnected())
        bus.disconnect(QString(), QString(), entryInterface, QStringLiteral("Update"), this,
                       SLOT(received(QDBusMessage)));
}

void DBusBadgeUpdates::watch(const QString& sender) {
    // Watched from its first update on, so that what it said goes when it does. A sender that
    // left before the watch was in place is caught by asking once the watch is.
    watcher_->addWatchedService(sender);
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    ask << sender;
    auto* pending = new QDBusPendingCallWatcher(watcher_->connection().asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, sender](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusMessage reply = finished->reply();
                if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
                    !reply.arguments().first().toBool() &&
                    watcher_->watchedServices().contains(sender)) {
                    watcher_->removeWatchedService(sender);
                    gone_.emit(sender);
                }
            });
}

Subscription DBusBadgeUpdates::onUpdate(std::function<void(const Update&)> action) {
    return updated_.connect(std::move(action));
}

Subscription DBusBadgeUpdates::onSenderGone(std::function<void(const QString&)> action) {
    return gone_.connect(std::move(action));
}

void DBusBadgeUpdates::received(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    if (message.signature() != QLatin1String("sa{sv}") || arguments.size() != 2 ||
        message.service().isEmpty()) {
        qCDebug(lcDesktopServices)
            << "ignored a launcher entry update of signature" << message.signature();
        return;
    }
    const Update update{message.service(), arguments.at(0).toString(),
                        plainValues(arguments.at(1).value<QDBusArgument>())};
    const bool known = watcher_->watchedServices().contains(update.sender);
    updated_.emit(update);
    if (!known)
        watch(update.sender);
}
