// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemTileView.h"
#include "GuiTestSupport.h"

#include <QBuffer>
#include <QImage>

namespace {

using namespace std::chrono_literals;

struct KindCase {
    const char* name;
    DockItem item;
    QStringList menu;
    // What a click asks of the desktop (once any question was answered yes): "openPath ...",
    // "openUrl ...", "launch ...", or nothing.
    QString click;
    // The desktop entry at the item's path, when it is one.
    std::optional<LauncherEntry> launcher = {};
};

LauncherEntry launcher(const char* exec, bool isTrusted) {
    LauncherEntry entry;
    entry.execLine = QString::fromUtf8(exec);
    entry.isTrusted = isTrusted;
    return entry;
}
const LauncherEntry trusted = launcher("xterm", true);
const LauncherEntry untrusted = launcher("sh -c evil", false);
LauncherEntry withActions() {
    LauncherEntry entry = launcher("browser", true);
    entry.actions = {{"new-private", "New Private Window", "b -p"}, {"safe", "Safe & Sound", "b"}};
    return entry;
}
const QString reveal = QStringLiteral("Reveal in File Manager");

std::vector<KindCase> kindCases() {
    using T = ItemsDockTest;
    auto app = T::pathItem(DockItemKind::application, "/usr/share/applications/x.desktop");
    auto url = T::item(DockItemKind::url, "Example");
    url.urlString = QStringLiteral("https://example.com/");
    auto badUrl = T::item(DockItemKind::url, "Broken");
    badUrl.urlString = QStringLiteral("not a url");
    auto withIcon = T::pathItem(DockItemKind::file, "/f");
    withIcon.customIconData = QByteArray("not an image");
    const QStringList full{"Open", reveal, "Choose Custom Icon…", "-", "Remove From Dock"};
    const QStringList withReset{"Open",       reveal, "Choose Custom Icon…",
                                "Reset Icon", "-",    "Remove From Dock"};
    const QStringList removeOnly{"Remove From Dock"};
    const QStringList application{"Open", "New Window",      reveal, "Choose Custom Icon…",
                                  "-",    "Remove From Dock"};
    const QString launch = "launch /usr/share/applications/x.desktop launch-1";
    return {
        {"trusted application", app, application, launch, trusted},
        {"untrusted application asks first", app, application, launch, untrusted},
        // The entry's own actions come first, by name (an ampersand is text).
        {"application with actions", app,
         QStringList{"New Private Window", "Safe && Sound", "-"} + application, launch,
         withActions()},
        {"application whose entry cannot start", app, application, ""},
        // Only an application item runs a desktop entry; as a file it is shown, not run.
        {"file that is a launcher", T::pathItem(DockItemKind::file, "/home/u/x.desktop"), full,
         "openPath /home/u/x.desktop", trusted},
        {"file with a custom icon", withIcon, withReset, "openPath /f"},
        {"folder", T::pathItem(DockItemKind::folder, "/d"), full, "openPath /d"},
        {"url", url, full, "openUrl https://example.com/"},
        {"url that does not parse", badUrl, full, ""},
        {"text clipping", DockItem::makeClipping(QStringLiteral("copied text")),
         QStringList{"Open", "Choose Custom Icon…", "-", "Remove From Dock"}, ""},
        {"clock", T::docklet(DockletKind::clock), removeOnly, ""},
        {"docklet without a kind", T::item(DockItemKind::docklet, "Odd"), removeOnly, ""},
        {"separator", T::item(DockItemKind::separator, "Sep"), removeOnly, ""},
    };
}

class TileKinds : public ItemsDockTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(TileKinds, OffersTheMenuOfItsKindAndOpensAsItsKindSays) {
    const KindCase& c = GetParam();
    start(dockWith({c.item}));
    if (c.launcher)
        fakes->desktop.launchers.insert(*c.item.path, *c.launcher);
    QMenu* menu = contextMenuAt(viewport(), tileCentre(0));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menuTexts(*menu), c.menu);
    menu->close();

    click(0);
    const bool asks =
        c.launcher && !c.launcher->isTrusted && c.item.kind == DockItemKind::application;
    EXPECT_EQ(fakes->launchConfirmation.questions.size(), asks ? 1 : 0);
    // Nothing runs before the user says yes.
    EXPECT_EQ(fakes->desktop.requests.isEmpty(), asks || c.click.isEmpty());
    fakes->launchConfirmation.answerAll(true);
    EXPECT_EQ(fakes->desktop.requests, c.click.isEmpty() ? QStringList() : QStringList{c.click});
    const bool copies = c.item.kind == DockItemKind::clippingText;
    EXPECT_EQ(fakes->clipboard.text, copies ? c.item.textContent : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(DockItemTileView, TileKinds, ::testing::ValuesIn(kindCases()),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

class DockItemTileViewTest : public ItemsDockTest {
protected:
    void SetUp() override {
        start(dockWith({file}));
        fakes->fileSystem.addFile(QStringLiteral("/home/u/icon.png"), pngBytes());
    }
    static QByteArray pngBytes() {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    void choose(std::optional<QString> path) {
        DockItemTileView::chooseCustomIcon(file.id, dockId, fakes->services, view.get());
        ASSERT_TRUE(fakes->imageChooser.answer(std::move(path)));
    }
    QAction* entry(const QString& text) {
        menu.reset(
            DockItemTileView::makeMenu(storedItems().front(), dockId, fakes->services, &grid()));
        return menuEntry(*menu, text);
    }

    DockItem file = pathItem(DockItemKind::file, QStringLiteral("/home/u/notes.txt"));
    std::unique_ptr<QMenu> menu;
};

TEST_F(DockItemTileViewTest, TheChosenFilesBytesBecomeTheIconUntilReset) {
    choose(QStringLiteral("/home/u/icon.png"));
    EXPECT_EQ(storedItems().front().customIconData, pngBytes());
    settle();
    // The icon is drawn red from the custom image.
    const QImage shown = viewport()->grab().toImage();
    const QRect icon =
        DockItemTileView::iconRect(storedItems().front(), grid().cellRect(0), grid().gridLayout());
    EXPECT_EQ(QColor(shown.pixel(icon.center())).red(), 255);

    entry(QStringLiteral("Reset Icon"))->trigger();
    EXPECT_FALSE(storedItems().front().customIconData.has_value());
    EXPECT_EQ(entry(QStringLiteral("Reset Icon")), nullptr);
    // Bytes that are no image are kept all the same (the chooser filters by type only).
    fakes->fileSystem.addFile(QStringLiteral("/home/u/fake.png"), "garbage");
    choose(QStringLiteral("/home/u/fake.png"));
    EXPECT_EQ(storedItems().front().customIconData, QByteArray("garbage"));
}

TEST_F(DockItemTileViewTest, AnAnswerThatComesTooLateOrEmptyWritesNothing) {
    const auto revision = store().revision(dockId);
    choose(std::nullopt);                          // cancelled
    choose(QStringLiteral("/home/u/missing.png")); // unreadable
    EXPECT_EQ(store().revision(dockId), revision);
    // Item removed while the chooser was open.
    DockItemTileView::chooseCustomIcon(file.id, dockId, fakes->services, view.get());
    store().removeItem(file.id, dockId);
    const auto afterRemoval = store().revision(dockId);
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    EXPECT_EQ(store().revision(dockId), afterRemoval);
    // Dock deleted while the chooser was open.
    DockItemTileView::chooseCustomIcon(file.id, dockId, fakes->services, view.get());
    store().removeDock(dockId);
    const std::vector<Dock> before = *store().docks;
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    EXPECT_EQ(*store().docks, before);
}

TEST_F(DockItemTileViewTest, MenuEntriesReachTheDesktopAndTheStore) {
    entry(QStringLiteral("Open"))->trigger();
    entry(reveal)->trigger();
    EXPECT_EQ(fakes->desktop.requests,
              (QStringList{"openPath /home/u/notes.txt", "reveal file:///home/u/notes.txt"}));
    entry(QStringLiteral("Choose Custom Icon…"))->trigger();
    EXPECT_EQ(fakes->imageChooser.pending.size(), 1u);
    entry(QStringLiteral("Remove From Dock"))->trigger();
    EXPECT_TRUE(storedItems().empty());
    // Empty space has no menu.
    EXPECT_EQ(contextMenuAt(viewport(), QPoint(170, 400)), nullptr);
}

TEST_F(DockItemTileViewTest, TheDragPayloadIsTheIdInCapitals) {
    std::unique_ptr<QMimeData> data(DockItemTileView::dragPayload(file));
    EXPECT_EQ(data->text(), file.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_FALSE(data->hasUrls());
}

TEST_F(DockItemTileViewTest, TheHoverSpringRunsOnlyWhileItMoves) {
    const std::size_t idle = fakes->scheduler.pendingCount();
    hover(viewport(), tileCentre(0));
    EXPECT_EQ(grid().hoveredItem(), file.id);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(100ms);
    // A spring overshoots: past 1.08 on the way.
    double highest = 1.0;
    for (int i = 0; i < 20; ++i) {
        fakes->scheduler.advance(16ms);
        highest = std::max(highest, grid().iconScale(file.id));
    }
    EXPECT_GT(highest, 1.08);
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(file.id), 1.08);
    EXPECT_EQ(fakes->scheduler.pendingCount(), idle);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(viewport(), &leave);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(file.id), 1.0);
}

} // namespace
