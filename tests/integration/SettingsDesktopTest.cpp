// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/XdgAutostart.h"
#include "backends/x11/QtScreens.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "backends/x11/X11KeyCodeTranslator.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "fakes/FakeServices.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "views/HotKeyRecorderView.h"
#include "views/PreferencesView.h"
#include "views/SettingsWindow.h"
#include "windows/DockPanelWindowFactory.h"
#include "windows/DockWindowsManager.h"

#include <QCheckBox>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

// The settings window against the real X server: the recorder hears keys that X delivers to
// it while the docks' own grabs are given up, and the login switch writes a real autostart
// entry.
namespace {

constexpr std::uint32_t ctrlOpt = HotKeyBinding::controlKey | HotKeyBinding::optionKey;
constexpr std::uint32_t keyK = 40, keyJ = 38, keyL = 37;

Dock dockWithHotKey(const QString& name, std::uint32_t keyCode) {
    Dock dock = Dock::makeDefault(DockKind::clippings, name);
    dock.hotKey = {keyCode, ctrlOpt};
    return dock;
}

void press(const char* chord) {
    ASSERT_EQ(Session::run("xdotool", {"key", "--clearmodifiers", chord}).exitCode, 0) << chord;
}

struct SettingsDesktopTest : ::testing::Test {
    ~SettingsDesktopTest() override {
        window.reset();
        manager.reset();
        QCoreApplication::processEvents();
    }
    void openSettings() {
        window = std::make_unique<SettingsWindow>(
            PreferencesView::Services{fakes.store, fakes.scheduler, hotKeys, keyCodes,
                                      launchAtLogin},
            fakes.windowActivation);
        window->present({});
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000));
    }
    const Dock& dock(std::size_t index) const { return (*fakes.store.docks)[index]; }

    FakeServicesOn<QtScheduler> fakes{
        {dockWithHotKey(QStringLiteral("A"), keyK), dockWithHotKey(QStringLiteral("B"), keyJ)}};
    X11HotKeyBackend hotKeyBackend{fakes.scheduler};
    HotKeyManager hotKeys{hotKeyBackend, fakes.scheduler};
    X11KeyCodeTranslator keyCodes;
    XdgAutostart autostart;
    LaunchAtLogin launchAtLogin{autostart, fakes.systemLog};
    X11WindowHints hints;
    DockPanelWindowFactory panelFactory{hints, fakes.contentServices()};
    QtScreens screens;
    XInputPointerMonitor pointerMonitor;
    std::unique_ptr<DockWindowsManager> manager =
        std::make_unique<DockWindowsManager>(DockWindowDependencies{
            fakes.store, hotKeys, fakes.scheduler, panelFactory, screens, pointerMonitor});
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
    QTest::qWait(200);
    EXPECT_TRUE(dock(1).isVisible);
    EXPECT_TRUE(dock(0).isVisible);

    // B kept its chord; A, given a free one, has a working hot key again.
    record("ctrl+alt+l", {keyL, ctrlOpt});
    press("ctrl+alt+j");
    EXPECT_TRUE(Session::waitUntil([&] { return !dock(1).isVisible; }));
    press("ctrl+alt+l");
    EXPECT_TRUE(Session::waitUntil([&] { return !dock(0).isVisible; }));
}

TEST_F(SettingsDesktopTest, TurningTheSwitchOnWritesAnAutostartEntryTheValidatorAccepts) {
    openSettings();
    QCheckBox* toggle = window->findChild<QCheckBox*>(QStringLiteral("launchAtLogin"));
    ASSERT_TRUE(toggle && !toggle->isChecked());
    toggle->click();
    ASSERT_TRUE(QFile::exists(autostart.entryPath()));
    EXPECT_TRUE(toggle->isChecked());
    const auto result =
        Session::run(QStringLiteral("desktop-file-validate"), {autostart.entryPath()});
    EXPECT_EQ(result.exitCode, 0) << result.out.constData() << result.err.constData();
    EXPECT_FALSE(result.out.contains("error") || result.out.contains("warning"))
        << result.out.constData();

    // Removed by another tool: the switch says so the next time the window is shown.
    QFile::remove(autostart.entryPath());
    window->close();
    window->present({});
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_TRUE(fakes.systemLog.lines.isEmpty());
}
