// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Whether the desktop starts this program when the user logs in.
enum class AutostartStatus {
    notRegistered, // no entry, or one the user switched off
    enabled,       // an entry that starts this program
    notFound,      // an entry whose program no longer exists, or is not this copy
};

// The desktop's list of programs started at login, as far as this program's own entry goes.
class Autostart {
public:
    virtual ~Autostart() = default;

    virtual AutostartStatus status() const = 0;
    // Adds or renews this program's entry. Answers a description of the failure, or nothing.
    virtual std::optional<QString> enable() = 0;
    // Removes this program's entry; no entry is success. Answers a description of the failure, or
    // nothing.
    virtual std::optional<QString> disable() = 0;
};
