// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/OwnPopups.h"
#include <gtest/gtest.h>

namespace {

// Our menus count too: ItemsDockTest.AnAutoHidingDockStaysUnderItsOwnMenu opens a real one.
TEST(OwnPopups, AreOpenWhileADragOfOursIs) {
    EXPECT_FALSE(OwnPopups::isOpen());
    {
        OwnPopups::DragScope drag;
        EXPECT_TRUE(OwnPopups::isOpen());
    }
    EXPECT_FALSE(OwnPopups::isOpen());
}

} // namespace
