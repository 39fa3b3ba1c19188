#include "backends/x11/MacKeyCodeMap.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "runtime/HotKeyManager.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

using namespace std::chrono_literals;

namespace {
constexpr std::uint32_t keyK = 40;
constexpr std::uint32_t keyJ = 38;
constexpr std::uint32_t cmd = 0x100;
constexpr std::uint32_t option = 0x800;
constexpr std::uint32_t control = 0x1000;
constexpr xcb_keycode_t xKeyJ = 44;

void press(const QString& chord) {
    ASSERT_EQ(Desktop::run("xdotool", {"key", "--clearmodifiers", chord}).exitCode, 0)
        << chord.toStdString();
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

struct HotKeyTest : ::testing::Test {
    QtScheduler scheduler;
    X11HotKeyBackend backend;
    HotKeyManager manager{backend, scheduler};
    QUuid dockA = QUuid::createUuid();
    QUuid dockB = QUuid::createUuid();
    std::map<char, int> presses;

    std::function<void()> count(char dock) {
        return [this, dock] { ++presses[dock]; };
    }
    bool waitFor(char dock, int times) {
        return Desktop::waitUntil([&] { return presses[dock] >= times; }, 5s);
    }
};
} // namespace

TEST_F(HotKeyTest, ThePressedChordRunsItsDocksAction) {
    manager.registerHotKey(dockA, keyK, cmd, count('a'));
    manager.registerHotKey(dockB, keyK, control | option, count('b'));
    press("super+k");
    ASSERT_TRUE(waitFor('a', 1));
    press("ctrl+alt+k");
    ASSERT_TRUE(waitFor('b', 1));
    press("super+k");
    ASSERT_TRUE(waitFor('a', 2));
    EXPECT_EQ(presses['b'], 1);
}

TEST_F(HotKeyTest, FiresWithNumLockAndCapsLockOn) {
    manager.registerHotKey(dockA, keyK, cmd, count('a'));
    press("Num_Lock");
    press("super+k");
    EXPECT_TRUE(waitFor('a', 1));
    press("Caps_Lock");
    press("super+k");
    EXPECT_TRUE(waitFor('a', 2));
    press("Num_Lock");
    press("super+k");
    EXPECT_TRUE(waitFor('a', 3));
    press("Caps_Lock");
}

TEST_F(HotKeyTest, AChordHeldByAnotherClientIsRefusedAndTheRestKeepWorking) {
    auto other = std::make_unique<OtherClient>();
    // The other client holds ctrl+alt+J with Caps Lock only, so our plain and Num Lock variants
    // would go through: they must be given back.
    ASSERT_TRUE(other->grab(xKeyJ, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_LOCK));
    manager.registerHotKey(dockB, keyK, cmd, count('b'));
    manager.registerHotKey(dockA, keyJ, control | option, count('a'));
    EXPECT_TRUE(other->grab(xKeyJ, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));

    press("ctrl+alt+j");
    press("super+k");
    ASSERT_TRUE(waitFor('b', 1));
    EXPECT_EQ(presses['a'], 0);

    // Once the other client is gone, the chord can be had.
    other.reset();
    manager.registerHotKey(dockA, keyJ, control | option, count('a'));
    press("ctrl+alt+j");
    EXPECT_TRUE(waitFor('a', 1));
}

TEST_F(HotKeyTest, AnUnregisteredChordNoLongerFiresAndIsFreeForOthers) {
    manager.registerHotKey(dockA, keyJ, control | option, count('a'));
    manager.registerHotKey(dockB, keyK, cmd, count('b'));
    manager.unregister(dockA);
    press("ctrl+alt+j");
    press("super+k");
    ASSERT_TRUE(waitFor('b', 1));
    EXPECT_EQ(presses['a'], 0);
    OtherClient other;
    EXPECT_TRUE(other.grab(xKeyJ, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
}

TEST_F(HotKeyTest, HoldingAChordCountsAsOnePress) {
    manager.registerHotKey(dockA, keyK, cmd, count('a'));
    manager.registerHotKey(dockB, keyJ, control | option, count('b'));
    // Held past the server's repeat delay (660 ms), the key repeats. One xdotool run, because
    // the server lets go of a client's keys when it disconnects.
    ASSERT_EQ(Desktop::run("xdotool",
                           {"keydown", "super+k", "sleep", "1", "keyup", "k", "keyup", "super"})
                  .exitCode,
              0);
    press("ctrl+alt+j");
    ASSERT_TRUE(waitFor('b', 1));
    EXPECT_EQ(presses['a'], 1);
    // Released and pressed again: a new press.
    press("super+k");
    EXPECT_TRUE(waitFor('a', 2));
}

TEST_F(HotKeyTest, KeepsFiringWhenNumLockMovesToAnotherModifier) {
    manager.registerHotKey(dockA, keyK, cmd, count('a'));
    ASSERT_EQ(Desktop::run("xmodmap", {"-e", "clear mod2", "-e", "add mod3 = Num_Lock"}).exitCode,
              0);
    press("Num_Lock");
    // The keymap change reaches us asynchronously; until the chord is grabbed again with the
    // new modifier, presses go by unseen.
    const bool fired = Desktop::waitUntil(
        [&] {
            press("super+k");
            return presses['a'] > 0;
        },
        5s);
    press("Num_Lock");
    Desktop::run("xmodmap", {"-e", "clear mod3", "-e", "add mod2 = Num_Lock"});
    EXPECT_TRUE(fired);
}

TEST_F(HotKeyTest, ChordsWithoutAnXEquivalentRegisterNothing) {
    // Key code 10 has no place here; 0x400 (Caps Lock) is not a chord modifier.
    EXPECT_FALSE(backend.grab(10, cmd, 1));
    EXPECT_FALSE(backend.grab(keyK, cmd | 0x400, 2));
    EXPECT_FALSE(backend.grab(500, cmd, 3));
    // One chord, one grab: a second registration of a held chord is refused.
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
