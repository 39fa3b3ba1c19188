// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/HotKeyManager.h"
#include "fakes/FakeHotKeyBackend.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {
constexpr std::uint32_t cmdShift = 0x100 | 0x200;
// Chords by name, as key codes with command-shift: K and J are free, R is held by another
// program.
const std::map<char, std::uint32_t> keyCodes = {{'K', 40}, {'J', 38}, {'R', 15}};

char chordName(std::uint32_t keyCode) {
    for (const auto& [name, code] : keyCodes)
        if (code == keyCode)
            return name;
    return '?';
}

// A manager on the fake backend and a virtual clock, driven by short scripts.
struct HotKeys {
    FakeHotKeyBackend backend;
    VirtualScheduler scheduler;
    std::unique_ptr<HotKeyManager> manager = std::make_unique<HotKeyManager>(backend, scheduler);
    std::map<char, QUuid> docks = {{'A', QUuid::createUuid()}, {'B', QUuid::createUuid()}};
    std::string fired;
    std::vector<Subscription> suspensions;

    HotKeys() { backend.refuse(keyCodes.at('R'), cmdShift); }

    // Steps: "+AK" registers chord K for dock A (its action records 'A'), "-A" unregisters dock
    // A, "xK" makes the backend lose the grab of K, "s" suspends the grabs (as the hot key
    // recorder does), "r" ends the latest suspension, "|" ends the pass of the event loop.
    void run(const std::string& script) {
        std::istringstream steps(script);
        for (std::string step; steps >> step;) {
            if (step[0] == '+')
                manager->registerHotKey(docks.at(step[1]), keyCodes.at(step[2]), cmdShift,
                                        [this, dock = step[1]](std::uint32_t) { fired += dock; });
            else if (step[0] == '-')
                manager->unregister(docks.at(step[1]));
            else if (step[0] == 'x')
                backend.lose(keyCodes.at(step[1]), cmdShift);
            else if (step[0] == 's')
                suspensions.push_back(manager->suspend());
            else if (step[0] == 'r')
                suspensions.pop_back();
            else
                scheduler.runPending();
        }
    }
    // Each grab attempt as chord and id: "K1 J2".
    std::string attempts() const {
        std::string out;
        for (const auto& grab : backend.attempts())
            out += (out.empty() ? "" : " ") +
                   (chordName(grab.keyCode) + std::to_string(grab.hotKeyId));
        return out;
    }
    // Each live grab as chord, id and what pressing it fires ('-' for nothing): "K2A".
    std::string live() {
        std::string out;
        for (const auto& grab : std::vector(backend.live())) {
            fired.clear();
            backend.press(grab.hotKeyId);
            scheduler.runPending();
            out += (out.empty() ? "" : " ") +
                   (chordName(grab.keyCode) + std::to_string(grab.hotKeyId) +
                    (fired.empty() ? "-" : fired));
        }
        return out;
    }
};

struct HotKeyManagerTest : ::testing::Test, HotKeys {};
} // namespace

TEST_F(HotKeyManagerTest, KeepsAGrabThatIsRegisteredAgainInTheSamePass) {
    struct Case {
        const char* name;
        const char* script;
        const char* attempts; // grab attempts: chord and id
        const char* live;     // live grabs at the end: chord, id, what a press fires
    };
    const Case cases[] = {
        {"the first registration uses id 1", "+AK", "K1", "K1A"},
        {"the same chord again in one pass keeps its grab under a new id", "+AK +AK -A +AK", "K1",
         "K3A"},
        {"a chord given up is held until the pass ends, firing nothing", "+AK -A", "K1", "K1-"},
        {"and released then", "+AK -A |", "K1", ""},
        {"the same chord in a later pass is grabbed afresh", "+AK -A | +AK", "K1 K2", "K2A"},
        {"a new chord is grabbed, the old one released with the pass", "+AK +AJ |", "K1 J2", "J2A"},
        {"a chord one dock gives up is kept for the dock that takes it", "+AK +BJ -A +BK |",
         "K1 J2", "K3B"},
        {"a chord still held by another dock is refused", "+AK +BK", "K1 K2", "K1A"},
        {"a refused chord is asked for at every registration", "+AR -A +AR", "R1 R2", ""},
        {"a refused chord spends its id", "+AR +BK", "R1 K2", "K2B"},
        {"a refused chord leaves the dock with none", "+AK +AR |", "K1 R2", ""},
        {"a grab the backend lost is grabbed afresh", "+AK xK -A +AK", "K1 K2", "K2A"},
        {"unregistering a dock without a hot key changes nothing", "-A +BK -A |", "K1", "K1B"},
        {"a suspension, however nested, holds no grab", "+AK +BJ s s r", "K1 J2", ""},
        {"the grabs come back under their ids", "+AK +BJ s s r r", "K1 J2 K1 J2", "K1A J2B"},
        {"a chord taken meanwhile goes to the dock that had it first", "+BJ +AK s +AJ r +AK",
         "J1 K2 J1 J3 K4", "J1B K4A"},
        {"a dock unregistered meanwhile stays unregistered", "+AK s -A r", "K1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HotKeys t;
        t.run(c.script);
        EXPECT_EQ(t.attempts(), c.attempts);
        EXPECT_EQ(t.live(), c.live);
    }
}

TEST_F(HotKeyManagerTest, APressRunsTheActionAsALaterTaskIfStillRegistered) {
    run("+AK");
    ASSERT_TRUE(backend.press(1));
    EXPECT_EQ(fired, "");
    scheduler.runPending();
    EXPECT_EQ(fired, "A");
    // Presses already on their way when the dock registers again or goes do nothing.
    backend.press(1);
    run("-A +AK |");
    backend.press(2);
    run("-A |");
    EXPECT_EQ(fired, "A");
}

TEST_F(HotKeyManagerTest, AnActionMayUnregisterItsOwnDock) {
    manager->registerHotKey(docks['A'], keyCodes.at('K'), cmdShift, [this](std::uint32_t) {
        fired += 'a';
        manager->unregister(docks['A']);
    });
    backend.press(1);
    run("|");
    backend.press(1);
    run("|");
    EXPECT_EQ(fired, "a");
    EXPECT_TRUE(backend.live().empty());
}

TEST_F(HotKeyManagerTest, GoingAwayReleasesEveryGrabAndDropsPressesInFlight) {
    run("+AK +BJ -B");
    backend.press(1);
    manager.reset();
    EXPECT_TRUE(backend.live().empty());
    EXPECT_FALSE(backend.hasPressHandler());
    scheduler.runPending();
    EXPECT_EQ(fired, "");
}

TEST(HotKeyManager, ASuspensionMayOutliveTheManager) {
    HotKeys t;
    Subscription late = t.manager->suspend();
    t.manager.reset();
    late.cancel();
}

TEST_F(HotKeyManagerTest, AServicesLaterAnswerStaysWithItsGrab) {
    const HotKeyBackend::Answer bound{HotKeyBackend::Answer::Status::bound, u"Ctrl+K"_qs};
    run("+AK");
    ASSERT_TRUE(backend.answer(1, bound));
    // Registered again in the pass, the grab keeps its answer; a suspension gives both up.
    run("+AK");
    EXPECT_EQ(manager->answer(docks['A']), bound);
    run("s r");
    EXPECT_FALSE(manager->answer(docks['A']));
}
