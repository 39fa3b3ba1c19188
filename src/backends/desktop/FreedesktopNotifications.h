// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifications.h"

// Notifications through org.freedesktop.Notifications on the session bus, called
// asynchronously with a short deadline; without a bus or a notification daemon the notice is
// logged to moorline.desktop only.
class FreedesktopNotifications final : public Notifications {
public:
    void notify(const QString& summary, const QString& body) override;
};
