// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RunningApplicationsSource.h"

// The running applications of a session that lists no other program's windows: none, and it
// says so, so that the application dock can explain itself rather than stand empty.
class UnavailableRunningApplications final : public RunningApplicationsSource {
public:
    Snapshot snapshot() override { return {}; }
    Subscription onChange(std::function<void()>) override { return {}; }
    void activate(const RunningApplication&) override {}
    void activateWindow(std::uint32_t) override {}
    std::vector<std::uint32_t> windowsByRecency() override { return {}; }
    void hide(const RunningApplication&) override {}
    void terminate(const RunningApplication&) override {}
    bool isAvailable() const override { return false; }
};
