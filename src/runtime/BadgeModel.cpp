// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/BadgeModel.h"

#include "runtime/LaunchMatch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

std::optional<double> number(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        return std::isfinite(d) ? std::optional(d) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> flag(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (const auto n = number(value))
        return *n != 0;
    return std::nullopt;
}

template <typename T, typename Read>
void take(const QVariantMap& properties, const char* key, T& field, Read read) {
    const auto found = properties.constFind(QLatin1String(key));
    if (found == properties.constEnd())
        return;
    if (const auto value = read(*found))
        field = static_cast<T>(*value);
}

} // namespace

AppBadge BadgeModel::State::visible() const {
    AppBadge badge;
    if (countVisible && count > 0)
        badge.count = count;
    if (progressVisible)
        badge.progress = progress;
    badge.urgent = urgent;
    return badge;
}

void BadgeModel::apply(State& state, const QVariantMap& properties) {
    take(properties, "count", state.count, [](const QVariant& v) -> std::optional<std::int64_t> {
        const auto n = number(v);
        if (!n)
            return std::nullopt;
        // Past what any badge shows, and within what int64 holds.
        return static_cast<std::int64_t>(std::clamp(std::trunc(*n), -1e15, 1e15));
    });
    take(properties, "progress", state.progress, [](const QVariant& v) -> std::optional<double> {
        const auto n = number(v);
        return n ? std::optional(std::clamp(*n, 0.0, 1.0)) : std::nullopt;
    });
    take(properties, "count-visible", state.countVisible, flag);
    take(properties, "progress-visible", state.progressVisible, flag);
    take(properties, "urgent", state.urgent, flag);
}

BadgeModel::BadgeModel(BadgeUpdates& updates, Scheduler& scheduler) : scheduler_(scheduler) {
    updates_ = updates.onUpdate([this](const BadgeUpdates::Update& u) { update(u); });
    gone_ = updates.onSenderGone([this](const QString& sender) { forget(sender); });
}

void BadgeModel::update(const BadgeUpdates::Update& update) {
    const QString id = LaunchMatch::desktopIdOfUri(update.appUri);
    if (id.isEmpty())
        return;
    Sender& sender = senders_[update.sender];
    if (!sender.ids.contains(id)) {
        if (sender.ids.size() >= maximumIdsPerSender)
            return;
        // Another program spoke for this id before: the newer one speaks for it now.
        const QString previous = senderOf_.value(id);
        if (const auto other = senders_.find(previous);
            previous != update.sender && other != senders_.end())
            other->second.ids.remove(id);
        sender.ids.insert(id);
        senderOf_.insert(id, update.sender);
    }
    apply(states_[id], update.properties);

    const auto now = scheduler_.now();
    if (!sender.flushPending &&
        (!sender.everPublished || now - sender.lastPublished >= minimumInterval)) {
        sender.lastPublished = now;
        sender.everPublished = true;
        publish(id);
        return;
    }
    sender.waiting.insert(id);
    if (sender.flushPending)
        return;
    sender.flushPending = true;
    sender.timer = scheduler_.schedule(minimumInterval - (now - sender.lastPublished),
                                       guard_.guard([this, name = update.sender] { flush(name); }));
}

void BadgeModel::flush(const QString& name) {
    const auto found = senders_.find(name);
    if (found == senders_.end())
        return;
    Sender& sender = found->second;
    const QSet<QString> waiting = std::exchange(sender.waiting, {});
    sender.flushPending = false;
    sender.lastPublished = scheduler_.now();
    for (const QString& id : waiting)
        publish(id);
}

void BadgeModel::forget(const QString& name) {
    const auto found = senders_.find(name);
    if (found == senders_.end())
        return;
    const QSet<QString> ids = found->second.ids;
    senders_.erase(found);
    for (const QString& id : ids) {
        states_.remove(id);
        senderOf_.remove(id);
        publish(id);
    }
}

void BadgeModel::publish(const QString& desktopId) {
    const auto state = states_.constFind(desktopId);
    const AppBadge badge = state == states_.constEnd() ? AppBadge{} : state->visible();
    if (badge == shown_.value(desktopId))
        return;
    if (badge.isEmpty())
        shown_.remove(desktopId);
    else
        shown_.insert(desktopId, badge);
    changed_.emit(desktopId);
}
