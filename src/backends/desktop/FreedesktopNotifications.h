// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifications.h"

#include <chrono>

class QDBusPendingCallWatcher;

// Notifications through org.freedesktop.Notifications on the session bus, called
// asynchronously with a short deadline; without a bus or a notification daemon the notice is
// logged to moorline.desktop only.
class FreedesktopNotifications final : public Notifications {
public:
    void notify(const QString& summary, const QString& body) override;
    // As notify, then waits for the daemon's answer, at most `timeout`: for a program about to
    // leave, whose call would otherwise leave with it. False without an answer.
    bool notifyAndWait(const QString& summary, const QString& body,
                       std::chrono::milliseconds timeout);

private:
    // The call on its way; null without a session bus.
    static QDBusPendingCallWatcher* send(const QString& summary, const QString& body);
};
