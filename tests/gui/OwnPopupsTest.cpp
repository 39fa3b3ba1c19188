#include "views/OwnPopups.h"
#include "unit/DockWindowTestFixture.h"

#include <QMenu>

namespace {

TEST(OwnPopups, AreOpenWhileAMenuOrADragOfOursIs) {
    EXPECT_FALSE(OwnPopups::isOpen());
    QMenu menu;
    menu.addAction(QStringLiteral("Entry"));
    menu.popup(QPoint(10, 10));
    EXPECT_TRUE(OwnPopups::isOpen());
    menu.close();
    EXPECT_FALSE(OwnPopups::isOpen());
    {
        OwnPopups::DragScope drag;
        EXPECT_TRUE(OwnPopups::isOpen());
    }
    EXPECT_FALSE(OwnPopups::isOpen());
}

class AutoHideUnderOwnPopups : public DockWindowTest {};

TEST_F(AutoHideUnderOwnPopups, ADockStaysWhileOneOfOurPopupsIsOpen) {
    bool popupOpen = true;
    dependencies.isOwnPopupOpen = [&] { return popupOpen; };
    Dock dock = makeDock(QStringLiteral("A"), {0, 300, 100, 200});
    dock.autoHide = true;
    setDocks({dock});
    startManager();
    // The pointer is far away, over the dock's context menu.
    pointer.move({600, 400});
    scheduler.runPending();
    EXPECT_TRUE(panels.panelFor(dock.id)->onScreen);
    popupOpen = false;
    pointer.move({601, 400});
    scheduler.runPending();
    EXPECT_FALSE(panels.panelFor(dock.id)->onScreen);
}

} // namespace
