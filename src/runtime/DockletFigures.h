// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// What the live docklets show, as the sampler last read it.
struct DockletFigures {
    // Seconds since 2001-01-01 00:00:00 UTC.
    double now = 0;
    // The home volume's available bytes.
    qint64 diskFreeBytes = 0;
    // The busy share of the last interval (1.0 = all CPUs busy).
    double cpuUsage = 0;
};
