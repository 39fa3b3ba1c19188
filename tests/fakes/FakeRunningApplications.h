// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/RunningApplicationsSource.h"
#include "platform/Signal.h"

#include <QStringList>

// A window system whose running applications the test sets; records the requests made of them
// as "activate KEY", "activateWindow ID", "hide KEY", "terminate KEY", and tells the subscribers of
// a change when the test calls notifyChange().
class FakeRunningApplications final : public RunningApplicationsSource {
public:
    Snapshot snapshot() override {
        ++snapshotCount;
        return current;
    }
    Subscription onChange(std::function<void()> action) override {
        return changed_.connect(std::move(action));
    }
    void activate(const RunningApplication& app) override { requests << u"activate "_qs + app.key; }
    void activateWindow(std::uint32_t window) override {
        requests << u"activateWindow "_qs + QString::number(window);
    }
    std::vector<std::uint32_t> windowsByRecency() override { return recency; }
    void hide(const RunningApplication& app) override { requests << u"hide "_qs + app.key; }
    void terminate(const RunningApplication& app) override {
        requests << u"terminate "_qs + app.key;
    }

    bool isAvailable() const override { return available; }

    void notifyChange() { changed_.emit(); }
    std::size_t subscriberCount() const { return changed_.size(); }

    // A regular application with the given key, name and pid.
    static RunningApplication make(const QString& key, std::optional<QString> name,
                                   std::int32_t pid = -1,
                                   ActivationPolicy policy = ActivationPolicy::regular) {
        RunningApplication app;
        app.key = key;
        app.processIdentifier = pid;
        app.localizedName = std::move(name);
        app.activationPolicy = policy;
        return app;
    }

    Snapshot current;
    // What windowsByRecency answers.
    std::vector<std::uint32_t> recency;
    int snapshotCount = 0;
    bool available = true;
    QStringList requests;

private:
    Signal<> changed_;
};
