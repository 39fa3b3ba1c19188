// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A panel's frame in points: lower-left corner in global screen space (origin at the lower-left
// corner of the primary screen, y up), then the size.
struct DockPosition {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const DockPosition&) const = default;
};
