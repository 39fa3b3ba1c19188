// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// What the window system says about one client window, as far as telling applications apart
// needs it.
struct AppMatchWindow {
    std::uint32_t window = 0;
    std::optional<std::int32_t> pid;
    // The two halves of WM_CLASS; empty when the window has none.
    QString wmInstance;
    QString wmClass;
    // A window a user switches to: no type, or a normal window or a dialog.
    bool isNormal = true;
    bool skipsTaskbar = false;
};
