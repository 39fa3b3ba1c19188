#include "views/DockItemTileView.h"
#include "ItemsDockFixture.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QMenu>

namespace {

using namespace std::chrono_literals;

QStringList actionTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("--") : action->text());
    return texts;
}

QAction* actionNamed(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

DockItem withIcon(DockItem item) {
    item.customIconData = QByteArray("not an image");
    return item;
}

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

const LauncherEntry trusted{QStringLiteral("xterm"), true, "1"};
const LauncherEntry untrusted{QStringLiteral("sh -c evil"), false, "2"};

const QString reveal = QStringLiteral("Reveal in File Manager");

std::vector<KindCase> kindCases() {
    auto app =
        ItemsDockTest::pathItem(DockItemKind::application, "/usr/share/applications/x.desktop");
    auto url = ItemsDockTest::item(DockItemKind::url, "Example");
    url.urlString = QStringLiteral("https://example.com/");
    auto badUrl = ItemsDockTest::item(DockItemKind::url, "Broken");
    badUrl.urlString = QStringLiteral("not a url");
    auto clip = DockItem::makeClipping(QStringLiteral("copied text"));
    const QStringList full{"Open", reveal, "Choose Custom Icon…", "--", "Remove From Dock"};
    const QStringList withReset{"Open",       reveal, "Choose Custom Icon…",
                                "Reset Icon", "--",   "Remove From Dock"};
    auto script = ItemsDockTest::pathItem(DockItemKind::file, "/home/u/x.desktop");
    return {
        {"trusted application", app, full, "launch /usr/share/applications/x.desktop", trusted},
        {"untrusted application asks first", app, full, "launch /usr/share/applications/x.desktop",
         untrusted},
        {"application whose entry cannot start", app, full, ""},
        // Only an application item runs a desktop entry; as a file it is shown, not run.
        {"file that is a launcher", script, full, "openPath /home/u/x.desktop", trusted},
        {"file with a custom icon", withIcon(ItemsDockTest::pathItem(DockItemKind::file, "/f")),
         withReset, "openPath /f"},
        {"folder", ItemsDockTest::pathItem(DockItemKind::folder, "/d"), full, "openPath /d"},
        {"url", url, full, "openUrl https://example.com/"},
        {"url that does not parse", badUrl, full, ""},
        {"text clipping", clip, {"Open", "Choose Custom Icon…", "--", "Remove From Dock"}, ""},
        {"clock", ItemsDockTest::docklet(DockletKind::clock), {"Remove From Dock"}, ""},
        {"docklet without a kind",
         ItemsDockTest::item(DockItemKind::docklet, "Odd"),
         {"Remove From Dock"},
         ""},
        {"separator",
         ItemsDockTest::item(DockItemKind::separator, "Sep"),
         {"Remove From Dock"},
         ""},
    };
}

class TileKinds : public ItemsDockTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(TileKinds, OffersTheMenuOfItsKindAndOpensAsItsKindSays) {
    const KindCase& c = GetParam();
    start(dockWith({c.item}));
    if (c.launcher)
        fakes->workspace.launchers.insert(*c.item.path, *c.launcher);
    std::unique_ptr<QMenu> menu(
        DockItemTileView::makeMenu(c.item, dockID, fakes->services, &grid()));
    EXPECT_EQ(actionTexts(*menu), c.menu) << c.name;

    click(0);
    const bool asks =
        c.launcher && !c.launcher->isTrusted && c.item.kind == DockItemKind::application;
    EXPECT_EQ(fakes->launchConfirmation.questions.size(), asks ? 1 : 0) << c.name;
    // Nothing runs before the user says yes.
    EXPECT_EQ(fakes->workspace.requests.isEmpty(), asks || c.click.isEmpty()) << c.name;
    fakes->launchConfirmation.answerAll(true);
    EXPECT_EQ(fakes->workspace.requests, c.click.isEmpty() ? QStringList() : QStringList{c.click})
        << c.name;
    const bool copies = c.item.kind == DockItemKind::clippingText;
    EXPECT_EQ(fakes->clipboard.text, copies ? c.item.textContent : std::nullopt) << c.name;
}

INSTANTIATE_TEST_SUITE_P(DockItemTileView, TileKinds, ::testing::ValuesIn(kindCases()),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

class DockItemTileViewTest : public ItemsDockTest {
protected:
    void SetUp() override {
        fakes_file = pathItem(DockItemKind::file, QStringLiteral("/home/u/notes.txt"));
        start(dockWith({fakes_file}));
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
        DockItemTileView::chooseCustomIcon(fakes_file.id, dockID, fakes->services, view.get());
        ASSERT_TRUE(fakes->imageChooser.answer(std::move(path)));
    }
    std::unique_ptr<QMenu> menuOfFirst() {
        return std::unique_ptr<QMenu>(
            DockItemTileView::makeMenu(storedItems().front(), dockID, fakes->services, &grid()));
    }

    DockItem fakes_file;
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

    actionNamed(*menuOfFirst(), QStringLiteral("Reset Icon"))->trigger();
    EXPECT_FALSE(storedItems().front().customIconData.has_value());
    EXPECT_EQ(actionNamed(*menuOfFirst(), QStringLiteral("Reset Icon")), nullptr);
    // Bytes that are no image are kept all the same (the chooser filters by type only).
    fakes->fileSystem.addFile(QStringLiteral("/home/u/fake.png"), "garbage");
    choose(QStringLiteral("/home/u/fake.png"));
    EXPECT_EQ(storedItems().front().customIconData, QByteArray("garbage"));
}

TEST_F(DockItemTileViewTest, AnAnswerThatComesTooLateOrEmptyWritesNothing) {
    const auto revision = store().revision(dockID);
    choose(std::nullopt);                          // cancelled
    choose(QStringLiteral("/home/u/missing.png")); // unreadable
    EXPECT_EQ(store().revision(dockID), revision);
    // Item removed while the chooser was open.
    DockItemTileView::chooseCustomIcon(fakes_file.id, dockID, fakes->services, view.get());
    store().removeItem(fakes_file.id, dockID);
    const auto afterRemoval = store().revision(dockID);
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    EXPECT_EQ(store().revision(dockID), afterRemoval);
    // Dock deleted while the chooser was open.
    DockItemTileView::chooseCustomIcon(fakes_file.id, dockID, fakes->services, view.get());
    store().removeDock(dockID);
    const std::vector<Dock> before = *store().docks;
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    EXPECT_EQ(*store().docks, before);
}

TEST_F(DockItemTileViewTest, MenuEntriesReachTheDesktopAndTheStore) {
    auto menu = menuOfFirst();
    actionNamed(*menu, QStringLiteral("Open"))->trigger();
    actionNamed(*menu, reveal)->trigger();
    ASSERT_EQ(fakes->workspace.requests.size(), 2);
    EXPECT_TRUE(fakes->workspace.requests[1].startsWith(QStringLiteral("reveal ")));
    actionNamed(*menu, QStringLiteral("Choose Custom Icon…"))->trigger();
    EXPECT_EQ(fakes->imageChooser.pending.size(), 1u);
    actionNamed(*menu, QStringLiteral("Remove From Dock"))->trigger();
    EXPECT_TRUE(storedItems().empty());
}

TEST_F(DockItemTileViewTest, ASecondaryClickOpensTheMenuAsAPopup) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, tileCentre(0),
                            viewport()->mapToGlobal(tileCentre(0)));
    QCoreApplication::sendEvent(viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(actionTexts(*menu).first(), QStringLiteral("Open"));
    menu->close();
    // Empty space has no menu.
    QContextMenuEvent empty(QContextMenuEvent::Mouse, QPoint(170, 400), QPoint(170, 400));
    QCoreApplication::sendEvent(viewport(), &empty);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(DockItemTileViewTest, TheDragPayloadIsTheIdInCapitals) {
    std::unique_ptr<QMimeData> data(DockItemTileView::dragPayload(fakes_file));
    EXPECT_EQ(data->text(), fakes_file.id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_FALSE(data->hasUrls());
}

TEST_F(DockItemTileViewTest, TheHoverSpringRunsOnlyWhileItMoves) {
    const std::size_t idle = fakes->scheduler.pendingCount();
    hover(tileCentre(0));
    EXPECT_EQ(grid().hoveredItem(), fakes_file.id);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(100ms);
    // A spring overshoots: past 1.08 on the way.
    double highest = 1.0;
    for (int i = 0; i < 20; ++i) {
        fakes->scheduler.advance(16ms);
        highest = std::max(highest, grid().iconScale(fakes_file.id));
    }
    EXPECT_GT(highest, 1.08);
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(fakes_file.id), 1.08);
    EXPECT_EQ(fakes->scheduler.pendingCount(), idle);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(viewport(), &leave);
    EXPECT_TRUE(grid().isAnimating());
    fakes->scheduler.advance(2s);
    EXPECT_FALSE(grid().isAnimating());
    EXPECT_DOUBLE_EQ(grid().iconScale(fakes_file.id), 1.0);
}

} // namespace
