#include "ItemsDockFixture.h"

namespace {

struct ClippingDrop {
    const char* name;
    std::function<QMimeData*()> payload;
    Qt::DropActions offered;
    // "kind|name|text-or-path" per item added; empty: the drop is refused.
    QStringList added;
};

QMimeData* textOf(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

std::vector<ClippingDrop> clippingDrops() {
    return {
        {"text keeps its surrounding space and line feeds",
         [] { return textOf(QStringLiteral("  first line\nsecond \n")); },
         Qt::CopyAction,
         {QStringLiteral("clippingText|first line second|  first line\nsecond \n")}},
        {"blank text is a clipping named Clipping",
         [] { return textOf(QStringLiteral("   ")); },
         Qt::CopyAction,
         {QStringLiteral("clippingText|Clipping|   ")}},
        {"empty text is refused", [] { return textOf(QString()); }, Qt::CopyAction, {}},
        {"a source that proposes Move is answered Copy",
         [] { return textOf(QStringLiteral("kept")); },
         Qt::MoveAction | Qt::CopyAction,
         {QStringLiteral("clippingText|kept|kept")}},
        {"text that is not UTF-8 arrives as it decodes",
         [] {
             auto* data = new QMimeData;
             data->setData(QStringLiteral("text/plain"), QByteArray("\xff\xfe ok"));
             return data;
         },
         Qt::CopyAction,
         {QStringLiteral("clippingText|\uFFFD\uFFFD ok|\uFFFD\uFFFD ok")}},
        {"two files, an app bundle staying a folder",
         [] {
             return ItemsDockTest::urls({QUrl(QStringLiteral("file:///home/u/a.txt")),
                                         QUrl(QStringLiteral("file:///opt/Tool.app"))});
         },
         Qt::CopyAction,
         {QStringLiteral("file|a.txt|/home/u/a.txt"),
          QStringLiteral("folder|Tool.app|/opt/Tool.app")}},
        {"a link with its text is a url item",
         [] {
             QMimeData* data = ItemsDockTest::urls({QUrl(QStringLiteral("https://example.com/"))});
             data->setText(QStringLiteral("https://example.com/"));
             return data;
         },
         Qt::CopyAction,
         {QStringLiteral("url|example.com|https://example.com/")}},
    };
}

class ClippingsDockViewTest : public ItemsDockTest {
protected:
    void startTray(std::vector<DockItem> items = {}) {
        Dock dock = Dock::makeDefault(DockKind::clippings, QStringLiteral("Clippings"));
        dock.tabs.front().items = std::move(items);
        dock.position = {100, 100, 180, 420};
        start(std::move(dock));
        fakes->fileSystem.addDirectory(QStringLiteral("/opt/Tool.app"));
        fakes->fileSystem.addFile(QStringLiteral("/home/u/a.txt"), {});
    }
    ClippingsDockView& tray() { return *view->clippings(); }
    QStringList added() {
        QStringList list;
        for (const DockItem& item : storedItems())
            list << QStringList{storedString(item.kind), item.name,
                                item.textContent.value_or(
                                    item.path.value_or(item.urlString.value_or(QString())))}
                        .join(u'|');
        return list;
    }
};

class ClippingDrops : public ClippingsDockViewTest,
                      public ::testing::WithParamInterface<ClippingDrop> {};

TEST_P(ClippingDrops, AddWhatTheDropHoldsAndAnswerCopy) {
    const ClippingDrop& c = GetParam();
    startTray();
    const std::unique_ptr<QMimeData> data(c.payload());
    const DropResult result = drop(*data, QPoint(90, 200), c.offered);
    EXPECT_EQ(added(), c.added);
    // A drop that adds nothing is not reported as done.
    EXPECT_EQ(result.accepted, !c.added.isEmpty());
    if (result.accepted) {
        EXPECT_EQ(result.action, Qt::CopyAction);
    }
    EXPECT_EQ(tray().showsHint(), c.added.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ClippingsDockView, ClippingDrops, ::testing::ValuesIn(clippingDrops()),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

TEST_F(ClippingsDockViewTest, AFileDragLightsTheTrayUpAndATextDragDoesNot) {
    startTray();
    const std::unique_ptr<QMimeData> file(urls({QUrl(QStringLiteral("file:///home/u/a.txt"))}));
    const std::unique_ptr<QMimeData> text(textOf(QStringLiteral("words")));
    for (const auto& [data, lit] : {std::pair{file.get(), true}, std::pair{text.get(), false}}) {
        QDragEnterEvent enter(QPoint(90, 200), Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_EQ(grid().isDropTargeted(), lit);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(viewport(), &leave);
    }
}

TEST_F(ClippingsDockViewTest, AClickCopiesTheClippingsTextExactly) {
    const QString text = QStringLiteral("  Grüße, 世界 🙂\n");
    startTray({DockItem::makeClipping(text)});
    EXPECT_FALSE(tray().showsHint());
    click(0);
    EXPECT_EQ(fakes->clipboard.text, text);
}

TEST_F(ClippingsDockViewTest, TheHintShowsThroughTheEmptyGrid) {
    startTray();
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
    startTray();
    const QString text(10 * 1024 * 1024, QChar(u'x'));
    const std::unique_ptr<QMimeData> data(textOf(text));
    EXPECT_TRUE(drop(*data, QPoint(90, 200)).accepted);
    ASSERT_EQ(storedItems().size(), 1u);
    EXPECT_EQ(storedItems().front().textContent->size(), text.size());
}

} // namespace
