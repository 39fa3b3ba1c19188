// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <QString>

#include <functional>

// The user's Trash.
class Trash {
public:
    virtual ~Trash() = default;

    // Moves the file or folder to the Trash of its volume; false when it could not be moved.
    virtual bool moveToTrash(const QString& path) = 0;

    // Whether the Trash holds anything.
    virtual bool hasItems() const = 0;
    // Calls `changed` (on the main thread) whenever what the Trash holds may have changed; the
    // Trash is watched only while someone observes it, and never polled.
    [[nodiscard]] virtual Subscription observe(std::function<void()> changed) = 0;
    // Deletes everything in the Trash for good. Fire and forget: the observers hear of the
    // result.
    virtual void empty() = 0;
};
