#include "fakes/FakeRunningApplications.h"

RunningApplicationsSource::Snapshot FakeRunningApplications::snapshot() {
    ++snapshotCount;
    return current;
}

Subscription FakeRunningApplications::onChange(std::function<void()> action) {
    return changed_.connect(std::move(action));
}

void FakeRunningApplications::activate(const RunningApplication& application) {
    requests << QStringLiteral("activate ") + application.key;
}

void FakeRunningApplications::hide(const RunningApplication& application) {
    requests << QStringLiteral("hide ") + application.key;
}

void FakeRunningApplications::terminate(const RunningApplication& application) {
    requests << QStringLiteral("terminate ") + application.key;
}

void FakeRunningApplications::notifyChange() {
    changed_.emit();
}

RunningApplication FakeRunningApplications::make(const QString& key, std::optional<QString> name,
                                                 std::int32_t pid, ActivationPolicy policy) {
    RunningApplication app;
    app.key = key;
    app.processIdentifier = pid;
    app.localizedName = std::move(name);
    app.activationPolicy = policy;
    return app;
}
