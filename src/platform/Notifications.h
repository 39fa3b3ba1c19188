// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Tells the user something through the desktop's notifications, where no tray icon can: fire
// and forget, never waiting for the desktop.
class Notifications {
public:
    virtual ~Notifications() = default;

    virtual void notify(const QString& summary, const QString& body) = 0;
};
