// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/FakeServices.h"
#include "views/ClippingsDockView.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"
#include "views/DockTabStripView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>

#include <QScrollBar>
#include <QTest>
#include <functional>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

// What the settings window's tests share: a store on the virtual clock with docks, the passes
// of the event loop that views refresh on, and key presses as X delivers them.
struct SettingsFixture : ::testing::Test {
    explicit SettingsFixture(std::vector<Dock> docks = {}) : fakes(std::move(docks)) {}

    // Runs the views' refreshes and Qt's deferred deletions.
    void settle() {
        fakes.scheduler.runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        fakes.scheduler.runPending();
    }
    // The writes of docks.json that the changes so far cause once the save delay has passed.
    int writesAfterDelay() {
        const int before = fakes.fileSystem.writeCount;
        fakes.scheduler.advance(std::chrono::seconds(1));
        return fakes.fileSystem.writeCount - before;
    }
    const Dock& stored(std::size_t index = 0) const { return (*fakes.store.docks)[index]; }

    FakeServices fakes;
};

// A key press (and its release) with the X keycode as its native scan code. Sent as Qt sends
// a synthesised press, so that the application's shortcuts get their say first.
inline void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                     std::uint32_t scanCode, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, scanCode, 0, 0, text);
    QApplication::sendEvent(target, &release);
}

// A menu's entries: separators as "-", submenus as "title>".
inline QStringList menuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QStringLiteral("-")
                  : action->menu()      ? action->text() + QLatin1Char('>')
                                        : action->text());
    return texts;
}
inline QAction* menuEntry(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}
// A secondary click at a point of the widget: the popup menu it opened, if any.
inline QMenu* contextMenuAt(QWidget* widget, QPoint at) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QCoreApplication::sendEvent(widget, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Counts the paints of the widgets it watches and the area they cover.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }
    int paints = 0;
    QRegion region;
};

// A dock on the fake platform, its content view shown offscreen at the dock's size.
class ItemsDockTest : public ::testing::Test {
public:
    static DockItem item(DockItemKind kind, const QString& name) {
        DockItem made;
        made.id = QUuid::createUuid();
        made.kind = kind;
        made.name = name;
        return made;
    }
    static DockItem pathItem(DockItemKind kind, const QString& path) {
        DockItem made = item(kind, path.section(u'/', -1));
        made.path = path;
        return made;
    }
    static std::vector<DockItem> files(int count) {
        std::vector<DockItem> made;
        for (int i = 0; i < count; ++i)
            made.push_back(pathItem(DockItemKind::file, QStringLiteral("/f%1").arg(i)));
        return made;
    }
    static DockItem docklet(DockletKind kind) {
        return DockItem::makeDocklet(kind, storedString(kind));
    }
    static Dock dockWith(std::vector<DockItem> items, QSizeF size = {180, 420},
                         DockKind kind = DockKind::items) {
        Dock dock = Dock::makeDefault(kind, QStringLiteral("Dock"));
        dock.tabs.front().items = std::move(items);
        dock.position = {100, 100, size.width(), size.height()};
        return dock;
    }
    static std::unique_ptr<QMimeData> urls(const QStringList& list) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& url : list)
            urls.append(QUrl(url));
        if (!urls.isEmpty())
            data->setUrls(urls);
        return data;
    }
    // A table row's description as a test name: its letters and digits.
    static std::string caseName(const char* description) {
        std::string name;
        for (const char* c = description; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    }

protected:
    // `prepare` fills the fake platform before the view first draws.
    void start(Dock dock, const std::function<void(FakeServices&)>& prepare = {}) {
        dockId = dock.id;
        view.reset();
        fakes = std::make_unique<FakeServices>(std::vector<Dock>{std::move(dock)});
        if (prepare)
            prepare(*fakes);
        view = std::make_unique<DockContentView>(dockId, fakes->contentServices());
        const DockPosition& frame = store().dock(dockId)->position;
        view->resize(int(frame.width), int(frame.height));
        view->show();
        settle();
    }
    void settle() {
        fakes->scheduler.runPending();
        QCoreApplication::processEvents();
    }

    DockStore& store() { return fakes->store; }
    const Dock& stored() { return *store().dock(dockId); }
    const std::vector<DockItem>& storedItems() { return stored().tabs.front().items; }
    // The items grid, or the clippings tray's.
    DockItemGridView& grid() { return view->grid() ? *view->grid() : *view->clippings()->grid(); }
    QWidget* viewport() { return grid().viewport(); }
    QPoint tileCentre(std::int64_t index) { return grid().cellRect(index).center(); }
    void click(std::int64_t index) {
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, tileCentre(index));
    }
    void hover(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(widget, &move);
    }

    struct DropResult {
        bool accepted;
        Qt::DropAction action;
    };
    // Enters, moves over the point and drops, as a drag from another program would.
    DropResult drop(const QMimeData& data, QPoint at, Qt::DropActions offered = Qt::CopyAction,
                    Qt::KeyboardModifiers modifiers = {}) {
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(viewport(), &enter);
        QDropEvent dropped(QPointF(at), offered, &data, Qt::LeftButton, modifiers);
        // As a source that proposes Move leaves it, unless the target answers otherwise.
        if (offered & Qt::MoveAction)
            dropped.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(viewport(), &dropped);
        settle();
        return {dropped.isAccepted(), dropped.dropAction()};
    }
    QUuid dockId;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<DockContentView> view;
};
