#include "DockWindowTestFixture.h"

namespace {

using DockWindowsManagerTest = DockWindowTest;

TEST_F(DockWindowsManagerTest, AStoreWithoutDocksMakesNoPanels) {
    startManager();
    EXPECT_EQ(manager->controllerCount(), 0u);
    EXPECT_TRUE(panels.panels.empty());
}

TEST_F(DockWindowsManagerTest, MakesOnePanelPerDockInListOrderVisibleOrNot) {
    Dock a = makeDock(QStringLiteral("A"), {10, 20, 100, 200});
    Dock b = makeDock(QStringLiteral("B"));
    b.isVisible = false;
    Dock c = makeDock(QStringLiteral("C"));
    setDocks({a, b, c});
    startManager();

    ASSERT_EQ(panels.panels.size(), 3u);
    EXPECT_EQ(panels.panels[0]->dockID, a.id);
    EXPECT_EQ(panels.panels[1]->dockID, b.id);
    EXPECT_EQ(panels.panels[2]->dockID, c.id);
    EXPECT_EQ(panels.panels[0]->frame, QRectF(10, 20, 100, 200));
    EXPECT_EQ(panels.panels[0]->title, QStringLiteral("A"));
    EXPECT_TRUE(panels.panels[0]->onScreen);
    EXPECT_FALSE(panels.panels[1]->onScreen);
    EXPECT_TRUE(panels.panels[2]->onScreen);
    EXPECT_EQ(manager->controllerCount(), 3u);
}

TEST_F(DockWindowsManagerTest, ASecondSynchronisationWithoutChangeMakesNothing) {
    setDocks({makeDock(QStringLiteral("A")), makeDock(QStringLiteral("B"))});
    startManager();
    const auto* first = manager->controller(store.docks->at(0).id);
    store.mutateDock(store.docks->at(1).id, [](Dock&) {});
    store.mutateDock(store.docks->at(1).id, [](Dock&) {});
    EXPECT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(manager->controller(store.docks->at(0).id), first);
    EXPECT_EQ(panels.livePanelCount(), 2);
}

TEST_F(DockWindowsManagerTest, AddingADockMakesExactlyOneMorePanelAndLeavesTheOthers) {
    Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    store.mutateDock(a.id, [](Dock& dock) { dock.position.x = 400; });
    const int applies = panels.panels[0]->setFrameCount;
    store.addDock(DockKind::clippings);
    ASSERT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(panels.panels[1]->dockID, store.docks->back().id);
    EXPECT_EQ(panels.panels[0]->frame.x(), 400);
    EXPECT_EQ(panels.panels[0]->setFrameCount, applies);
}

TEST_F(DockWindowsManagerTest, AChangeReappliesOnlyTheDocksItTouched) {
    Dock a = makeDock(QStringLiteral("A"));
    a.hotKey = {45, HotKeyBinding::cmdKey};
    Dock b = makeDock(QStringLiteral("B"));
    b.hotKey = {46, HotKeyBinding::cmdKey};
    Dock c = makeDock(QStringLiteral("C"));
    setDocks({a, b, c});
    startManager();
    const auto appliesOf = [&](const Dock& dock) {
        return panels.panelFor(dock.id)->setFrameCount;
    };
    const int aBefore = appliesOf(a), bBefore = appliesOf(b), cBefore = appliesOf(c);
    const std::size_t grabsBefore = hotKeyBackend.attempts().size();

    change(b.id, [](Dock& dock) { dock.hotKey = {47, HotKeyBinding::cmdKey}; });
    EXPECT_EQ(appliesOf(a), aBefore);
    EXPECT_EQ(appliesOf(b), bBefore + 1);
    EXPECT_EQ(appliesOf(c), cBefore);
    // The changed dock re-registers its hot key, and only it.
    ASSERT_EQ(hotKeyBackend.attempts().size(), grabsBefore + 1);
    EXPECT_EQ(hotKeyBackend.attempts().back().keyCode, 47u);
    EXPECT_TRUE(hotKeyRegistered(a.id));
    EXPECT_TRUE(hotKeyRegistered(b.id));

    // A list read anew from the file is applied whole.
    setDocks(*store.docks);
    EXPECT_EQ(appliesOf(a), aBefore + 1);
    EXPECT_EQ(appliesOf(c), cBefore + 1);
}

TEST_F(DockWindowsManagerTest, RemovalsHappenBeforeCreations) {
    const Dock a = makeDock(QStringLiteral("A"));
    setDocks({a});
    startManager();
    std::size_t panelsMadeWhenClosed = 0;
    panels.panelFor(a.id)->onClose = [&] { panelsMadeWhenClosed = panels.panels.size(); };
    setDocks({makeDock(QStringLiteral("B"))});
    EXPECT_EQ(panelsMadeWhenClosed, 1u);
    EXPECT_EQ(panels.panels.size(), 2u);
    EXPECT_EQ(manager->controllerCount(), 1u);
}

TEST_F(DockWindowsManagerTest, RemovingADockClosesItsPanelInOrderAndLeavesTheOthers) {
    Dock a = makeDock(QStringLiteral("A"));
    a.autoHide = true;
    a.hotKey = {45, HotKeyBinding::cmdKey};
    const Dock b = makeDock(QStringLiteral("B"));
    setDocks({a, b});
    startManager();
    ASSERT_TRUE(hotKeyRegistered(a.id));
    ASSERT_EQ(pointer.activeCount(), 1u);

    FakeDockPanelState* panel = panels.panelFor(a.id);
    bool monitorGoneBeforeOrderOut = false;
    bool hotKeyGoneBeforeOrderOut = false;
    bool orderedOutBeforeClose = false;
    panel->onOrderOut = [&] {
        monitorGoneBeforeOrderOut = pointer.activeCount() == 0;
        hotKeyGoneBeforeOrderOut = !hotKeyRegistered(a.id, a.hotKey);
    };
    panel->onClose = [&] { orderedOutBeforeClose = !panel->onScreen; };
    store.removeDock(a.id);

    EXPECT_TRUE(monitorGoneBeforeOrderOut);
    EXPECT_TRUE(hotKeyGoneBeforeOrderOut);
    EXPECT_TRUE(orderedOutBeforeClose);
    EXPECT_FALSE(hotKeyRegistered(a.id, a.hotKey));
    EXPECT_TRUE(panel->closed);
    EXPECT_TRUE(panel->destroyed);
    EXPECT_EQ(manager->controller(a.id), nullptr);
    EXPECT_TRUE(panels.panelFor(b.id)->onScreen);
    EXPECT_FALSE(panels.panelFor(b.id)->closed);
}

TEST_F(DockWindowsManagerTest, AHiddenDockKeepsItsControllerAndHotKey) {
    Dock a = makeDock(QStringLiteral("A"));
    a.hotKey = {45, HotKeyBinding::cmdKey};
    setDocks({a});
    startManager();
    change(a.id, [](Dock& dock) { dock.isVisible = false; });
    EXPECT_FALSE(panels.panelFor(a.id)->onScreen);
    EXPECT_NE(manager->controller(a.id), nullptr);
    EXPECT_TRUE(hotKeyRegistered(a.id));
    EXPECT_EQ(panels.panels.size(), 1u);
}

TEST_F(DockWindowsManagerTest, TheHotKeyTogglesVisibilityThroughTheStore) {
    Dock a = makeDock(QStringLiteral("A"));
    a.hotKey = {45, HotKeyBinding::cmdKey | HotKeyBinding::shiftKey};
    setDocks({a});
    startManager();
    pressHotKey(a.id);
    EXPECT_FALSE(stored(a.id).isVisible);
    EXPECT_FALSE(panels.panelFor(a.id)->onScreen);
    pressHotKey(a.id);
    EXPECT_TRUE(stored(a.id).isVisible);
    EXPECT_TRUE(panels.panelFor(a.id)->onScreen);
}

TEST_F(DockWindowsManagerTest, AHotKeyWithoutModifiersRegistersNothing) {
    Dock a = makeDock(QStringLiteral("A"));
    a.hotKey.keyCode = 45;
    setDocks({a});
    startManager();
    EXPECT_TRUE(hotKeyBackend.attempts().empty());
}

TEST_F(DockWindowsManagerTest, NothingHandedOutActsOnceTheManagerIsGone) {
    Dock a = makeDock(QStringLiteral("A"));
    a.autoHide = true;
    setDocks({a});
    startManager();
    panels.panelFor(a.id)->userSetsFrame({500, 500, 100, 100});
    pointer.move({1000, 700});
    manager.reset();
    scheduler.advance(std::chrono::seconds(1));
    EXPECT_EQ(stored(a.id).position, a.position);
    EXPECT_EQ(pointer.activeCount(), 0u);
}

} // namespace
