// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PathChooser.h"

#include <vector>

// Keeps each request until the test answers it.
class FakePathChooser final : public PathChooser {
public:
    void choosePaths(QWidget*, Answer answer) override { pending.push_back(std::move(answer)); }

    // Answers the oldest open request; false when none is open.
    bool answer(const QStringList& paths) {
        if (pending.empty())
            return false;
        Answer first = std::move(pending.front());
        pending.erase(pending.begin());
        first(paths);
        return true;
    }

    std::vector<Answer> pending;
};
