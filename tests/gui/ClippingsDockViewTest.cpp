// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuiTestSupport.h"

// What the tray's drops add is in the drop table of DockItemGridViewTest.
namespace {

class ClippingsDockViewTest : public ItemsDockTest {
protected:
    void SetUp() override { start(dockWith({}, {180, 420}, DockKind::clippings)); }
    ClippingsDockView& tray() { return *view->clippings(); }
    static std::unique_ptr<QMimeData> text(const QString& text) {
        auto data = std::make_unique<QMimeData>();
        data->setText(text);
        return data;
    }
};

TEST_F(ClippingsDockViewTest, AFileDragLightsTheTrayUpAndATextDragDoesNot) {
    const std::unique_ptr<QMimeData> file = urls({"file:///home/u/a.txt"});
    const std::unique_ptr<QMimeData> words = text(QStringLiteral("words"));
    for (const auto& [data, lit] : {std::pair{file.get(), true}, std::pair{words.get(), false}}) {
        QDragEnterEvent enter(QPoint(90, 200), Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(grid().isDropTargeted(), lit);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(viewport(), &leave);
    }
}

TEST_F(ClippingsDockViewTest, TheHintShowsThroughTheEmptyGrid) {
    ASSERT_TRUE(tray().showsHint());
    const QImage image = view->grab().toImage();
    const QRect below = tray().geometry().adjusted(0, 20, 0, 0);
    int lit = 0;
    for (int y = below.top(); y < below.top() + 60; ++y)
        for (int x = below.left(); x < below.right(); ++x)
            lit += qRed(image.pixel(x, y)) > 100;
    EXPECT_GT(lit, 20);
}

TEST_F(ClippingsDockViewTest, TenMegabytesOfTextAreKeptWhole) {
    const QString big(10 * 1024 * 1024, QChar(u'x'));
    EXPECT_TRUE(drop(*text(big), QPoint(90, 200)).accepted);
    ASSERT_EQ(storedItems().size(), 1u);
    EXPECT_EQ(storedItems().front().textContent->toString().size(), big.size());
    EXPECT_FALSE(tray().showsHint());
}

} // namespace
