// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ImageFileChooser.h"

#include <vector>

// Keeps each request until the test answers it.
class FakeImageFileChooser final : public ImageFileChooser {
public:
    void chooseImage(QWidget*, Answer answer) override { pending.push_back(std::move(answer)); }

    // Answers the oldest open request; false when none is open.
    bool answer(std::optional<QString> path) {
        if (pending.empty())
            return false;
        Answer first = std::move(pending.front());
        pending.erase(pending.begin());
        first(std::move(path));
        return true;
    }

    std::vector<Answer> pending;
};
