// The clippings tray on a real X server: a real XDND text drag from a second X client onto the
// tray, and a clipping copied to the real clipboard.
#include "backends/desktop/QtClipboard.h"
#include "fakes/FakeServices.h"
#include "integration/support/DesktopTools.h"
#include "integration/support/XSession.h"
#include "platform/QtScheduler.h"
#include "views/ClippingsDockView.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"

#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class ClippingsTrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        const Dock dock = Dock::makeDefault(DockKind::clippings, QStringLiteral("Dock"));
        dockID = dock.id;
        DockStoreTesting::setDocks(fakes.store, {dock});
        view = std::make_unique<DockContentView>(dockID, services);
        view->setGeometry(100, 100, 400, 300);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        Desktop::pause(300ms);
    }

    FakeServicesOn<QtScheduler> fakes;
    QtClipboard clipboard;
    DockViewServices services{
        fakes.store,    fakes.runningApps,   fakes.workspace,       fakes.launchConfirmation,
        clipboard,      fakes.trash,         fakes.fileIcons,       fakes.fileSystem,
        fakes.docklets, fakes.imageChooser,  fakes.hotKeys,         fakes.scheduler,
        fakes.keyCodes, fakes.launchAtLogin, fakes.windowActivation};
    QUuid dockID;
    std::unique_ptr<DockContentView> view;
    Desktop::ChildProcesses processes;
};

TEST_F(ClippingsTrayTest, DraggedTextBecomesAClippingAndAClickCopiesItExactly) {
    const QString data = QDir::homePath() + QStringLiteral("/dragged-text.txt");
    ASSERT_TRUE(Desktop::writeFile(data, "mine"));
    const QString text = QStringLiteral("  Grüße aus Köln\nzweite Zeile ");
    DockItemGridView& grid = *view->clippings()->grid();
    EXPECT_EQ(Desktop::dragFromSource(processes, {"--text", text, "--data", data},
                                      grid.viewport()->mapToGlobal(QPoint(200, 150))),
              QStringLiteral("copy"));
    EXPECT_TRUE(QFile::exists(data));
    const auto& items = fakes.store.dock(dockID)->tabs.front().items;
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items.front().textContent, text);

    // Over something older on the clipboard, which the clipping replaces whole.
    clipboard.setText(QStringLiteral("something older"));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.cellRect(0).center());
    EXPECT_EQ(QString::fromUtf8(Desktop::readClipboard()), text);
}

} // namespace
