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

struct RegularCase {
    const char* what;
    std::vector<AppMatchWindow> windows;
    std::vector<std::uint32_t> taskbarWindows;
};

void PrintTo(const RegularCase& c, std::ostream* out) {
    *out << c.what;
}

class AppMatchRegularTest : public ::testing::TestWithParam<RegularCase> {};

TEST_P(AppMatchRegularTest, RegularWhenSomeNormalWindowStaysInTheTaskbar) {
    const RegularCase& c = GetParam();
    const auto groups = AppMatchGrouping::group(c.windows);
    ASSERT_EQ(groups.size(), 1u) << c.what;
    EXPECT_EQ(groups[0].taskbarWindows, c.taskbarWindows) << c.what;
    EXPECT_EQ(groups[0].isRegular(), !c.taskbarWindows.empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, AppMatchRegularTest,
    ::testing::Values(RegularCase{"a normal window", {window(1, 9, "A")}, {1}},
                      RegularCase{"a tool window only", {window(1, 9, "A", false)}, {}},
                      RegularCase{
                          "a skip-taskbar normal window only", {window(1, 9, "A", true, true)}, {}},
                      RegularCase{"panels beside one normal window",
                                  {window(1, 9, "A", false, true), window(2, 9, "A"),
                                   window(3, 9, "A", true, true)},
                                  {2}}));

struct MatchCase {
    const char* what;
    QString instance;
    QString wmClass;
    std::optional<QString> executable;
    std::optional<QString> expectedId;
};

void PrintTo(const MatchCase& c, std::ostream* out) {
    *out << c.what;
}

class AppMatchIndexTest : public ::testing::TestWithParam<MatchCase> {
protected:
    static AppMatchIndex makeIndex() {
        AppMatchEntry hidden = entry("zz-hidden-terminal", "Terminal", "Term");
        hidden.isShown = false;
        AppMatchEntry python = entry("python3.11", "Python", {}, {"/usr/bin/python3.11"});
        python.runsInTerminal = true;
        return AppMatchIndex({
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
    }
};

TEST_P(AppMatchIndexTest, FindsTheEntryOfAnApplication) {
    const MatchCase& c = GetParam();
    const AppMatchIndex index = makeIndex();
    const auto found = index.match(c.instance, c.wmClass, c.executable);
    if (!c.expectedId) {
        EXPECT_FALSE(found.has_value())
            << c.what << ": " << index.entries()[*found].id.toStdString();
        return;
    }
    ASSERT_TRUE(found.has_value()) << c.what;
    EXPECT_EQ(index.entries()[*found].id, *c.expectedId) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AppMatchIndexTest,
    ::testing::Values(
        MatchCase{"StartupWMClass against the class", "xterm", "XTerm", {}, "debian-xterm"},
        MatchCase{"StartupWMClass against the instance", "XTerm", "Other", {}, "debian-xterm"},
        MatchCase{"StartupWMClass is case-sensitive", "", "term", {}, std::nullopt},
        MatchCase{"a shown entry wins over a hidden one", "", "Term", {}, "org.gnome.Terminal"},
        MatchCase{"class against the id, ignoring case", "", "FIREFOX-ESR", {}, "firefox-esr"},
        MatchCase{"class against the last part of a reverse-DNS id",
                  "konsole",
                  "konsole",
                  {},
                  "org.kde.konsole"},
        MatchCase{"instance against the id", "gimp", "Gimp-2.10", {}, "Gimp"},
        MatchCase{"class against the name", "", "tool a", {}, "tool-a"},
        MatchCase{"the executable", "unknown", "Unknown", "/usr/lib/firefox-esr/firefox-esr",
                  "firefox-esr"},
        MatchCase{"WM_CLASS before the executable", "", "Konsole", "/usr/bin/xterm",
                  "org.kde.konsole"},
        MatchCase{"a program two entries share names neither", "", "", "/usr/bin/env",
                  std::nullopt},
        MatchCase{"an entry stating its class is not every run of its program", "probe", "Probe",
                  "/usr/bin/xterm", std::nullopt},
        MatchCase{"a terminal entry's program owns no window", "", "", "/usr/bin/python3.11",
                  std::nullopt},
        MatchCase{"nothing known", "", "", std::nullopt, std::nullopt},
        MatchCase{"nothing matches", "foo", "Foo", "/usr/bin/foo", std::nullopt}));
