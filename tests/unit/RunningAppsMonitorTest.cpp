// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/RunningAppsMonitor.h"
#include "fakes/FakeDesktop.h"
#include "fakes/FakeRunningApplications.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList keys(const std::vector<RunningApplication>& apps) {
    QStringList out;
    for (const auto& app : apps)
        out << app.key;
    return out;
}

class RunningAppsMonitorTest : public ::testing::Test {
protected:
    std::unique_ptr<RunningAppsMonitor> makeMonitor() {
        auto monitor = std::make_unique<RunningAppsMonitor>(source, desktop, scheduler);
        monitor->start();
        return monitor;
    }

    FakeRunningApplications source;
    FakeDesktop desktop;
    VirtualScheduler scheduler;
};

} // namespace

TEST_F(RunningAppsMonitorTest, FillsBothFieldsWhenStartedWithRegularAppsAndAnyFrontmost) {
    using P = ActivationPolicy;
    source.current.applications = {
        FakeRunningApplications::make("b", "Beta", 2),
        FakeRunningApplications::make("acc", "Alpha", -1, P::accessory),
        FakeRunningApplications::make("a", "Alpha", 1),
        FakeRunningApplications::make("pro", "Alpha", -1, P::prohibited),
    };
    source.current.frontmost = FakeRunningApplications::make("panel", "Panel", 7, P::accessory);
    {
        // Nothing is read before the start.
        RunningAppsMonitor idle(source, desktop, scheduler);
        source.notifyChange();
        scheduler.runPending();
        EXPECT_TRUE(idle.apps->empty());
        EXPECT_EQ(source.snapshotCount, 0);
    }
    const auto monitor = makeMonitor();
    EXPECT_EQ(keys(*monitor->apps), (QStringList{"a", "b"}));
    ASSERT_TRUE(monitor->frontmostApp->has_value());
    EXPECT_EQ((*monitor->frontmostApp)->processIdentifier, 7);
    EXPECT_EQ(source.snapshotCount, 1);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(RunningAppsMonitor, SortsByCodePointsOfNormalisedNames) {
    const auto u8 = [](const char* text) { return QString::fromUtf8(text); };
    const struct {
        const char* what;
        std::vector<std::optional<QString>> names; // in source order; keys are "0", "1", ...
        QStringList expectedKeys;
    } cases[] = {
        {"equal names keep the source order", {"B", "A", "B", "A"}, {"1", "3", "0", "2"}},
        {"an absent name sorts first", {"A", std::nullopt, ""}, {"1", "2", "0"}},
        {"upper case before lower case", {"alpha", "Zeta", "beta"}, {"1", "0", "2"}},
        {"not locale-aware: accented letters after z", {u8("été"), "zoo"}, {"1", "0"}},
        {"composed and decomposed forms are equal",
         {u8("Caf\xc3\xa9"), u8("Cafe\xcc\x81"), u8("Caf\xc3\xa9")},
         {"0", "1", "2"}},
        {"decomposed form sorts where the composed one does",
         {u8("Cafe\xcc\x81"), "Cafz"},
         {"1", "0"}},
        // U+1F600 is above U+FF5E; in UTF-16 its lead surrogate (U+D83D) would sort first.
        {"astral characters compare by code point", {u8("😀"), u8("～")}, {"1", "0"}},
        {"a prefix sorts before its extensions", {"Termite", "Term"}, {"1", "0"}},
    };
    for (const auto& c : cases) {
        std::vector<RunningApplication> apps;
        for (std::size_t i = 0; i < c.names.size(); ++i)
            apps.push_back(FakeRunningApplications::make(QString::number(i), c.names[i]));
        EXPECT_EQ(keys(RunningAppsMonitor::regularSortedByName(apps)), c.expectedKeys) << c.what;
    }
}

TEST_F(RunningAppsMonitorTest, EachNotificationRefreshesAppsThenFrontmostOnALaterPass) {
    const auto monitor = makeMonitor();
    source.current.applications = {FakeRunningApplications::make("a", "A", 1)};
    source.current.frontmost = source.current.applications[0];
    QStringList events;
    const auto willChange = monitor->onObjectWillChange([&] { events << "will"; });
    const auto appsSink = monitor->apps.sink([&](const auto&) { events << "apps"; });
    const auto frontSink = monitor->frontmostApp.sink([&](const auto&) { events << "front"; });
    events.clear();
    source.notifyChange();
    source.notifyChange();
    EXPECT_EQ(source.snapshotCount, 1);
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(scheduler.pendingCount(), 2u);
    scheduler.runPending();
    EXPECT_EQ(source.snapshotCount, 3);
    // Published again when unchanged.
    EXPECT_EQ(events,
              (QStringList{"will", "apps", "will", "front", "will", "apps", "will", "front"}));
    EXPECT_EQ(keys(*monitor->apps), (QStringList{"a"}));
}

TEST_F(RunningAppsMonitorTest, PendingRefreshDoesNothingOnceTheMonitorIsGone) {
    auto monitor = makeMonitor();
    source.notifyChange();
    monitor.reset();
    scheduler.runPending();
    EXPECT_EQ(source.snapshotCount, 1);
    EXPECT_EQ(source.subscriberCount(), 0u);
    source.notifyChange();
    scheduler.runPending();
    EXPECT_EQ(source.snapshotCount, 1);
}

// Activate, hide and quit reach the source: ProcessDockViewTest, and RunningAppsTest on X.
TEST_F(RunningAppsMonitorTest, RevealsTheBundleAsAFileUrlAndNothingWithoutOne) {
    auto app = FakeRunningApplications::make("xterm", "XTerm", 42);
    const auto monitor = makeMonitor();
    monitor->reveal(app);
    EXPECT_TRUE(desktop.requests.isEmpty());
    app.desktopEntryPath = u"/usr/share/applications/my app.desktop"_qs;
    monitor->reveal(app);
    EXPECT_EQ(desktop.requests,
              (QStringList{"reveal file:///usr/share/applications/my%20app.desktop"}));
}
