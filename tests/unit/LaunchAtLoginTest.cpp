#include "runtime/LaunchAtLogin.h"
#include "fakes/FakeLoginItems.h"
#include "fakes/FakeSystemLog.h"

#include <gtest/gtest.h>

TEST(LaunchAtLoginTest, OnlyTheEnabledStatusCountsAsEnabled) {
    FakeLoginItems items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    for (const auto& [status, enabled] : {std::pair{LoginItemStatus::enabled, true},
                                          std::pair{LoginItemStatus::notRegistered, false},
                                          std::pair{LoginItemStatus::notFound, false}}) {
        items.currentStatus = status;
        EXPECT_EQ(launch.isEnabled(), enabled) << static_cast<int>(status);
    }
}

TEST(LaunchAtLoginTest, SwitchingOnRegistersUnlessAlreadyEnabled) {
    FakeLoginItems items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    items.currentStatus = LoginItemStatus::enabled;
    launch.setEnabled(true);
    EXPECT_TRUE(items.calls.isEmpty());

    for (const auto status : {LoginItemStatus::notRegistered, LoginItemStatus::notFound}) {
        items.calls.clear();
        items.currentStatus = status;
        launch.setEnabled(true);
        EXPECT_EQ(items.calls, QStringList{QStringLiteral("register")});
        EXPECT_TRUE(launch.isEnabled());
    }
    EXPECT_TRUE(log.lines.isEmpty());
}

TEST(LaunchAtLoginTest, SwitchingOffAlwaysUnregisters) {
    FakeLoginItems items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    for (const auto status :
         {LoginItemStatus::enabled, LoginItemStatus::notRegistered, LoginItemStatus::notFound}) {
        items.calls.clear();
        items.currentStatus = status;
        launch.setEnabled(false);
        EXPECT_EQ(items.calls, QStringList{QStringLiteral("unregister")});
    }
    EXPECT_FALSE(launch.isEnabled());
}

TEST(LaunchAtLoginTest, ARefusalIsWrittenToTheSystemLogAndNothingElse) {
    FakeLoginItems items;
    FakeSystemLog log;
    LaunchAtLogin launch(items, log);
    items.failure = QStringLiteral("Permission denied");
    launch.setEnabled(true);
    launch.setEnabled(false);
    EXPECT_EQ(log.lines,
              (QStringList{QStringLiteral("LaunchAtLogin: failed to update registration: "
                                          "Permission denied"),
                           QStringLiteral("LaunchAtLogin: failed to update registration: "
                                          "Permission denied")}));
    EXPECT_EQ(items.calls, (QStringList{QStringLiteral("register"), QStringLiteral("unregister")}));
}
