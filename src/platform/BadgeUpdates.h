// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <QString>
#include <QVariantMap>

#include <functional>

// What running programs say about themselves for their launcher tiles (unread counts,
// progress, a request for attention), as they say it: the properties unchecked, as plain values
// (numbers, booleans, strings); anything nested is left out.
class BadgeUpdates {
public:
    struct Update {
        // Who sent it, as the bus names it (a unique name): what leaves when the program ends.
        QString sender;
        // "application://firefox.desktop", or a bare "firefox.desktop".
        QString appUri;
        QVariantMap properties;
    };

    virtual ~BadgeUpdates() = default;

    virtual Subscription onUpdate(std::function<void(const Update&)> action) = 0;
    // Called once a sender that sent an update has left the bus.
    virtual Subscription onSenderGone(std::function<void(const QString& sender)> action) = 0;
};
