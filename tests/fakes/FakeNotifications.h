// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Notifications.h"

#include <QStringList>

// Keeps the notices, each as "summary: body".
class FakeNotifications final : public Notifications {
public:
    void notify(const QString& summary, const QString& body) override {
        shown.append(summary + QStringLiteral(": ") + body);
    }

    QStringList shown;
};
