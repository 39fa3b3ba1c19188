#pragma once

#include "fakes/FakeServices.h"
#include "views/ClippingsDockView.h"
#include "views/DockContentView.h"
#include "views/DockItemGridView.h"
#include "views/DockTabStripView.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

// An items dock on the fake platform, its content view shown offscreen at the dock's size.
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
    static DockItem docklet(DockletKind kind) {
        return DockItem::makeDocklet(kind, storedString(kind));
    }
    static Dock dockWith(std::vector<DockItem> items, QSizeF size = {180, 420}) {
        Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("Dock"));
        dock.tabs.front().items = std::move(items);
        dock.position = {100, 100, size.width(), size.height()};
        return dock;
    }
    static QMimeData* urls(const QList<QUrl>& list) {
        auto* data = new QMimeData;
        data->setUrls(list);
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
    void start(Dock dock) {
        dockID = dock.id;
        view.reset();
        fakes = std::make_unique<FakeServices>(std::vector<Dock>{std::move(dock)});
        view = std::make_unique<DockContentView>(dockID, fakes->services);
        const DockPosition& frame = store().dock(dockID)->position;
        view->resize(int(frame.width), int(frame.height));
        view->show();
        settle();
    }
    void settle() {
        fakes->scheduler.runPending();
        QCoreApplication::processEvents();
    }

    DockStore& store() { return fakes->store; }
    const Dock& stored() { return *store().dock(dockID); }
    const std::vector<DockItem>& storedItems() { return stored().tabs.front().items; }
    // The items grid, or the clippings tray's.
    DockItemGridView& grid() { return view->grid() ? *view->grid() : *view->clippings()->grid(); }
    QWidget* viewport() { return grid().viewport(); }
    QPoint tileCentre(std::int64_t index) { return grid().cellRect(index).center(); }
    void click(std::int64_t index, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(viewport(), button, {}, tileCentre(index));
    }

    void hover(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport()->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(viewport(), &move);
    }

    struct DropResult {
        bool accepted;
        Qt::DropAction action;
    };
    // Enters, moves over the point and drops, as a drag from another program would.
    DropResult drop(const QMimeData& data, QPoint at, Qt::DropActions offered = Qt::CopyAction) {
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport(), &enter);
        QDropEvent dropped(QPointF(at), offered, &data, Qt::LeftButton, {});
        // As a source that proposes Move leaves it, unless the target answers otherwise.
        if (offered & Qt::MoveAction)
            dropped.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(viewport(), &dropped);
        settle();
        return {dropped.isAccepted(), dropped.dropAction()};
    }
    QUuid dockID;
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<DockContentView> view;
};
