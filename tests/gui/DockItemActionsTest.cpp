// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemActions.h"
#include "GuiTestSupport.h"
#include "views/DockItemTilePainter.h"

#include <QBuffer>
#include <QImage>
#include <QMessageBox>
#include <QThreadPool>

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

INSTANTIATE_TEST_SUITE_P(DockItemActions, TileKinds, ::testing::ValuesIn(kindCases()),
                         [](const auto& info) { return ItemsDockTest::caseName(info.param.name); });

class DockItemActionsTest : public ItemsDockTest {
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
        fakes->itemActions.chooseCustomIcon(file.id, dockId, view.get());
        ASSERT_TRUE(fakes->imageChooser.answer(std::move(path)));
        finishWork();
    }
    // The chosen image is made an icon on a worker: its answer, delivered.
    static void finishWork() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
    }
    // The text of the message box open now (closing it), or nothing.
    static QString takeMessage() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                const QString text = box->text();
                box->close();
                return text;
            }
        return {};
    }
    QAction* entry(const QString& text) {
        menu.reset(fakes->itemActions.makeMenu(storedItems().front(), dockId, &grid()));
        return menuEntry(*menu, text);
    }

    DockItem file = pathItem(DockItemKind::file, QStringLiteral("/home/u/notes.txt"));
    std::unique_ptr<QMenu> menu;
};

TEST_F(DockItemActionsTest, TheChosenFilesBytesBecomeTheIconUntilReset) {
    choose(QStringLiteral("/home/u/icon.png"));
    ASSERT_TRUE(storedItems().front().customIconData.has_value());
    EXPECT_EQ(QImage::fromData(*storedItems().front().customIconData).size(), QSize(4, 4));
    settle();
    // The icon is drawn red from the custom image.
    const QImage shown = viewport()->grab().toImage();
    const QRect icon = DockItemTilePainter::iconRect(storedItems().front(), grid().cellRect(0),
                                                     grid().gridLayout());
    EXPECT_EQ(QColor(shown.pixel(icon.center())).red(), 255);

    entry(QStringLiteral("Reset Icon"))->trigger();
    EXPECT_FALSE(storedItems().front().customIconData.has_value());
    EXPECT_EQ(entry(QStringLiteral("Reset Icon")), nullptr);
    // A file that is no image is refused, and the user told (the chooser filters by name only).
    fakes->fileSystem.addFile(QStringLiteral("/home/u/fake.png"), "garbage");
    choose(QStringLiteral("/home/u/fake.png"));
    EXPECT_FALSE(storedItems().front().customIconData.has_value());
    EXPECT_TRUE(takeMessage().contains(u"cannot be used as an icon"_qs));
}

TEST_F(DockItemActionsTest, AnAnswerThatComesTooLateOrEmptyWritesNothing) {
    const auto revision = store().revision(dockId);
    choose(std::nullopt);                          // cancelled
    choose(QStringLiteral("/home/u/missing.png")); // unreadable
    EXPECT_FALSE(takeMessage().isEmpty());
    EXPECT_EQ(store().revision(dockId), revision);
    // Item removed while the chooser was open.
    fakes->itemActions.chooseCustomIcon(file.id, dockId, view.get());
    store().removeItem(file.id, dockId);
    const auto afterRemoval = store().revision(dockId);
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    finishWork();
    EXPECT_EQ(store().revision(dockId), afterRemoval);
    // Dock deleted while the chooser was open.
    fakes->itemActions.chooseCustomIcon(file.id, dockId, view.get());
    store().removeDock(dockId);
    const std::vector<Dock> before = *store().docks;
    fakes->imageChooser.answer(QStringLiteral("/home/u/icon.png"));
    finishWork();
    EXPECT_EQ(*store().docks, before);
}

TEST_F(DockItemActionsTest, MenuEntriesReachTheDesktopAndTheStore) {
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

TEST_F(DockItemActionsTest, TheTrashTakesLocalFilesAndSucceedsOnlyWhenOneWent) {
    FakeTrash& trash = fakes->trash;
    trash.refused = {QStringLiteral("/home/u/locked")};
    const QUrl web(QStringLiteral("https://example.com/a"));
    const QUrl a = QUrl::fromLocalFile(QStringLiteral("/home/u/a/"));
    const QUrl locked = QUrl::fromLocalFile(QStringLiteral("/home/u/locked"));
    const QUrl b = QUrl::fromLocalFile(QStringLiteral("/home/u/b"));

    EXPECT_TRUE(fakes->itemActions.dropOnTrash({a, locked, web, b}));
    // In order, the trailing slash gone, the web link never asked for, the rest after a failure.
    EXPECT_EQ(trash.requested,
              QStringList({QStringLiteral("/home/u/a"), QStringLiteral("/home/u/locked"),
                           QStringLiteral("/home/u/b")}));
    EXPECT_FALSE(fakes->itemActions.dropOnTrash({locked}));
    EXPECT_FALSE(fakes->itemActions.dropOnTrash({web}));
    EXPECT_FALSE(fakes->itemActions.dropOnTrash({}));

    QMimeData onlyWeb;
    onlyWeb.setUrls({web});
    EXPECT_FALSE(DockItemActions::trashAccepts(onlyWeb));
    QMimeData mixed;
    mixed.setUrls({web, b});
    EXPECT_TRUE(DockItemActions::trashAccepts(mixed));
}

} // namespace
