// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemActions.h"

#include "platform/FileSystem.h"
#include "platform/ImageFileChooser.h"
#include "platform/Trash.h"
#include "runtime/ApplicationLauncher.h"
#include "store/DockStore.h"
#include "support/CustomIcon.h"
#include "support/DesktopLaunch.h"
#include "views/ApplicationMenuEntries.h"
#include "views/DroppedItems.h"

#include <QFutureWatcher>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

void DockItemActions::open(const DockItem& item) const {
    DesktopLaunch::open(item, services_.launcher, services_.desktop, services_.clipboard);
}

void DockItemActions::openNew(const DockItem& item) const {
    if (const auto entry = DesktopLaunch::desktopEntryOf(item))
        services_.launcher.openNew(*entry);
    else
        open(item);
}

const DockItem* DockItemActions::currentItem(const DockStore& store, const QUuid& dockId,
                                             const QUuid& itemId) {
    const Dock* dock = store.dock(dockId);
    if (!dock)
        return nullptr;
    for (const DockTab& tab : dock->tabs)
        for (const DockItem& item : tab.items)
            if (item.id == itemId)
                return &item;
    return nullptr;
}

QMenu* DockItemActions::makeMenu(const DockItem& item, const QUuid& dockId, QWidget* parent) const {
    auto* menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QUuid itemId = item.id;
    const bool opens = item.kind != DockItemKind::docklet && item.kind != DockItemKind::separator;
    const auto entry = DesktopLaunch::desktopEntryOf(item);
    if (entry)
        ApplicationMenuEntries::addEntryActions(*menu, services_.launcher, *entry);
    if (opens) {
        menu->addAction(tr("Open"), menu, [this, item] { open(item); });
        if (entry)
            ApplicationMenuEntries::addNewWindow(*menu, services_.launcher, *entry);
        if (item.kind != DockItemKind::clippingText)
            menu->addAction(tr("Reveal in File Manager"), menu,
                            [this, item] { DesktopLaunch::reveal(item, services_.desktop); });
        // The chooser outlives the menu; it is placed over the dock's panel.
        QPointer<QWidget> window = parent ? parent->window() : nullptr;
        menu->addAction(tr("Choose Custom Icon…"), menu, [this, itemId, dockId, window] {
            chooseCustomIcon(itemId, dockId, window);
        });
        if (item.customIconData)
            menu->addAction(tr("Reset Icon"), menu, [this, itemId, dockId] {
                const DockItem* current = currentItem(services_.store, dockId, itemId);
                if (!current || !current->customIconData)
                    return;
                DockItem changed = *current;
                changed.customIconData.reset();
                services_.store.updateItem(changed, dockId);
            });
        menu->addSeparator();
    }
    menu->addAction(tr("Remove From Dock"), menu,
                    [this, itemId, dockId] { services_.store.removeItem(itemId, dockId); });
    return menu;
}

void DockItemActions::chooseCustomIcon(const QUuid& itemId, const QUuid& dockId,
                                       QWidget* parent) const {
    QPointer<QWidget> window = parent;
    services_.imageChooser.chooseImage(parent, [this, itemId, dockId,
                                                window](std::optional<QString> path) {
        if (!path)
            return;
        const std::optional<QByteArray> bytes = services_.fileSystem.readAll(*path);
        if (!bytes) {
            tellIconRefused(window, tr("The file cannot be read."));
            return;
        }
        // Decoded and scaled down on a worker: a large photograph takes seconds.
        auto* watcher = new QFutureWatcher<CustomIcon::Prepared>();
        QObject::connect(watcher, &QFutureWatcherBase::finished, watcher,
                         [this, watcher, itemId, dockId, window] {
                             watcher->deleteLater();
                             const CustomIcon::Prepared prepared = watcher->result();
                             if (!prepared.png) {
                                 tellIconRefused(window, prepared.problem);
                                 return;
                             }
                             // The dock or the item may have gone meanwhile.
                             const DockItem* current = currentItem(services_.store, dockId, itemId);
                             if (!current)
                                 return;
                             DockItem changed = *current;
                             changed.customIconData = *prepared.png;
                             services_.store.updateItem(changed, dockId);
                         });
        watcher->setFuture(QtConcurrent::run(&CustomIcon::fromFileContents, *bytes));
    });
}

void DockItemActions::tellIconRefused(QWidget* parent, const QString& problem) {
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Choose Custom Icon"),
                                tr("This file cannot be used as an icon.\n\n%1").arg(problem),
                                QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool DockItemActions::trashAccepts(const QMimeData& data) {
    if (!data.hasUrls())
        return false;
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

bool DockItemActions::dropOnTrash(const QList<QUrl>& urls) const {
    int moved = 0;
    for (const QUrl& url : urls) {
        const QString path = DroppedItems::localPath(url);
        if (!path.isEmpty() && services_.trash.moveToTrash(path))
            ++moved;
    }
    return moved > 0;
}
