#include "views/OwnPopups.h"
#include <gtest/gtest.h>

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

} // namespace
