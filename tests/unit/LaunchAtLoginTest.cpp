// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/LaunchAtLogin.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeSystemLog.h"

#include <gtest/gtest.h>

TEST(LaunchAtLoginTest, OnRegistersUnlessEnabledAndOffAlwaysUnregisters) {
    struct Case {
        AutostartStatus status;
        bool enabled;
        const char* on; // the call switching on makes, if any
    };
    for (const auto& [status, enabled, on] :
         {Case{AutostartStatus::enabled, true, nullptr},
          Case{AutostartStatus::notRegistered, false, "register"},
          Case{AutostartStatus::notFound, false, "register"}}) {
        FakeAutostart items;
        FakeSystemLog log;
        LaunchAtLogin launch(items, log);
        items.currentStatus = status;
        EXPECT_EQ(launch.isEnabled(), enabled) << int(status);
        launch.setEnabled(true);
        EXPECT_EQ(items.calls, on ? QStringList{QLatin1String(on)} : QStringList()) << int(status);
        EXPECT_TRUE(launch.isEnabled());
        // An entry the status does not count as ours still goes.
        items.currentStatus = status;
        items.calls.clear();
        launch.setEnabled(false);
        EXPECT_EQ(items.calls, QStringList{u"unregister"_qs}) << int(status);
        EXPECT_FALSE(launch.isEnabled());
        EXPECT_TRUE(log.lines.isEmpty());
    }
}

TEST(LaunchAtLoginTest, ARefusalIsWrittenToTheSystemLogAndNothingElse) {
    FakeAutostart items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    items.failure = u"Permission denied"_qs;
    launch.setEnabled(true);
    launch.setEnabled(false);
    const QString line = u"LaunchAtLogin: failed to update registration: Permission denied"_qs;
    EXPECT_EQ(log.lines, (QStringList{line, line}));
    EXPECT_EQ(items.calls, (QStringList{u"register"_qs, u"unregister"_qs}));
}
