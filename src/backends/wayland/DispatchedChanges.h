// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"

#include <QMetaObject>

#include <functional>

class WaylandConnection;

// Changes a window list noted while the compositor's events were dispatched, told once for all
// that one read from the compositor brought.
class DispatchedChanges {
public:
    // `wayland` outlives us.
    explicit DispatchedChanges(WaylandConnection& wayland);
    ~DispatchedChanges();
    DispatchedChanges(const DispatchedChanges&) = delete;
    DispatchedChanges& operator=(const DispatchedChanges&) = delete;

    void note(bool changed = true) { dirty_ |= changed; }
    Subscription onChange(std::function<void()> action) {
        return changed_.connect(std::move(action));
    }

private:
    Signal<> changed_;
    bool dirty_ = false;
    QMetaObject::Connection dispatched_;
};
