// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/BadgeUpdates.h"
#include "platform/Signal.h"

#include <QDBusMessage>
#include <QObject>

class QDBusServiceWatcher;

// The com.canonical.Unity.LauncherEntry Update signals of the session bus, from any sender and
// any object path. Programs look for com.canonical.Unity before they send, so we own that name
// when nobody else does (and give it up to a desktop shell that asks). Every call is
// asynchronous. Hears nothing until told to listen: the program does once its panels are drawn.
class DBusBadgeUpdates final : public QObject, public BadgeUpdates {
    Q_OBJECT
public:
    DBusBadgeUpdates();
    ~DBusBadgeUpdates() override;

    // Connects to the session bus (the first time only) and starts hearing updates.
    void listen();

    Subscription onUpdate(std::function<void(const Update&)> action) override;
    Subscription onSenderGone(std::function<void(const QString&)> action) override;

private Q_SLOTS:
    void received(const QDBusMessage& message);

private:
    void watch(const QString& sender);

    Signal<Update> updated_;
    Signal<QString> gone_;
    QDBusServiceWatcher* watcher_ = nullptr;
};
