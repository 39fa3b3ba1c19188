// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// What a program asks its launcher tiles to show: a count badge, a progress bar, a highlight.
// Only what is to be shown is set.
struct AppBadge {
    // Above zero.
    std::optional<std::int64_t> count;
    // From 0 to 1.
    std::optional<double> progress;
    bool urgent = false;

    bool isEmpty() const { return !count && !progress && !urgent; }
    bool operator==(const AppBadge&) const = default;
};
