// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/FreedesktopNotifications.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

namespace {
constexpr int notifyTimeoutMs = 2000;
} // namespace

QDBusPendingCallWatcher* FreedesktopNotifications::send(const QString& summary,
                                                        const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCWarning(lcDesktopServices) << "no session bus to tell the user:" << summary << body;
        return nullptr;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Application name, id to replace (none), icon, summary, body, actions, hints, and the
    // daemon's own expiry.
    call << QStringLiteral("Moorline") << 0u << QStringLiteral(MOORLINE_APP_ID) << summary << body
         << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, notifyTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [summary](QDBusPendingCallWatcher* finished) {
                         if (finished->isError())
                             qCWarning(lcDesktopServices) << "could not show a notice:" << summary
                                                          << finished->error().message();
                         finished->deleteLater();
                     });
    return watcher;
}

void FreedesktopNotifications::notify(const QString& summary, const QString& body) {
    send(summary, body);
}

bool FreedesktopNotifications::notifyAndWait(const QString& summary, const QString& body,
                                             std::chrono::milliseconds timeout) {
    QPointer<QDBusPendingCallWatcher> watcher = send(summary, body);
    if (!watcher)
        return false;
    // A loop of our own, ended by the answer or the deadline: no window exists yet.
    QEventLoop loop;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return !watcher || (watcher->isFinished() && !watcher->isError());
}
