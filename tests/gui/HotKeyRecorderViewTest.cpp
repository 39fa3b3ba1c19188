// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/HotKeyRecorderView.h"
#include "gui/GuiTestSupport.h"
#include "views/PreferencesView.h"
#include "views/SettingsWindow.h"

#include <QLineEdit>
#include <QSignalSpy>

// The recorder in the settings window, fed key events as X delivers them: the key's X keycode
// as native scan code, translated by the fake's US keyboard.
namespace {

using Keys = FakeKeyCodeTranslator;
constexpr std::uint32_t shift = HotKeyBinding::shiftKey, control = HotKeyBinding::controlKey,
                        option = HotKeyBinding::optionKey, command = HotKeyBinding::cmdKey;

std::vector<Dock> twoDocks() {
    Dock a = Dock::makeDefault(DockKind::items, QStringLiteral("A"));
    a.hotKey = {40, command};
    Dock b = Dock::makeDefault(DockKind::items, QStringLiteral("B"));
    b.hotKey = {38, control | option};
    return {a, b};
}

struct HotKeyRecorderViewTest : SettingsFixture {
    HotKeyRecorderViewTest() : SettingsFixture(twoDocks()) {
        for (const Dock& dock : *fakes.store.docks)
            fakes.hotKeys.registerHotKey(dock.id, *dock.hotKey.keyCode, *dock.hotKey.modifiers,
                                         [] {});
        window.present({});
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.preferences().select(stored().id);
        settle();
        recorder = window.findChild<HotKeyRecorderView*>(QStringLiteral("hotKey"));
    }
    void click(int x) { QTest::mouseClick(recorder, Qt::LeftButton, {}, QPoint(x, 12)); }
    void startRecording() {
        click(10);
        ASSERT_TRUE(recorder->isRecording());
    }

    SettingsWindow window{fakes.preferencesServices(), fakes.windowActivation};
    HotKeyRecorderView* recorder = nullptr;
    QSignalSpy quits{&window, &SettingsWindow::quitRequested};
};

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    std::uint32_t scanCode;
    HotKeyBinding expected;
};

} // namespace

TEST_F(HotKeyRecorderViewTest, RecordsTheNextChordShortcutsAndTabIncludedOnlyWhileRecording) {
    const KeyCase cases[] = {
        {"shift-K", Qt::Key_K, Qt::ShiftModifier, Keys::xK, {40, shift}},
        {"shift-tab", Qt::Key_Backtab, Qt::ShiftModifier, Keys::xTab, {48, shift}},
        {"control-tab", Qt::Key_Tab, Qt::ControlModifier, Keys::xTab, {48, control}},
        {"control-W (closes the window)", Qt::Key_W, Qt::ControlModifier, Keys::xW, {13, control}},
        {"control-Q (quits)", Qt::Key_Q, Qt::ControlModifier, Keys::xQ, {12, control}},
        {"option-escape", Qt::Key_Escape, Qt::AltModifier, Keys::xEscape, {53, option}},
        {"super-space", Qt::Key_Space, Qt::MetaModifier, Keys::xSpace, {49, command}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        startRecording();
        EXPECT_EQ(recorder->label(), QStringLiteral("Press keys\u2026"));
        pressKey(recorder, c.key, c.modifiers, c.scanCode);
        EXPECT_EQ(stored().hotKey, c.expected);
        EXPECT_FALSE(recorder->isRecording());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(quits.count(), 0);
        EXPECT_TRUE(recorder->hasFocus());
        EXPECT_EQ(writesAfterDelay(), 1);
    }
    settle();
    EXPECT_EQ(recorder->label(), QStringLiteral("\u2318Space"));
    // What the recording kept from happening: Ctrl+W on the focused recorder closes the window.
    pressKey(recorder, Qt::Key_W, Qt::ControlModifier, Keys::xW);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(stored().hotKey, (HotKeyBinding{49, command}));
}

TEST_F(HotKeyRecorderViewTest, IgnoresModifiersAloneBareKeysAndKeysWithoutACode) {
    startRecording();
    const KeyCase ignored[] = {
        {"shift alone", Qt::Key_Shift, Qt::ShiftModifier, Keys::xShift, {}},
        {"K alone", Qt::Key_K, Qt::NoModifier, Keys::xK, {}},
        {"tab alone", Qt::Key_Tab, Qt::NoModifier, Keys::xTab, {}},
        {"a key a Mac lacks", Qt::Key_Print, Qt::ControlModifier, 107, {}},
    };
    for (const KeyCase& c : ignored) {
        SCOPED_TRACE(c.name);
        pressKey(recorder, c.key, c.modifiers, c.scanCode);
        EXPECT_TRUE(recorder->isRecording());
        EXPECT_TRUE(recorder->hasFocus());
    }
    EXPECT_EQ(stored().hotKey, (HotKeyBinding{40, command}));
    EXPECT_EQ(writesAfterDelay(), 0);
}

TEST_F(HotKeyRecorderViewTest, OurGrabsAreGoneOnlyWhileARecorderHasTheFocus) {
    ASSERT_EQ(fakes.hotKeyBackend.live().size(), 2u);
    startRecording();
    EXPECT_TRUE(fakes.hotKeyBackend.live().empty());
    window.findChild<QLineEdit*>(QStringLiteral("name"))->setFocus();
    EXPECT_EQ(fakes.hotKeyBackend.live().size(), 2u);
    EXPECT_TRUE(recorder->isRecording());
    recorder->setFocus();
    EXPECT_TRUE(fakes.hotKeyBackend.live().empty());
    pressKey(recorder, Qt::Key_K, Qt::ShiftModifier, Keys::xK);
    EXPECT_EQ(fakes.hotKeyBackend.live().size(), 2u);

    startRecording();
    window.close();
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(fakes.hotKeyBackend.live().size(), 2u);
}

TEST_F(HotKeyRecorderViewTest, TheClearZoneIsTheLastTwentyPoints) {
    EXPECT_EQ(recorder->label(), QStringLiteral("\u2318K"));
    click(recorder->width() - 21);
    EXPECT_TRUE(recorder->isRecording());
    click(recorder->width() - 20);
    EXPECT_FALSE(recorder->isRecording());
    EXPECT_EQ(stored().hotKey, HotKeyBinding{});
    EXPECT_EQ(recorder->label(), QStringLiteral("Click to record"));
    // With nothing to clear, the right end starts recording too.
    click(recorder->width() - 1);
    EXPECT_TRUE(recorder->isRecording());
}
