// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A damped spring that carries a value to its target, stepped by hand: what the hover scale of an
// item's icon follows. Response 0.25 s and damping fraction 0.6 give a quick move that overshoots
// a little once.
class SpringAnimation {
public:
    explicit SpringAnimation(double value = 1.0) : value_(value), target_(value) {}

    void setTarget(double target) { target_ = target; }
    double target() const { return target_; }
    double value() const { return value_; }
    // Advances by `seconds`; the value lands exactly on the target once it has settled.
    void step(double seconds);
    bool isSettled() const;

    static constexpr double response = 0.25;
    static constexpr double dampingFraction = 0.6;

private:
    double value_;
    double target_;
    double velocity_ = 0;
};
