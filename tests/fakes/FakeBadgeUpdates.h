// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/BadgeUpdates.h"
#include "platform/Signal.h"

// Updates and departures that the test sends.
class FakeBadgeUpdates final : public BadgeUpdates {
public:
    Subscription onUpdate(std::function<void(const Update&)> action) override {
        return updated_.connect(std::move(action));
    }
    Subscription onSenderGone(std::function<void(const QString&)> action) override {
        return gone_.connect(std::move(action));
    }

    void send(const QString& sender, const QString& appUri, const QVariantMap& properties) {
        updated_.emit({sender, appUri, properties});
    }
    void leave(const QString& sender) { gone_.emit(sender); }

private:
    Signal<Update> updated_;
    Signal<QString> gone_;
};
