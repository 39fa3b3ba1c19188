// Global hot keys on a real X server, through the real windows manager, store, hot key manager
// and X11 backend (the panels are fakes): chords pressed and held with xdotool under auto-repeat,
// and contested by another X client.
#include "backends/x11/MacKeyCodeMap.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "fakes/FakeDockPanelFactory.h"
#include "fakes/FakePointerMonitor.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/HotKeyManager.h"
#include "store/DockStore.h"
#include "windows/DockWindowsManager.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t keyK = 40;
constexpr std::uint32_t keyJ = 38;
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t controlOption = 0x1000 | 0x800;
constexpr xcb_keycode_t xKeyK = 45;
constexpr xcb_keycode_t xKeyJ = 44;
constexpr std::uint16_t xSuper = XCB_MOD_MASK_4;
constexpr std::uint16_t xControlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

void xdotool(const QStringList& arguments) {
    ASSERT_EQ(Desktop::run(QStringLiteral("xdotool"), arguments).exitCode, 0)
        << arguments.join(' ').toStdString();
}

void press(const QString& chord) {
    xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), chord});
}

// Another X client, to hold chords against us.
class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~OtherClient() { xcb_disconnect(connection_); }
    bool grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        const auto cookie = xcb_grab_key_checked(connection_, 0, root_, modifiers, keycode,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        xcb_generic_error_t* error = xcb_request_check(connection_, cookie);
        std::free(error);
        return error == nullptr;
    }
    // Waits for the server, so that our next request finds the chord free.
    void ungrab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        std::free(xcb_request_check(
            connection_, xcb_ungrab_key_checked(connection_, keycode, root_, modifiers)));
    }
    // The keysyms the server has at a keycode, every level.
    std::vector<xcb_keysym_t> keysyms(xcb_keycode_t keycode) {
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, keycode, 1), nullptr);
        std::vector<xcb_keysym_t> result;
        if (reply) {
            const auto* syms = xcb_get_keyboard_mapping_keysyms(reply);
            result.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
            std::free(reply);
        }
        return result;
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
};

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

class HotKeyTest : public ::testing::Test {
protected:
    ~HotKeyTest() override {
        windows.reset();
        QCoreApplication::processEvents();
    }

    QUuid addDock(std::uint32_t keyCode, std::uint32_t modifiers) {
        store.addDock(DockKind::items);
        Dock dock = store.docks->back();
        dock.hotKey = {keyCode, modifiers};
        store.update(dock);
        return dock.id;
    }
    void start() {
        windows = std::make_unique<DockWindowsManager>(
            services, DockWindowDependencies{panels, screens, pointer});
        visibility = store.docks.sink([this](const std::vector<Dock>& docks) {
            for (const Dock& dock : docks) {
                if (const auto seen = visible.find(dock.id);
                    seen != visible.end() && seen->second != dock.isVisible)
                    ++toggles[dock.id];
                visible[dock.id] = dock.isVisible;
            }
        });
    }
    void change(const QUuid& id, const std::function<void(Dock&)>& edit) {
        Dock dock = *store.dock(id);
        edit(dock);
        store.update(dock);
    }
    bool waitForToggles(const QUuid& id, int count) {
        return Desktop::waitUntil([&] { return toggles[id] >= count; });
    }
    // Lets the event loop run for a while: the time a key is held.
    static void hold(std::chrono::milliseconds time) {
        Desktop::waitUntil([] { return false; }, time);
    }

    FakeServicesOn<QtScheduler> fakes;
    DockStore& store = fakes.store;
    X11HotKeyBackend backend;
    HotKeyManager hotKeys{backend, fakes.scheduler};
    DockViewServices services = fakes.servicesWith(hotKeys);
    FakeDockPanelFactory panels;
    FakeScreens screens;
    FakePointerMonitor pointer{&screens};
    std::unique_ptr<DockWindowsManager> windows;
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
    ASSERT_EQ(Desktop::run("xset", {"r", "on", "r", "rate", "250", "30"}).exitCode, 0);
    const QUuid a = addDock(keyK, cmd);
    start();
    KeyPressCounter keyPresses(xKeyK);
    xdotool({QStringLiteral("keydown"), QStringLiteral("super+k")});
    hold(2s);
    xdotool({QStringLiteral("keyup"), QStringLiteral("super+k")});
    hold(200ms);
    EXPECT_GE(keyPresses.count, 20) << "the server did not repeat the held key";
    EXPECT_EQ(toggles[a], 1);
    // Let go and pressed again: a press of its own.
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, 2));
}

TEST_F(HotKeyTest, AnotherClientCannotTakeAChordWhileTheStoreChanges) {
    const QUuid a = addDock(keyK, cmd);
    start();
    std::atomic<bool> done = false;
    std::atomic<int> attempts = 0;
    std::atomic<int> taken = 0;
    std::thread other([&] {
        OtherClient client;
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
    EXPECT_EQ(taken, 0) << "of " << attempts << " attempts";
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, 1));
}

TEST_F(HotKeyTest, AChordGivenUpIsFreeForOthersByTheNextPass) {
    const QUuid a = addDock(keyJ, controlOption);
    const QUuid b = addDock(keyK, cmd);
    const QUuid c = addDock(keyK, controlOption);
    start();
    change(a, [](Dock& dock) { dock.hotKey = {}; });
    store.removeDock(b);
    QCoreApplication::processEvents();
    OtherClient other;
    EXPECT_TRUE(other.grab(xKeyJ, xControlAlt));
    EXPECT_TRUE(other.grab(xKeyK, xSuper));
    // The dock that kept its chord still has it.
    EXPECT_FALSE(other.grab(xKeyK, xControlAlt));
    press("ctrl+alt+k");
    EXPECT_TRUE(waitForToggles(c, 1));
}

TEST_F(HotKeyTest, AChordHeldByAnotherClientIsRefusedUntilItIsFree) {
    OtherClient other;
    // The other client holds ctrl+alt+J with Caps Lock only, so our plain and Num Lock variants
    // would go through: they must be given back.
    ASSERT_TRUE(other.grab(xKeyJ, xControlAlt | XCB_MOD_MASK_LOCK));
    const QUuid a = addDock(keyJ, controlOption);
    const QUuid b = addDock(keyK, cmd);
    start();
    EXPECT_TRUE(other.grab(xKeyJ, xControlAlt));
    other.ungrab(xKeyJ, xControlAlt);
    press("ctrl+alt+j");
    press("super+k");
    ASSERT_TRUE(waitForToggles(b, 1));
    EXPECT_EQ(toggles[a], 0);

    // Once the other client lets go, the dock's next registration takes the chord.
    other.ungrab(xKeyJ, xControlAlt | XCB_MOD_MASK_LOCK);
    change(a, [](Dock& dock) { dock.name = QStringLiteral("again"); });
    press("ctrl+alt+j");
    EXPECT_TRUE(waitForToggles(a, 1));
}

TEST_F(HotKeyTest, KeepsFiringWhenNumLockMovesToAnotherModifier) {
    const QUuid a = addDock(keyK, cmd);
    start();
    ASSERT_EQ(Desktop::run("xmodmap", {"-e", "clear mod2", "-e", "add mod3 = Num_Lock"}).exitCode,
              0);
    press("Num_Lock");
    // The keymap change reaches us asynchronously; until the chord is grabbed again with the
    // new modifier, presses go by unseen.
    const bool fired = Desktop::waitUntil([&] {
        press("super+k");
        return toggles[a] > 0;
    });
    // The toggle registered the regrabbed chord again; it still fires.
    const int before = toggles[a];
    press("super+k");
    EXPECT_TRUE(waitForToggles(a, before + 1));
    press("Num_Lock");
    Desktop::run("xmodmap", {"-e", "clear mod3", "-e", "add mod2 = Num_Lock"});
    EXPECT_TRUE(fired);
}

TEST_F(HotKeyTest, ChordsWithoutAnXEquivalentRegisterNothing) {
    // Key code 10 has no place here; 0x400 (Caps Lock) is not a chord modifier.
    EXPECT_FALSE(backend.grab(10, cmd, 1));
    EXPECT_FALSE(backend.grab(keyK, cmd | 0x400, 2));
    EXPECT_FALSE(backend.grab(500, cmd, 3));
    // One chord, one grab: a second grab of a held chord is refused.
    EXPECT_TRUE(backend.grab(keyK, cmd, 4));
    EXPECT_FALSE(backend.grab(keyK, cmd, 5));
}

TEST(MacKeyCodeMapTest, TranslatesBothWaysForEveryKnownKey) {
    int known = 0;
    for (std::uint32_t mac = 0; mac < 256; ++mac) {
        if (const auto x = MacKeyCodeMap::xKeycode(mac)) {
            ++known;
            EXPECT_EQ(MacKeyCodeMap::macKeyCode(*x), mac) << mac;
        }
    }
    for (int x = 0; x < 256; ++x) {
        if (const auto mac = MacKeyCodeMap::macKeyCode(static_cast<std::uint8_t>(x))) {
            EXPECT_EQ(MacKeyCodeMap::xKeycode(*mac), x) << x;
        }
    }
    EXPECT_GE(known, 100);
}

TEST(MacKeyCodeMapTest, LandsOnTheKeysTheServerNamesSo) {
    // macOS code -> a keysym the server's US keymap has on the translated keycode.
    // clang-format off
    const std::map<std::uint32_t, xcb_keysym_t> expected = {
        {0, 'a'}, {1, 's'}, {6, 'z'}, {11, 'b'}, {12, 'q'}, {16, 'y'}, {17, 't'}, {31, 'o'},
        {37, 'l'}, {38, 'j'}, {40, 'k'}, {45, 'n'}, {46, 'm'},
        {18, '1'}, {22, '6'}, {23, '5'}, {25, '9'}, {26, '7'}, {28, '8'}, {29, '0'},
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
    OtherClient client;
    for (const auto& [mac, keysym] : expected) {
        const auto x = MacKeyCodeMap::xKeycode(mac);
        ASSERT_TRUE(x) << mac;
        const auto syms = client.keysyms(*x);
        EXPECT_NE(std::find(syms.begin(), syms.end(), keysym), syms.end())
            << "macOS key " << mac << " at X keycode " << int(*x);
    }
}
