// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ProcessScopes.h"

#include <QByteArray>

// Puts each program we start into a transient scope of the user's systemd manager on the
// session bus, "app-moorline-<escaped desktop id>-<random>.scope" in app.slice, as the desktop
// environments' convention names them. The call is asynchronous; where no systemd answers, or
// the program has already gone, it fails quietly and the program stays in our own group.
class SystemdScopes final : public ProcessScopes {
public:
    void adopt(std::int32_t pid, const QString& desktopId) override;

    // The desktop id escaped as systemd escapes unit name parts: what is not a letter, digit,
    // ":", "_" or a "." past the first character becomes \xHH, a dash included.
    static QByteArray escaped(const QString& desktopId);
};
