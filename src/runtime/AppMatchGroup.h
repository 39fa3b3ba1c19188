// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The client windows of one application: those of one process, or, for windows that name no
// process, those of one window class.
struct AppMatchGroup {
    // "pid:1234", "class:XTerm" or, for a window with neither, "window:0x1e00004".
    QString key;
    std::optional<std::int32_t> pid;
    // WM_CLASS of the first of its windows that has one.
    QString wmInstance;
    QString wmClass;
    // Every window, in the window system's order.
    std::vector<std::uint32_t> windows;
    // The normal windows not kept out of task bars; an application with any is a regular one.
    std::vector<std::uint32_t> taskbarWindows;

    bool isRegular() const { return !taskbarWindows.empty(); }
};
