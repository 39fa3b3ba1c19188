#pragma once

#include "platform/RunningApplicationsSource.h"
#include "platform/Signal.h"

#include <QString>

// A window system whose running applications the test sets; records the requests made of them
// and sends change notifications when told to.
class FakeRunningApplications final : public RunningApplicationsSource {
public:
    Snapshot snapshot() override;
    Subscription onChange(std::function<void()> action) override;
    void activate(const RunningApplication& application) override;
    void hide(const RunningApplication& application) override;
    void terminate(const RunningApplication& application) override;

    // Calls the change subscribers, as the window system would.
    void notifyChange();
    std::size_t subscriberCount() const { return changed_.size(); }

    // A regular application with the given key, name and pid.
    static RunningApplication make(const QString& key, std::optional<QString> name,
                                   std::int32_t pid = -1,
                                   ActivationPolicy policy = ActivationPolicy::regular);

    Snapshot current;
    int snapshotCount = 0;
    // One line per request: "activate KEY", "hide KEY", "terminate KEY".
    QStringList requests;

private:
    Signal<> changed_;
};
