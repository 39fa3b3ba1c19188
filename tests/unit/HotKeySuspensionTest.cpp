#include "fakes/FakeHotKeyBackend.h"
#include "fakes/VirtualScheduler.h"
#include "runtime/HotKeyManager.h"

#include <gtest/gtest.h>

// A hot key recorder suspends the manager's grabs while it records.
namespace {
constexpr std::uint32_t keyK = 40;
constexpr std::uint32_t keyJ = 38;
constexpr std::uint32_t ctrlOpt = 0x1000 | 0x800;

struct HotKeySuspensionTest : ::testing::Test {
    FakeHotKeyBackend backend;
    VirtualScheduler scheduler;
    HotKeyManager manager{backend, scheduler};
    QUuid dockA = QUuid::createUuid();
    QUuid dockB = QUuid::createUuid();
    std::string fired;

    std::function<void()> record(char name) {
        return [this, name] { fired += name; };
    }
    void pressChord(std::uint32_t keyCode) {
        backend.pressChord(keyCode, ctrlOpt);
        scheduler.runPending();
    }
};
} // namespace

TEST_F(HotKeySuspensionTest, GrabsGoWhileSuspendedAndComeBackUnderTheirIds) {
    manager.registerHotKey(dockA, keyK, ctrlOpt, record('a'));
    manager.registerHotKey(dockB, keyJ, ctrlOpt, record('b'));
    {
        const Subscription outer = manager.suspend();
        { const Subscription inner = manager.suspend(); }
        EXPECT_TRUE(backend.live().empty()) << "a nested suspension ended them all";
        pressChord(keyK);
        EXPECT_EQ(fired, "");
    }
    ASSERT_EQ(backend.live().size(), 2u);
    EXPECT_EQ(backend.live()[0].hotKeyID, 1u);
    EXPECT_EQ(backend.live()[1].hotKeyID, 2u);
    pressChord(keyK);
    pressChord(keyJ);
    EXPECT_EQ(fired, "ab");
}

TEST_F(HotKeySuspensionTest, AChordRegisteredMeanwhileIsGrabbedAfterTheOneThatHadItFirst) {
    manager.registerHotKey(dockB, keyJ, ctrlOpt, record('b'));
    manager.registerHotKey(dockA, keyK, ctrlOpt, record('a'));
    {
        const Subscription suspension = manager.suspend();
        // The recorder gave A the chord B holds: B keeps it, A is left without.
        manager.registerHotKey(dockA, keyJ, ctrlOpt, record('a'));
        EXPECT_EQ(backend.attempts().size(), 2u);
    }
    ASSERT_EQ(backend.live().size(), 1u);
    pressChord(keyJ);
    EXPECT_EQ(fired, "b");
    // A's refusal left nothing behind: a new chord for A works.
    manager.registerHotKey(dockA, keyK, ctrlOpt, record('a'));
    pressChord(keyK);
    EXPECT_EQ(fired, "ba");
}

TEST_F(HotKeySuspensionTest, AnUnregisteredDockStaysUnregisteredAndTheHandleMayOutliveTheManager) {
    manager.registerHotKey(dockA, keyK, ctrlOpt, record('a'));
    Subscription suspension = manager.suspend();
    manager.unregister(dockA);
    suspension.cancel();
    EXPECT_TRUE(backend.live().empty());

    auto own = std::make_unique<HotKeyManager>(backend, scheduler);
    Subscription late = own->suspend();
    own.reset();
    late.cancel();
}
