// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/AppMatchGrouping.h"
#include "runtime/AppMatchIndex.h"

#include <gtest/gtest.h>

namespace {

AppMatchWindow window(std::uint32_t id, std::optional<std::int32_t> pid, const QString& wmClass,
                      bool isNormal = true, bool skipsTaskbar = false) {
    AppMatchWindow w;
    w.window = id;
    w.pid = pid;
    w.wmInstance = wmClass.toLower();
    w.wmClass = wmClass;
    w.isNormal = isNormal;
    w.skipsTaskbar = skipsTaskbar;
    return w;
}

AppMatchEntry entry(const QString& id, const QString& name, const QString& startupClass = {},
                    const QStringList& executables = {}) {
    AppMatchEntry e;
    e.id = id;
    e.path = QStringLiteral("/apps/") + id + QStringLiteral(".desktop");
    e.localizedName = name;
    e.untranslatedName = name;
    e.startupWMClass = startupClass;
    e.executables = executables;
    return e;
}

} // namespace

TEST(AppMatchGrouping, GroupsByProcessThenClassThenWindowInFirstAppearanceOrder) {
    const auto groups = AppMatchGrouping::group({
        window(0x10, 100, ""), // the class comes from the first window that has one
        window(0x20, std::nullopt, "Remote"),
        window(0x11, 100, "XTerm"),
        window(0x12, 100, "XTerm-dialog"),
        window(0x30, 200, "XTerm"), // another process of the same class is another application
        window(0x21, std::nullopt, "Remote"),
        window(0x40, std::nullopt, ""),
        window(0x41, std::nullopt, ""),
    });
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].key, "pid:100");
    EXPECT_EQ(groups[0].windows, (std::vector<std::uint32_t>{0x10, 0x11, 0x12}));
    EXPECT_EQ(groups[0].wmClass, "XTerm");
    EXPECT_EQ(groups[0].wmInstance, "xterm");
    EXPECT_EQ(groups[1].key, "class:Remote");
    EXPECT_EQ(groups[1].windows, (std::vector<std::uint32_t>{0x20, 0x21}));
    EXPECT_FALSE(groups[1].pid.has_value());
    EXPECT_EQ(groups[2].key, "pid:200");
    EXPECT_EQ(groups[3].key, "window:0x40");
    EXPECT_EQ(groups[4].key, "window:0x41");
}

TEST(AppMatchGrouping, RegularWhenSomeNormalWindowStaysInTheTaskbar) {
    const struct {
        const char* what;
        std::vector<AppMatchWindow> windows;
        std::vector<std::uint32_t> taskbarWindows;
    } cases[] = {
        {"a normal window", {window(1, 9, "A")}, {1}},
        {"a tool window only", {window(1, 9, "A", false)}, {}},
        {"a skip-taskbar normal window only", {window(1, 9, "A", true, true)}, {}},
        {"panels beside one normal window",
         {window(1, 9, "A", false, true), window(2, 9, "A"), window(3, 9, "A", true, true)},
         {2}},
    };
    for (const auto& c : cases) {
        const auto groups = AppMatchGrouping::group(c.windows);
        ASSERT_EQ(groups.size(), 1u) << c.what;
        EXPECT_EQ(groups[0].taskbarWindows, c.taskbarWindows) << c.what;
        EXPECT_EQ(groups[0].isRegular(), !c.taskbarWindows.empty()) << c.what;
    }
}

TEST(AppMatchIndex, FindsTheEntryOfAnApplication) {
    AppMatchEntry hidden = entry("zz-hidden-terminal", "Terminal", "Term");
    hidden.isShown = false;
    AppMatchEntry python = entry("python3.11", "Python", {}, {"/usr/bin/python3.11"});
    python.runsInTerminal = true;
    const AppMatchIndex index({
        hidden,
        entry("debian-xterm", "XTerm", "XTerm", {"/usr/bin/xterm"}),
        entry("org.gnome.Terminal", "Terminal", "Term", {"/usr/bin/gnome-terminal"}),
        entry("org.kde.konsole", "Konsole", {}, {"/usr/bin/konsole"}),
        entry("firefox-esr", "Firefox ESR", {}, {"/usr/lib/firefox-esr/firefox-esr"}),
        python,
        entry("tool-a", "Tool A", {}, {"/usr/bin/env"}),
        entry("tool-b", "Tool B", {}, {"/usr/bin/env"}),
        entry("Gimp", "GNU Image Manipulation Program", {}, {}),
    });
    const struct {
        const char* what;
        const char* instance;
        const char* wmClass;
        const char* executable; // nullptr: unknown
        const char* found;      // "-": none
    } cases[] = {
        {"StartupWMClass against the class", "xterm", "XTerm", nullptr, "debian-xterm"},
        {"StartupWMClass against the instance", "XTerm", "Other", nullptr, "debian-xterm"},
        {"StartupWMClass is case-sensitive", "", "term", nullptr, "-"},
        {"a shown entry wins over a hidden one", "", "Term", nullptr, "org.gnome.Terminal"},
        {"class against the id, ignoring case", "", "FIREFOX-ESR", nullptr, "firefox-esr"},
        {"class against the last part of a reverse-DNS id", "konsole", "konsole", nullptr,
         "org.kde.konsole"},
        {"instance against the id", "gimp", "Gimp-2.10", nullptr, "Gimp"},
        {"class against the name", "", "tool a", nullptr, "tool-a"},
        {"the executable", "unknown", "Unknown", "/usr/lib/firefox-esr/firefox-esr", "firefox-esr"},
        {"WM_CLASS before the executable", "", "Konsole", "/usr/bin/xterm", "org.kde.konsole"},
        {"a program two entries share names neither", "", "", "/usr/bin/env", "-"},
        {"an entry stating its class is not every run of its program", "probe", "Probe",
         "/usr/bin/xterm", "-"},
        {"a terminal entry's program owns no window", "", "", "/usr/bin/python3.11", "-"},
        {"nothing known", "", "", nullptr, "-"},
        {"nothing matches", "foo", "Foo", "/usr/bin/foo", "-"},
    };
    for (const auto& c : cases) {
        const auto found = index.match(
            QLatin1String(c.instance), QLatin1String(c.wmClass),
            c.executable ? std::optional(QString::fromLatin1(c.executable)) : std::nullopt);
        EXPECT_EQ(found ? index.entries()[*found].id : u"-"_qs, QLatin1String(c.found)) << c.what;
    }
}
