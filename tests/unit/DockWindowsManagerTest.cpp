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
    // A list read anew closes the panels of the docks gone before it makes the new ones.
    std::size_t panelsMadeWhenClosed = 0;
    panel(a).onClose = [&] { panelsMadeWhenClosed = panels.panels.size(); };
    setDocks({b, c, makeDock(u"D"_qs)});
    EXPECT_EQ(panelsMadeWhenClosed, 3u);
    EXPECT_EQ(panels.panels.size(), 4u);
    EXPECT_EQ(manager->controllerCount(), 3u);
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

struct ShownCase {
    const char* name;
    std::function<void(Dock&)> change;
    // What the changed dock's panel and hot key see: window requests (the level is asserted
    // again with every window facet), of them frame settings, and calls to the hot key backend.
    int requests;
    int frames;
    std::size_t hotKeyCalls;
};

const ShownCase shownCases[] = {
    {"opacity", [](Dock& d) { d.appearance.opacity = 0.4; }, 0, 0, 0},
    {"columns", [](Dock& d) { d.columns = 1; }, 0, 0, 0},
    {"items", [](Dock& d) { d.tabs.front().items.push_back(DockItem::makeClipping(u"x"_qs)); }, 0,
     0, 0},
    {"name", [](Dock& d) { d.name = u"Renamed"_qs; }, 2, 0, 0},
    {"frame", [](Dock& d) { d.position.x = 300; }, 2, 1, 0},
    {"level", [](Dock& d) { d.alwaysOnTop = false; }, 1, 0, 0},
    {"hidden", [](Dock& d) { d.isVisible = false; }, 3, 0, 0},
    // The old grab is moved to the new id at once and given back on the next pass.
    {"chord",
     [](Dock& d) {
         d.hotKey = {47, HotKeyBinding::cmdKey};
     },
     0, 0, 1},
};

class ShownFacets : public DockWindowTest, public ::testing::WithParamInterface<ShownCase> {};

// Only the changed dock, and of it only what its panel shows; a hot key only for a new chord.
TEST_P(ShownFacets, AChangeReachesOnlyItsDockAndOnlyWhatThePanelShows) {
    const ShownCase& c = GetParam();
    const Dock b = withHotKey(makeDock(u"B"_qs), 46);
    const QUuid a = start({withHotKey(makeDock(u"A"_qs), 45), b});
    const int aBefore = panel(a).requests, bBefore = panel(b.id).requests,
              framesBefore = panel(b.id).setFrameCount;
    const std::size_t hotKeyBefore = hotKeyBackend.calls();
    change(b.id, c.change);
    EXPECT_EQ(panel(a).requests, aBefore);
    EXPECT_EQ(panel(b.id).requests - bBefore, c.requests);
    EXPECT_EQ(panel(b.id).setFrameCount - framesBefore, c.frames);
    EXPECT_EQ(hotKeyBackend.calls() - hotKeyBefore, c.hotKeyCalls);
    EXPECT_TRUE(hotKeyRegistered(a));
    EXPECT_TRUE(hotKeyRegistered(b.id));
    // A list read anew from the file is applied whole.
    setDocks(*store.docks);
    EXPECT_EQ(panel(a).setFrameCount, 2);
}

INSTANTIATE_TEST_SUITE_P(DockWindowsManager, ShownFacets, ::testing::ValuesIn(shownCases),
                         [](const auto& info) { return std::string(info.param.name); });

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

// A hidden dock keeps its controller and hot key: the second press shows it again, with the
// keyboard (asked for with the press's time), and the next gives the keyboard back as it hides.
// A key without modifiers is no chord.
TEST_F(DockWindowsManagerTest, TheHotKeyTogglesVisibilityThroughTheStoreAndBringsTheKeyboard) {
    Dock keyOnly = makeDock(u"B"_qs);
    keyOnly.hotKey.keyCode = 46;
    const QUuid a =
        start({withHotKey(makeDock(u"A"_qs), 45, HotKeyBinding::cmdKey | HotKeyBinding::shiftKey),
               keyOnly});
    EXPECT_EQ(hotKeyBackend.attempts().size(), 1u);
    pressHotKey(a, 100);
    EXPECT_FALSE(stored(a).isVisible);
    EXPECT_FALSE(panel(a).onScreen);
    EXPECT_EQ(panels.panels.size(), 2u);
    EXPECT_TRUE(panel(a).keyboardTaken.empty());
    pressHotKey(a, 200);
    EXPECT_TRUE(stored(a).isVisible);
    EXPECT_TRUE(panel(a).onScreen);
    EXPECT_EQ(panel(a).keyboardTaken, std::vector<std::uint32_t>{200});
    pressHotKey(a, 300);
    EXPECT_FALSE(panel(a).onScreen);
    EXPECT_EQ(panel(a).keyboardReleased, std::vector<std::uint32_t>{300});
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
