// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SpringAnimation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// For a unit mass: the stiffness that gives the response as the undamped period, and the
// damping that gives the fraction of critical damping.
constexpr double stiffness = (2 * std::numbers::pi / SpringAnimation::response) *
                             (2 * std::numbers::pi / SpringAnimation::response);
constexpr double damping =
    4 * std::numbers::pi * SpringAnimation::dampingFraction / SpringAnimation::response;
// Small steps keep the integration stable whatever the frame interval.
constexpr double maxStep = 1.0 / 240;

} // namespace

void SpringAnimation::step(double seconds) {
    double left = std::clamp(seconds, 0.0, 1.0);
    while (left > 0 && !isSettled()) {
        const double dt = std::min(left, maxStep);
        const double acceleration = -stiffness * (value_ - target_) - damping * velocity_;
        velocity_ += acceleration * dt;
        value_ += velocity_ * dt;
        left -= dt;
    }
    if (isSettled()) {
        value_ = target_;
        velocity_ = 0;
    }
}

bool SpringAnimation::isSettled() const {
    return std::abs(value_ - target_) < 0.0005 && std::abs(velocity_) < 0.005;
}
