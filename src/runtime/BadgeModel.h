// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/BadgeUpdates.h"
#include "platform/LifetimeGuard.h"
#include "platform/Scheduler.h"
#include "platform/Signal.h"
#include "runtime/AppBadge.h"

#include <QHash>
#include <QSet>

#include <chrono>
#include <unordered_map>

// The badges, progress and urgency that running programs report, by desktop id. Updates are
// partial (a property not sent keeps its value) and taken as leniently as senders send them:
// a count as any number, progress clamped to 0..1, anything of the wrong type ignored. What a
// sender said is forgotten when it leaves the bus. One sender makes observers hear of a change
// at most once per minimumInterval, however fast it sends.
class BadgeModel {
public:
    static constexpr Scheduler::Duration minimumInterval = std::chrono::milliseconds(100);
    // Desktop ids one sender may speak for; more are ignored, so that no sender fills our memory.
    static constexpr int maximumIdsPerSender = 64;

    BadgeModel(BadgeUpdates& updates, Scheduler& scheduler);
    BadgeModel(const BadgeModel&) = delete;
    BadgeModel& operator=(const BadgeModel&) = delete;

    // The badge of the program of that desktop id ("org.gnome.Evolution"); empty when none.
    AppBadge badge(const QString& desktopId) const { return shown_.value(desktopId); }
    // No program shows a badge: there is no need to know a tile's desktop id to draw it.
    bool isEmpty() const { return shown_.isEmpty(); }
    // Called with the desktop id whose badge changed.
    Subscription onChange(std::function<void(const QString& desktopId)> action) {
        return changed_.connect(std::move(action));
    }

    // The properties of one update applied to what was known.
    struct State {
        std::int64_t count = 0;
        bool countVisible = false;
        double progress = 0;
        bool progressVisible = false;
        bool urgent = false;

        AppBadge visible() const;
    };
    static void apply(State& state, const QVariantMap& properties);

private:
    struct Sender {
        QSet<QString> ids;
        Scheduler::TimePoint lastPublished{};
        bool everPublished = false;
        QSet<QString> waiting;
        bool flushPending = false;
        Subscription timer;
    };

    void update(const BadgeUpdates::Update& update);
    void forget(const QString& sender);
    void publish(const QString& desktopId);
    void flush(const QString& sender);

    Scheduler& scheduler_;
    QHash<QString, State> states_;
    QHash<QString, QString> senderOf_;
    QHash<QString, AppBadge> shown_;
    std::unordered_map<QString, Sender> senders_;
    Signal<QString> changed_;
    Subscription updates_;
    Subscription gone_;
    LifetimeGuard guard_;
};
