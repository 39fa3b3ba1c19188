// SPDX-License-Identifier: GPL-3.0-or-later
// Global hot keys on a real X server, through the real windows manager, panels, store, hot key
// manager and X11 backend: chords pressed and held with xdotool under auto-repeat, and contested
// by another X client.
#include "backends/x11/MacKeyCodeMap.h"
#include "integration/support/PanelFixture.h"
#include "integration/support/XClient.h"
#include "runtime/KeyChordFormatter.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t keyK = 40;
constexpr std::uint32_t keyJ = 38;
constexpr std::uint32_t keyL = 37;
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t controlOption = 0x1000 | 0x800;
constexpr xcb_keycode_t xKeyK = 45;
constexpr xcb_keycode_t xKeyJ = 44;
constexpr std::uint16_t xSuper = XCB_MOD_MASK_4;
constexpr std::uint16_t xControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void xdotool(const QStringList& arguments) {
    ASSERT_TRUE(Session::xdotool(arguments)) << arguments.join(u' ').toStdString();
}

void press(const QString& chord) {
    xdotool({u"key"_qs, u"--clearmodifiers"_qs, chord});
}

// Counts the presses of one key that the server sends us, repeats included.
class KeyPressCounter final : public QAbstractNativeEventFilter {
public:
    explicit KeyPressCounter(xcb_keycode_t keycode) : keycode_(keycode) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~KeyPressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<const xcb_key_press_event_t*>(message);
        if ((event->response_type & ~0x80) == XCB_KEY_PRESS && event->detail == keycode_)
            ++count;
        return false;
    }
    int count = 0;

private:
    xcb_keycode_t keycode_;
};

class HotKeyTest : public PanelFixture {
protected:
    QUuid addDock(std::uint32_t keyCode, std::uint32_t modifiers) {
        const QUuid id = PanelFixture::addDock(QStringLiteral("Keyed"), {100, 200, 180, 300}).id;
        change(id, [&](Dock& dock) { dock.hotKey = {keyCode, modifiers}; });
        return id;
    }
    void start() {
        PanelFixture::start();
        visibility = store.docks.sink([this](const std::vector<Dock>& docks) {
            for (const Dock& dock : docks) {
                if (const auto seen = visible.find(dock.id);
                    seen != visible.end() && seen->second != dock.isVisible)
                    ++toggles[dock.id];
                visible[dock.id] = dock.isVisible;
            }
        });
    }
    bool waitForToggles(const QUuid& id, int count) {
        return Session::waitUntil([&] { return toggles[id] >= count; });
    }

    std::map<QUuid, bool> visible;
    std::map<QUuid, int> toggles;
    Subscription visibility;
};
} // namespace

TEST_F(HotKeyTest, ThePressedChordTogglesItsDockOnlyWhateverTheLocks) {
    const QUuid a = addDock(keyK, cmd);
    const QUuid b = addDock(keyK, controlOption);
    start();
    int expected = 0;
    for (const char* lock : {"", "Num_Lock", "Caps_Lock", "Num_Lock", "Caps_Lock"}) {
        if (*lock)
            press(lock);
        press("super+k");
        EXPECT_TRUE(waitForToggles(a, ++expected)) << "after " << lock;
    }
    press("ctrl+alt+k");
    EXPECT_TRUE(waitForToggles(b, 1));
    EXPECT_EQ(toggles[a], expected);
}

TEST_F(HotKeyTest, HoldingAChordTogglesItsDockOnce) {
    // Every toggle changes the store, and every change registers the dock's chord again: the
    // repeats of the held key must still count as the one press they are.
    ASSERT_EQ(Session::run("xset", {"r", "on", "r", "rate", "250", "30"}).exitCode, 0);
    const QUuid a = addDock(keyK, cmd);
    start();
    KeyPressCounter keyPresses(xKeyK);
    xdotool({u"keydown"_qs, u"super+k"_qs});
    Session::pause(2s);
    xdotool({u"keyup"_qs, u"super+k"_qs});
    Session::pause(200ms);
    EXPECT_GE(keyPresses.count, 20) << "the server did not repeat the held key";
    EXPECT_EQ(toggles[a], 1);
    // Let go and pressed again: a press of its own.
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, 2));
}

TEST_F(HotKeyTest, AnotherClientCanTakeAChordOnlyOnceItIsGivenUp) {
    const QUuid a = addDock(keyK, cmd);
    const QUuid b = addDock(keyJ, controlOption);
    const QUuid c = addDock(keyK, controlOption);
    start();
    std::atomic<bool> done = false;
    std::atomic<int> attempts = 0;
    std::atomic<int> taken = 0;
    std::thread other([&] {
        XClient client;
        while (!done) {
            ++attempts;
            if (client.grab(xKeyK, xSuper)) {
                ++taken;
                client.ungrab(xKeyK, xSuper);
            }
        }
    });
    for (int i = 0; i < 300; ++i) {
        change(a, [i](Dock& dock) { dock.name = QString::number(i); });
        QCoreApplication::processEvents();
    }
    done = true;
    other.join();
    EXPECT_EQ(taken, 0) << "of " << attempts << " attempts while the store changed";
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, 1));

    // Given up with its dock or on its own, a chord is free by the next pass; a kept one is not.
    store.removeDock(a);
    change(b, [](Dock& dock) { dock.hotKey = {}; });
    QCoreApplication::processEvents();
    XClient client;
    EXPECT_TRUE(client.grab(xKeyJ, xControlAlt));
    EXPECT_TRUE(client.grab(xKeyK, xSuper));
    EXPECT_FALSE(client.grab(xKeyK, xControlAlt));
    press("ctrl+alt+k");
    EXPECT_TRUE(waitForToggles(c, 1));
}

TEST_F(HotKeyTest, AChordHeldByAnotherClientIsRefusedUntilItIsFree) {
    XClient other;
    // The other client holds ctrl+alt+J with Caps Lock only, so our plain and Num Lock variants
    // would go through: they must be given back.
    ASSERT_TRUE(other.grab(xKeyJ, xControlAlt | XCB_MOD_MASK_LOCK));
    const QUuid a = addDock(keyJ, controlOption);
    const QUuid b = addDock(keyK, cmd);
    start();
    // Our own second grab of a held chord is refused too, and chords without an X equivalent
    // register nothing: key code 10 has no place here, 0x400 (Caps Lock) is no chord modifier.
    EXPECT_FALSE(hotKeyBackend.grab(keyK, cmd, 91, {}));
    EXPECT_FALSE(hotKeyBackend.grab(10, cmd, 92, {}));
    EXPECT_FALSE(hotKeyBackend.grab(keyL, cmd | 0x400, 93, {}));
    EXPECT_FALSE(hotKeyBackend.grab(500, cmd, 94, {}));
    EXPECT_TRUE(other.grab(xKeyJ, xControlAlt));
    other.ungrab(xKeyJ, xControlAlt);
    press("ctrl+alt+j");
    press("super+k");
    ASSERT_TRUE(waitForToggles(b, 1));
    EXPECT_EQ(toggles[a], 0);

    // Once the other client lets go, the dock's next registration takes the chord.
    other.ungrab(xKeyJ, xControlAlt | XCB_MOD_MASK_LOCK);
    change(a, [](Dock& dock) { dock.name = u"again"_qs; });
    press("ctrl+alt+j");
    EXPECT_TRUE(waitForToggles(a, 1));
}

TEST_F(HotKeyTest, KeepsFiringWhenNumLockMovesToAnotherModifier) {
    const QUuid a = addDock(keyK, cmd);
    start();
    ASSERT_EQ(Session::run("xmodmap", {"-e", "clear mod2", "-e", "add mod3 = Num_Lock"}).exitCode,
              0);
    press("Num_Lock");
    // The keymap change reaches us asynchronously; until the chord is grabbed again with the
    // new modifier, presses go by unseen.
    const bool fired = Session::waitUntil([&] {
        press("super+k");
        return toggles[a] > 0;
    });
    // The toggle registered the regrabbed chord again; it still fires.
    const int before = toggles[a];
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, before + 1));
    press("Num_Lock");
    Session::run("xmodmap", {"-e", "clear mod3", "-e", "add mod2 = Num_Lock"});
    EXPECT_TRUE(fired);
}

TEST(MacKeyCodeMapTest, LandsOnTheKeysTheServerNamesSoAndBack) {
    // macOS code -> a keysym the server's US keymap has on the translated keycode: letters and
    // digits as the chord formatter names them, the other keys here.
    // clang-format off
    std::map<std::uint32_t, xcb_keysym_t> expected = {
        {24, '='}, {27, '-'}, {30, ']'}, {33, '['}, {39, '\''}, {41, ';'}, {42, '\\'},
        {43, ','}, {44, '/'}, {47, '.'}, {50, '`'},
        {36, 0xff0d}, {48, 0xff09}, {49, ' '}, {51, 0xff08}, {53, 0xff1b},
        {122, 0xffbe}, {120, 0xffbf}, {99, 0xffc0}, {118, 0xffc1}, {96, 0xffc2}, {97, 0xffc3},
        {98, 0xffc4}, {100, 0xffc5}, {101, 0xffc6}, {109, 0xffc7}, {103, 0xffc8}, {111, 0xffc9},
        // The US keymap names F13-F18 and F20 as launcher keys (F19 has nothing).
        {105, 0x1008ff81}, {107, 0x1008ff45}, {113, 0x1008ff46}, {106, 0x1008ff47},
        {64, 0x1008ff48}, {79, 0x1008ff49}, {90, 0x1008ffb2},
        {114, 0xff63}, {115, 0xff50}, {116, 0xff55}, {117, 0xffff}, {119, 0xff57}, {121, 0xff56},
        {123, 0xff51}, {124, 0xff53}, {125, 0xff54}, {126, 0xff52},
        {65, 0xffae}, {67, 0xffaa}, {69, 0xffab}, {71, 0xff7f}, {75, 0xffaf}, {76, 0xff8d},
        {78, 0xffad}, {81, 0xffbd}, {82, 0xffb0}, {83, 0xffb1}, {84, 0xffb2}, {85, 0xffb3},
        {86, 0xffb4}, {87, 0xffb5}, {88, 0xffb6}, {89, 0xffb7}, {91, 0xffb8}, {92, 0xffb9},
        {72, 0x1008ff13}, {73, 0x1008ff11}, {74, 0x1008ff12},
    };
    // clang-format on
    for (std::uint32_t mac = 0; mac < 256; ++mac) {
        if (const QString name = KeyChordFormatter::keyName(mac);
            name.size() == 1 && name[0].isLetterOrNumber())
            expected[mac] = name[0].toLower().unicode();
        if (const auto x = MacKeyCodeMap::xKeycode(mac)) {
            EXPECT_EQ(MacKeyCodeMap::macKeyCode(*x), mac);
        }
    }
    ASSERT_EQ(expected.size(), 36u + 66u) << "the letters and digits, and the keys above";
    XClient client;
    for (const auto& [mac, keysym] : expected) {
        const auto x = MacKeyCodeMap::xKeycode(mac);
        ASSERT_TRUE(x) << mac;
        const auto syms = client.keysyms(*x);
        EXPECT_NE(std::find(syms.begin(), syms.end(), keysym), syms.end())
            << "macOS key " << mac << " at X keycode " << int(*x);
    }
}
