// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/WindowActivation.h"

#include <vector>

// Records the activations asked for.
class FakeWindowActivation final : public WindowActivation {
public:
    void activate(WId window, const LaunchToken& token) override {
        activations.push_back({window, token});
    }

    struct Activation {
        WId window;
        LaunchToken token;
    };
    std::vector<Activation> activations;
};
