// SPDX-License-Identifier: GPL-3.0-or-later
#include "DockWindowTestFixture.h"

namespace {

using DockWindowsManagerTest = DockWindowTest;

Dock withHotKey(Dock dock, std::uint32_t keyCode, std::uint32_t modifiers = HotKeyBinding::cmdKey) {
    dock.hotKey = {keyCode, modifiers};
    return dock;
}

TEST_F(DockWindowsManagerTest, MakesOnePanelPerDockInListOrderVisibleOrNot) {
    start({});
    EXPECT_TRUE(panels.panels.empty());
    manager.reset();
    Dock b = makeDock(u"B"_qs);
    b.isVisible = false;
    const Dock c = makeDock(u"C"_qs);
    const QUuid a = start({makeDock(u"A"_qs, {10, 20, 100, 200}), b, c});

    ASSERT_EQ(panels.panels.size(), 3u);
    EXPECT_EQ(panels.panels[0]->dockId, a);
    EXPECT_EQ(panels.panels[1]->dockId, b.id);
    EXPECT_EQ(panels.panels[2]->dockId, c.id);
    EXPECT_EQ(panels.panels[0]->frame, QRectF(10, 20, 100, 200));
    EXPECT_EQ(panels.panels[0]->title, u"A"_qs);
    EXPECT_TRUE(panels.panels[0]->onScreen);
    EXPECT_FALSE(panels.panels[1]->onScreen);
    EXPECT_TRUE(panels.panels[2]->onScreen);
    EXPECT_EQ(manager->controllerCount(), 3u);
}

TEST_F(DockWindowsManagerTest, ASecondSynchronisationWithoutChangeMakesNothing) {
    const QUuid a = start({makeDock(u"A"_qs), makeDock(u"B"_qs)});
    const auto* first = manager->controller(a);
    store.mutateDock(store.docks->at(1).id, [](Dock&) {});
    store.mutateDock(store.docks->at(1).id, [](Dock&) {});
    EXPECT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(manager->controller(a), first);
    EXPECT_EQ(panels.livePanelCount(), 2);
}

TEST_F(DockWindowsManagerTest, AddingADockMakesExactlyOneMorePanelAndLeavesTheOthers) {
    const QUuid a = start({makeDock(u"A"_qs)});
    store.mutateDock(a, [](Dock& dock) { dock.position.x = 400; });
    const int applies = panel(a).setFrameCount;
    store.addDock(DockKind::clippings);
    ASSERT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(panels.panels[1]->dockId, store.docks->back().id);
    EXPECT_EQ(panel(a).frame.x(), 400);
    EXPECT_EQ(panel(a).setFrameCount, applies);
}

TEST_F(DockWindowsManagerTest, AChangeReappliesOnlyTheDocksItTouched) {
    const Dock b = withHotKey(makeDock(u"B"_qs), 46);
    const Dock c = makeDock(u"C"_qs);
    const QUuid a = start({withHotKey(makeDock(u"A"_qs), 45), b, c});
    const int aBefore = panel(a).setFrameCount, bBefore = panel(b.id).setFrameCount,
              cBefore = panel(c.id).setFrameCount;
    const std::size_t grabsBefore = hotKeyBackend.attempts().size();

    change(b.id, [](Dock& dock) { dock.hotKey = {47, HotKeyBinding::cmdKey}; });
    EXPECT_EQ(panel(a).setFrameCount, aBefore);
    EXPECT_EQ(panel(b.id).setFrameCount, bBefore + 1);
    EXPECT_EQ(panel(c.id).setFrameCount, cBefore);
    // The changed dock re-registers its hot key, and only it.
    ASSERT_EQ(hotKeyBackend.attempts().size(), grabsBefore + 1);
    EXPECT_EQ(hotKeyBackend.attempts().back().keyCode, 47u);
    EXPECT_TRUE(hotKeyRegistered(a));
    EXPECT_TRUE(hotKeyRegistered(b.id));

    // A list read anew from the file is applied whole.
    setDocks(*store.docks);
    EXPECT_EQ(panel(a).setFrameCount, aBefore + 1);
    EXPECT_EQ(panel(c.id).setFrameCount, cBefore + 1);
}

TEST_F(DockWindowsManagerTest, RemovalsHappenBeforeCreations) {
    const QUuid a = start({makeDock(u"A"_qs)});
    std::size_t panelsMadeWhenClosed = 0;
    panel(a).onClose = [&] { panelsMadeWhenClosed = panels.panels.size(); };
    setDocks({makeDock(u"B"_qs)});
    EXPECT_EQ(panelsMadeWhenClosed, 1u);
    EXPECT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(manager->controllerCount(), 1u);
}

TEST_F(DockWindowsManagerTest, RemovingADockClosesItsPanelInOrderAndLeavesTheOthers) {
    Dock a = withHotKey(makeDock(u"A"_qs), 45);
    a.autoHide = true;
    const QUuid b = start({makeDock(u"B"_qs), a});
    ASSERT_TRUE(hotKeyRegistered(a.id));
    ASSERT_EQ(pointer.activeCount(), 1u);

    FakeDockPanelState& gone = panel(a.id);
    bool monitorGoneBeforeOrderOut = false;
    bool hotKeyGoneBeforeOrderOut = false;
    bool orderedOutBeforeClose = false;
    gone.onOrderOut = [&] {
        monitorGoneBeforeOrderOut = pointer.activeCount() == 0;
        hotKeyGoneBeforeOrderOut = !hotKeyRegistered(a.id, a.hotKey);
    };
    gone.onClose = [&] { orderedOutBeforeClose = !gone.onScreen; };
    store.removeDock(a.id);

    EXPECT_TRUE(monitorGoneBeforeOrderOut);
    EXPECT_TRUE(hotKeyGoneBeforeOrderOut);
    EXPECT_TRUE(orderedOutBeforeClose);
    EXPECT_FALSE(hotKeyRegistered(a.id, a.hotKey));
    EXPECT_TRUE(gone.closed);
    EXPECT_TRUE(gone.destroyed);
    EXPECT_EQ(manager->controller(a.id), nullptr);
    EXPECT_TRUE(panel(b).onScreen);
    EXPECT_FALSE(panel(b).closed);
}

// A hidden dock keeps its controller and hot key: the second press shows it again.
TEST_F(DockWindowsManagerTest, TheHotKeyTogglesVisibilityThroughTheStore) {
    const QUuid a =
        start({withHotKey(makeDock(u"A"_qs), 45, HotKeyBinding::cmdKey | HotKeyBinding::shiftKey)});
    pressHotKey(a);
    EXPECT_FALSE(stored(a).isVisible);
    EXPECT_FALSE(panel(a).onScreen);
    EXPECT_EQ(panels.panels.size(), 1u);
    pressHotKey(a);
    EXPECT_TRUE(stored(a).isVisible);
    EXPECT_TRUE(panel(a).onScreen);
}

TEST_F(DockWindowsManagerTest, AHotKeyWithoutModifiersRegistersNothing) {
    Dock a = makeDock(u"A"_qs);
    a.hotKey.keyCode = 45;
    start({a});
    EXPECT_TRUE(hotKeyBackend.attempts().empty());
}

TEST_F(DockWindowsManagerTest, NothingHandedOutActsOnceTheManagerIsGone) {
    Dock a = makeDock(u"A"_qs);
    a.autoHide = true;
    start({a});
    panel(a.id).userSetsFrame({500, 500, 100, 100});
    pointer.move({1000, 700});
    manager.reset();
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(stored(a.id).position, a.position);
    EXPECT_EQ(pointer.activeCount(), 0u);
}

} // namespace
