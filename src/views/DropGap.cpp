// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DropGap.h"

#include <algorithm>

void DropGap::moveTo(std::optional<std::int64_t> index) {
    bool found = false;
    for (Gap& gap : gaps_) {
        const bool here = gap.index == index;
        gap.spring.setTarget(here ? 1.0 : 0.0);
        found = found || here;
    }
    if (index && !found) {
        Gap gap{*index, SpringAnimation(0.0)};
        gap.spring.setTarget(1.0);
        gaps_.push_back(gap);
    }
}

void DropGap::step(double seconds) {
    for (Gap& gap : gaps_)
        gap.spring.step(seconds);
    std::erase_if(
        gaps_, [](const Gap& gap) { return gap.spring.isSettled() && gap.spring.target() == 0.0; });
}

bool DropGap::isMoving() const {
    return std::any_of(gaps_.begin(), gaps_.end(),
                       [](const Gap& gap) { return !gap.spring.isSettled(); });
}

double DropGap::offset(std::int64_t index) const {
    double offset = 0;
    for (const Gap& gap : gaps_) {
        if (gap.index == index)
            offset += gap.spring.value();
        else if (gap.index == index + 1)
            offset -= gap.spring.value();
    }
    return offset;
}

std::vector<std::int64_t> DropGap::gaps() const {
    std::vector<std::int64_t> indexes;
    indexes.reserve(gaps_.size());
    for (const Gap& gap : gaps_)
        indexes.push_back(gap.index);
    return indexes;
}
