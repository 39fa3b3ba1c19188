#include "backends/desktop/QtClipboard.h"
#include "fakes/FakeLaunchConfirmation.h"
#include "fakes/FakeWorkspace.h"
#include "integration/support/XSession.h"
#include "models/DockItem.h"
#include "support/WorkspaceLaunch.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

// xclip asks us for the selection, so our event loop has to run while it reads.
QByteArray readClipboard() {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {QStringLiteral("-o"), QStringLiteral("-selection"), QStringLiteral("clipboard")});
    if (!xclip.waitForStarted(5000))
        return "<no xclip>";
    Desktop::waitUntil([&] { return xclip.state() == QProcess::NotRunning; },
                       std::chrono::seconds(10));
    if (xclip.state() != QProcess::NotRunning) {
        xclip.kill();
        xclip.waitForFinished(1000);
        return "<timed out>";
    }
    return xclip.readAllStandardOutput();
}

} // namespace

TEST(ClipboardTest, OpeningAClippingPutsItsTextOnTheClipboard) {
    QtClipboard clipboard;
    FakeWorkspace workspace;
    FakeLaunchConfirmation confirmation;
    clipboard.setText(QStringLiteral("something older"));
    const QString text = QStringLiteral("Grüße, 世界!\n  second line\twith tab");
    WorkspaceLaunch::open(DockItem::makeClipping(text), workspace, clipboard, confirmation);
    EXPECT_EQ(QString::fromUtf8(readClipboard()), text);
    EXPECT_TRUE(workspace.requests.isEmpty());

    clipboard.setText(QStringLiteral("replaced"));
    EXPECT_EQ(readClipboard(), QByteArray("replaced"));
}
