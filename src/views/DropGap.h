// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "views/SpringAnimation.h"

#include <cstdint>
#include <optional>
#include <vector>

// The room tiles make for a drop between them: the two tiles either side of the insertion point
// move apart on the dock's spring as the point arrives, and close up again as it leaves. Each gap
// springs on its own, so a pointer moving along a row opens one gap while the last one closes.
// Stepped by hand, like the hover spring.
class DropGap {
public:
    // The gap is now before the tile at `index`; none: every gap closes.
    void moveTo(std::optional<std::int64_t> index);
    // Every gap shut at once, nothing moving: the tiles are not where they were any more.
    void reset() { gaps_.clear(); }
    void step(double seconds);
    bool isMoving() const;
    // How far the tile at `index` stands aside, as a fraction of the room: forward for the tile
    // after a gap, backward (negative) for the one before it.
    double offset(std::int64_t index) const;
    // The gaps open, opening or closing: where the tiles are not at rest.
    std::vector<std::int64_t> gaps() const;

private:
    struct Gap {
        std::int64_t index;
        SpringAnimation spring;
    };
    std::vector<Gap> gaps_;
};
