// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

// Moves a program we started out of our own process group into one of its own, named after its
// desktop entry, so that it outlives us and the session can tell which application it is (a
// transient systemd scope where the user's systemd is on the session bus). Asynchronous and
// silent: where that is not possible the program simply stays where it was started.
class ProcessScopes {
public:
    virtual ~ProcessScopes() = default;

    virtual void adopt(std::int32_t pid, const QString& desktopId) = 0;
};
