// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/LaunchMatch.h"

#include <gtest/gtest.h>

TEST(LaunchMatchTest, TellsWhichRunningProgramsAnEntryStandsFor) {
    const QString path = u"/usr/share/applications/org.kde.konsole.desktop"_qs;
    const LauncherIdentity konsole{path, u"org.kde.konsole"_qs, {}};
    const LauncherIdentity xterm{u"/home/a/xterm.desktop"_qs, u"xterm"_qs, {}};
    const LauncherIdentity big{u"/home/a/big.desktop"_qs, u"big"_qs, u"BigTerm"_qs};
    struct Case {
        const char* what;
        LauncherIdentity entry;
        RunningApplication app;
        bool matches;
    };
    const auto app = [](const char* desktopId, const char* instance, const char* wmClass,
                        std::optional<QString> launched = {}, const char* appId = "") {
        RunningApplication a;
        a.desktopId = QString::fromUtf8(desktopId);
        a.wmInstance = QString::fromUtf8(instance);
        a.wmClass = QString::fromUtf8(wmClass);
        a.launchedDesktopFile = std::move(launched);
        a.appId = QString::fromUtf8(appId);
        return a;
    };
    const Case cases[] = {
        {"matched installed entry", konsole, app("org.kde.konsole", "", ""), true},
        {"another installed entry", konsole, app("org.kde.dolphin", "dolphin", "Dolphin"), false},
        {"class is the id", xterm, app("", "xterm", "XTerm"), true},
        {"class is the last part of the id", konsole, app("", "", "Konsole"), true},
        {"launched from this very file", big, app("", "xterm", "XTerm", u"/home/a/big.desktop"_qs),
         true},
        {"launched from another entry", xterm, app("", "xterm", "XTerm", u"/home/a/big.desktop"_qs),
         false},
        {"launched from a copy by id", xterm,
         app("", "xterm", "XTerm", u"/usr/share/applications/xterm.desktop"_qs), true},
        {"stated class", big, app("", "xterm", "BigTerm"), true},
        {"stated class overrules the id", LauncherIdentity{{}, u"xterm"_qs, u"BigTerm"_qs},
         app("", "xterm", "XTerm"), false},
        {"stated class is exact", big, app("", "", "bigterm"), false},
        {"Wayland app id", konsole, app("", "", "", {}, "org.kde.konsole"), true},
        {"nothing in common", xterm, app("", "", ""), false},
        {"empty entry", LauncherIdentity{}, app("", "", ""), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LaunchMatch::matches(c.entry, c.app), c.matches) << c.what;

    // What we started ourselves, by pid, speaks as the process's own record would.
    RunningApplication ours = app("", "xterm", "XTerm");
    ours.processIdentifier = 42;
    const QHash<std::int32_t, QString> launched{{42, u"/home/a/big.desktop"_qs}};
    EXPECT_EQ(LaunchMatch::matching(big, {ours}, launched).size(), 1u);
    EXPECT_TRUE(LaunchMatch::matching(xterm, {ours}, launched).empty());
}

TEST(LaunchMatchTest, ReadsTheDesktopIdOfALauncherEntryUri) {
    const std::pair<const char*, const char*> cases[] = {
        {"application://org.gnome.Evolution.desktop", "org.gnome.Evolution"},
        {"firefox-esr.desktop", "firefox-esr"},
        {"application://.desktop", ""},
        {"application://a/b.desktop", ""},
        {"application://mail", ""},
        {"", ""},
    };
    for (const auto& [uri, id] : cases)
        EXPECT_EQ(LaunchMatch::desktopIdOfUri(QString::fromUtf8(uri)), QString::fromUtf8(id))
            << uri;
}
