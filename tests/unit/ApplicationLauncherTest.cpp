// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/ApplicationLauncher.h"
#include "fakes/FakeServices.h"

#include <gtest/gtest.h>

namespace {

using Requests = QStringList;
const QString xterm = u"/apps/xterm.desktop"_qs;

class ApplicationLauncherTest : public ::testing::Test {
protected:
    ApplicationLauncherTest() { f.desktop.addLauncher(xterm, u"xterm"_qs); }

    // The window system now shows these applications, `front` in front.
    void show(std::vector<RunningApplication> apps, std::optional<QString> front = {}) {
        f.runningApplications.current = {std::move(apps), {}};
        for (const auto& app : f.runningApplications.current.applications)
            if (front && app.key == *front)
                f.runningApplications.current.frontmost = app;
        f.runningApplications.notifyChange();
        f.scheduler.runPending();
    }
    static RunningApplication terminal(const char* key, std::int32_t pid,
                                       std::vector<std::uint32_t> windows = {}) {
        RunningApplication app =
            FakeRunningApplications::make(QString::fromUtf8(key), "XTerm", pid);
        app.wmClass = u"XTerm"_qs;
        app.windows = std::move(windows);
        return app;
    }
    Requests takeRequests() {
        Requests all = f.desktop.requests + f.runningApplications.requests;
        f.desktop.requests.clear();
        f.runningApplications.requests.clear();
        return all;
    }

    FakeServices f;
};

} // namespace

TEST_F(ApplicationLauncherTest, AClickBringsTheRunningProgramForwardAndGoesRoundItsWindows) {
    // Two processes of one entry: their windows in a fixed order 11, 12, 13.
    show({terminal("a", 1, {11, 12}), terminal("b", 2, {13})});
    f.runningApplications.recency = {99, 12, 11, 13};
    f.launcher.open(xterm);
    EXPECT_EQ(takeRequests(), Requests{u"activateWindow 12"_qs}) << "the most recent first";

    show({terminal("a", 1, {11, 12}), terminal("b", 2, {13})}, u"a"_qs);
    for (const auto& [recent, next] : {std::pair{12u, 13u}, {13u, 11u}, {11u, 12u}}) {
        f.runningApplications.recency = {recent, 99};
        f.launcher.open(xterm);
        EXPECT_EQ(takeRequests(), Requests{u"activateWindow "_qs + QString::number(next)});
    }
    EXPECT_TRUE(f.launcher.isRunning(xterm));
    EXPECT_TRUE(f.scopes.adopted.isEmpty());

    f.launcher.openNew(xterm);
    EXPECT_EQ(takeRequests(), Requests{u"launch /apps/xterm.desktop launch-1"_qs})
        << "a new window is always a launch";
    show({});
    EXPECT_FALSE(f.launcher.isRunning(xterm));
    f.launcher.open(xterm);
    EXPECT_EQ(takeRequests(), Requests{u"launch /apps/xterm.desktop launch-2"_qs});
    EXPECT_EQ(f.scopes.adopted, (Requests{u"1000 xterm"_qs, u"1001 xterm"_qs}));
}

TEST_F(ApplicationLauncherTest, FeedbackEndsWhenTheWindowComesOrAfterAWhile) {
    f.launcher.open(xterm);
    f.launcher.openNew(xterm);
    show({terminal("p", 1000, {5})});
    EXPECT_EQ(f.launchFeedback.events, (Requests{u"begin launch-1 xterm"_qs,
                                                 u"begin launch-2 xterm"_qs, u"end launch-1"_qs}));
    f.scheduler.advance(ApplicationLauncher::feedbackTimeout);
    EXPECT_EQ(f.launchFeedback.events.last(), u"end launch-2"_qs);

    f.desktop.launchFails = true;
    f.launcher.openNew(xterm);
    EXPECT_EQ(f.launchFeedback.events.mid(4),
              (Requests{u"begin launch-3 xterm"_qs, u"end launch-3"_qs}));
    EXPECT_EQ(f.scopes.adopted.size(), 2) << "nothing started, nothing to move";

    // An entry that says it breaks with startup notification gets none.
    f.desktop.launchFails = false;
    f.desktop.launchers[xterm].refusesStartupNotification = true;
    f.launcher.openNew(xterm);
    EXPECT_EQ(f.desktop.requests.last(), u"launch /apps/xterm.desktop"_qs);
    EXPECT_EQ(f.launchFeedback.count, 3);
    EXPECT_EQ(f.scheduler.pendingCount(), 0u);
}

TEST_F(ApplicationLauncherTest, ActionsAndLaunchesOfUntrustedEntriesAskFirst) {
    LauncherEntry& entry = f.desktop.launchers[xterm];
    entry.isTrusted = false;
    entry.actions = {{u"new-window"_qs, u"Open a New Window"_qs, u"xterm -new"_qs}};
    EXPECT_EQ(f.launcher.actions(xterm), entry.actions);

    f.launcher.runAction(xterm, u"unknown"_qs);
    f.launcher.runAction(xterm, u"new-window"_qs);
    f.launcher.open(xterm);
    EXPECT_EQ(f.launchConfirmation.questions,
              (Requests{u"/apps/xterm.desktop: xterm -new"_qs, u"/apps/xterm.desktop: xterm"_qs}));
    EXPECT_TRUE(f.desktop.requests.isEmpty());
    f.launchConfirmation.answerAll(true);
    EXPECT_EQ(f.desktop.requests, (Requests{u"launch /apps/xterm.desktop new-window launch-1"_qs,
                                            u"launch /apps/xterm.desktop launch-2"_qs}));
}

TEST_F(ApplicationLauncherTest, KnowsTheProcessesItStartedWhateverTheirWindowsSay) {
    // A wrapper's window names some other class: only its pid ties it to the entry.
    RunningApplication wrapper = FakeRunningApplications::make(u"w"_qs, "Wrapper", 1000);
    wrapper.windows = {7};
    show({wrapper});
    EXPECT_FALSE(f.launcher.isRunning(xterm)) << "not ours yet";
    show({});
    f.launcher.open(xterm);
    show({wrapper});
    EXPECT_TRUE(f.launcher.isRunning(xterm));
    takeRequests();
    f.launcher.open(xterm);
    EXPECT_EQ(takeRequests(), Requests{u"activateWindow 7"_qs});

    // Once it ended, a later process of the same pid is not ours.
    show({});
    show({wrapper});
    EXPECT_FALSE(f.launcher.isRunning(xterm));
    // Nor is one that shows up long after a launch that never showed a window.
    f.launcher.openNew(xterm);
    f.scheduler.advance(ApplicationLauncher::launchedMemory);
    wrapper.processIdentifier = 1001;
    show({wrapper});
    EXPECT_FALSE(f.launcher.isRunning(xterm));
}
