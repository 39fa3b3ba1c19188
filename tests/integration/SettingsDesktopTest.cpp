// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/XdgAutostart.h"
#include "backends/x11/X11KeyCodeTranslator.h"
#include "integration/support/PanelFixture.h"
#include "views/HotKeyRecorderView.h"
#include "views/PreferencesView.h"
#include "views/SettingsWindow.h"

#include <QCheckBox>
#include <QFile>
#include <QTest>

#include <gio/gdesktopappinfo.h>

#include <gtest/gtest.h>

// The settings window against the real X server: the recorder hears keys that X delivers to
// it while the docks' own grabs are given up, and the login switch writes a real autostart
// entry.
namespace {

constexpr std::uint32_t ctrlOpt = HotKeyBinding::controlKey | HotKeyBinding::optionKey;
constexpr std::uint32_t keyK = 40, keyJ = 38, keyL = 37;

void press(const char* chord) {
    ASSERT_EQ(Session::run("xdotool", {"key", "--clearmodifiers", chord}).exitCode, 0) << chord;
}

struct SettingsDesktopTest : PanelFixture {
    SettingsDesktopTest() {
        for (const auto& [name, keyCode] : {std::pair{"A", keyK}, {"B", keyJ}})
            change(addDock(QString::fromLatin1(name), {100, 200, 180, 300}).id,
                   [keyCode](Dock& dock) {
                       dock.hotKey = {keyCode, ctrlOpt};
                   });
        start();
    }
    ~SettingsDesktopTest() override { window.reset(); }
    void openSettings() {
        window = std::make_unique<SettingsWindow>(
            PreferencesView::Services{store, scheduler, hotKeys, keyCodes, launchAtLogin},
            fakes.windowActivation);
        window->present({});
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000));
    }
    const Dock& dock(std::size_t index) const { return (*store.docks)[index]; }

    X11KeyCodeTranslator keyCodes;
    XdgAutostart autostart;
    LaunchAtLogin launchAtLogin{autostart, fakes.systemLog};
    std::unique_ptr<SettingsWindow> window;
};

} // namespace

TEST_F(SettingsDesktopTest, RecordingAChordAnotherDockHoldsCapturesItAndBothHotKeysWorkAfter) {
    openSettings();
    window->preferences().select(dock(0).id);
    QCoreApplication::processEvents();
    auto* recorder = window->findChild<HotKeyRecorderView*>(QStringLiteral("hotKey"));
    ASSERT_TRUE(recorder);
    const auto record = [&](const char* chord, HotKeyBinding expected) {
        QTest::mouseClick(recorder, Qt::LeftButton, {}, QPoint(10, 12));
        ASSERT_TRUE(recorder->isRecording());
        press(chord);
        EXPECT_TRUE(Session::waitUntil([&] { return dock(0).hotKey == expected; })) << chord;
    };

    // B's chord reaches the recorder instead of toggling B.
    record("ctrl+alt+j", {keyJ, ctrlOpt});
    Session::pause(std::chrono::milliseconds(200));
    EXPECT_TRUE(dock(1).isVisible);
    EXPECT_TRUE(dock(0).isVisible);

    // B kept its chord; A, given a free one, has a working hot key again.
    record("ctrl+alt+l", {keyL, ctrlOpt});
    press("ctrl+alt+j");
    EXPECT_TRUE(Session::waitUntil([&] { return !dock(1).isVisible; }));
    press("ctrl+alt+l");
    EXPECT_TRUE(Session::waitUntil([&] { return !dock(0).isVisible; }));
}

TEST_F(SettingsDesktopTest, TheSwitchWritesAnAutostartEntryOfThisProgramAndRemovesIt) {
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + u"/autostart"_qs;
    ASSERT_EQ(autostart.entryPath(), folder + u"/moorline.desktop"_qs);
    ASSERT_FALSE(QFile::exists(folder));
    openSettings();
    QCheckBox* toggle = window->findChild<QCheckBox*>(QStringLiteral("launchAtLogin"));
    ASSERT_TRUE(toggle && !toggle->isChecked());
    toggle->click();
    ASSERT_TRUE(QFile::exists(autostart.entryPath()));
    EXPECT_TRUE(toggle->isChecked());
    Session::expectValidEntry(autostart.entryPath());
    // GIO, which session managers use, reads the entry back as this very program.
    GDesktopAppInfo* info =
        g_desktop_app_info_new_from_filename(QFile::encodeName(folder + u"/moorline.desktop"_qs));
    ASSERT_TRUE(info);
    EXPECT_EQ(QString::fromLocal8Bit(g_app_info_get_executable(G_APP_INFO(info))),
              QCoreApplication::applicationFilePath());
    EXPECT_STREQ(g_app_info_get_name(G_APP_INFO(info)), "Moorline");
    g_object_unref(info);
    toggle->click();
    EXPECT_FALSE(QFile::exists(autostart.entryPath()));
    EXPECT_FALSE(toggle->isChecked());

    // Removed by another tool: the switch says so the next time the window is shown.
    toggle->click();
    QFile::remove(autostart.entryPath());
    window->close();
    window->present({});
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(fakes.systemLog.lines.isEmpty());
}
