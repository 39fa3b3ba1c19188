#include "runtime/HotKeyManager.h"
#include "fakes/FakeHotKeyBackend.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
constexpr std::uint32_t keyK = 40;
constexpr std::uint32_t keyJ = 38;
constexpr std::uint32_t cmdShift = 0x100 | 0x200;
constexpr std::uint32_t ctrlOpt = 0x1000 | 0x800;

struct HotKeyManagerTest : ::testing::Test {
    FakeHotKeyBackend backend;
    VirtualScheduler scheduler;
    HotKeyManager manager{backend, scheduler};
    QUuid dockA = QUuid::createUuid();
    QUuid dockB = QUuid::createUuid();
    std::string fired;

    std::function<void()> record(char name) {
        return [this, name] { fired += name; };
    }
    std::vector<std::uint32_t> attemptedIDs() const {
        std::vector<std::uint32_t> ids;
        for (const auto& attempt : backend.attempts())
            ids.push_back(attempt.hotKeyID);
        return ids;
    }
    void pressAndRun(std::uint32_t id) {
        backend.press(id);
        scheduler.runPending();
    }
};
} // namespace

TEST_F(HotKeyManagerTest, IdsStartAtOneAndAreNeverReused) {
    manager.registerHotKey(dockA, keyK, cmdShift, record('a'));
    manager.registerHotKey(dockB, keyJ, cmdShift, record('b'));
    manager.unregister(dockB);
    manager.registerHotKey(dockB, keyJ, cmdShift, record('b'));
    manager.registerHotKey(dockA, keyK, ctrlOpt, record('a'));
    EXPECT_EQ(attemptedIDs(), (std::vector<std::uint32_t>{1, 2, 3, 4}));

    pressAndRun(1);
    pressAndRun(2);
    EXPECT_EQ(fired, "");
    pressAndRun(4);
    pressAndRun(3);
    EXPECT_EQ(fired, "ab");
}

TEST_F(HotKeyManagerTest, RegisteringADockAgainReleasesItsOldGrabFirst) {
    manager.registerHotKey(dockA, keyK, cmdShift, record('1'));
    // The fake, like X, refuses a chord that is still held: the same chord for the same dock
    // only goes through when the old grab is gone first.
    manager.registerHotKey(dockA, keyK, cmdShift, record('2'));
    ASSERT_EQ(backend.live().size(), 1u);
    EXPECT_EQ(backend.live().front().hotKeyID, 2u);
    EXPECT_EQ(backend.released(), std::vector<HotKeyBackend::Handle>{backend.attempts()[0].handle});

    pressAndRun(1);
    pressAndRun(2);
    EXPECT_EQ(fired, "2");
}

TEST_F(HotKeyManagerTest, ARefusedChordLeavesTheDockWithoutAHotKeyAndOthersWorking) {
    backend.refuse(keyJ, ctrlOpt);
    manager.registerHotKey(dockA, keyK, cmdShift, record('a'));
    manager.registerHotKey(dockB, keyK, ctrlOpt, record('b'));
    manager.registerHotKey(dockB, keyJ, ctrlOpt, record('b'));
    EXPECT_EQ(attemptedIDs(), (std::vector<std::uint32_t>{1, 2, 3}));
    // B's working chord went first, so the refusal leaves B with none at all; A keeps its own.
    ASSERT_EQ(backend.live().size(), 1u);
    EXPECT_EQ(backend.live().front().hotKeyID, 1u);

    for (std::uint32_t id = 1; id <= 3; ++id)
        pressAndRun(id);
    EXPECT_EQ(fired, "a");

    // The refused id is spent; the next registration moves on.
    manager.registerHotKey(dockB, keyJ, cmdShift, record('b'));
    EXPECT_EQ(backend.attempts().back().hotKeyID, 4u);
    pressAndRun(4);
    EXPECT_EQ(fired, "ab");
}

TEST_F(HotKeyManagerTest, APressRunsTheActionAsALaterTask) {
    manager.registerHotKey(dockA, keyK, cmdShift, record('a'));
    EXPECT_EQ(backend.handlerInstalls(), 1);
    ASSERT_TRUE(backend.pressChord(keyK, cmdShift));
    EXPECT_EQ(fired, "");
    EXPECT_EQ(scheduler.pendingCount(), 1u);
    scheduler.runPending();
    EXPECT_EQ(fired, "a");
}

TEST_F(HotKeyManagerTest, APressOfAnUnregisteredChordDoesNothing) {
    manager.registerHotKey(dockA, keyK, cmdShift, record('a'));
    backend.press(1);
    manager.unregister(dockA);
    scheduler.runPending();
    pressAndRun(1);
    pressAndRun(0);
    EXPECT_EQ(fired, "");
    EXPECT_TRUE(backend.live().empty());
}

TEST_F(HotKeyManagerTest, AnActionMayUnregisterItsOwnDock) {
    manager.registerHotKey(dockA, keyK, cmdShift, [this] {
        fired += 'a';
        manager.unregister(dockA);
    });
    pressAndRun(1);
    pressAndRun(1);
    EXPECT_EQ(fired, "a");
}

TEST_F(HotKeyManagerTest, UnregisteringADockWithoutAHotKeyChangesNothing) {
    EXPECT_EQ(backend.handlerInstalls(), 0);
    manager.unregister(dockB);
    manager.registerHotKey(dockA, keyK, cmdShift, record('a'));
    manager.unregister(dockB);
    EXPECT_TRUE(backend.released().empty());
    manager.registerHotKey(dockB, keyJ, cmdShift, record('b'));
    EXPECT_EQ(attemptedIDs(), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(backend.handlerInstalls(), 1);
    pressAndRun(1);
    EXPECT_EQ(fired, "a");
}

TEST_F(HotKeyManagerTest, GoingAwayReleasesItsGrabsAndDropsPressesInFlight) {
    FakeHotKeyBackend ownBackend;
    auto own = std::make_unique<HotKeyManager>(ownBackend, scheduler);
    own->registerHotKey(dockA, keyK, cmdShift, record('a'));
    ownBackend.press(1);
    own.reset();
    scheduler.runPending();
    EXPECT_EQ(fired, "");
    EXPECT_TRUE(ownBackend.live().empty());
    EXPECT_FALSE(ownBackend.hasPressHandler());
}
