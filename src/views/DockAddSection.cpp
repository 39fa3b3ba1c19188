// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockAddSection.h"

#include "platform/DefaultApplications.h"
#include "platform/PathChooser.h"
#include "store/DockStore.h"
#include "support/IconResolver.h"
#include "views/ApplicationChooserDialog.h"
#include "views/DroppedItems.h"
#include "views/LinkDialog.h"

#include <QHBoxLayout>
#include <QPushButton>

DockAddSection::DockAddSection(const QUuid& dockId, const Services& services, QWidget* parent)
    : QWidget(parent), dockId_(dockId), services_(services) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(makeButton(tr("Add Application\u2026"), "addApplication", "app"));
    row->addWidget(makeButton(tr("Add File or Folder\u2026"), "addFiles", "folder"));
    row->addWidget(makeButton(tr("Add Link\u2026"), "addLink", "link"));
    row->addStretch(1);
    connect(findChild<QPushButton*>(QStringLiteral("addApplication")), &QPushButton::clicked, this,
            &DockAddSection::chooseApplication);
    connect(findChild<QPushButton*>(QStringLiteral("addFiles")), &QPushButton::clicked, this,
            &DockAddSection::chooseFiles);
    connect(findChild<QPushButton*>(QStringLiteral("addLink")), &QPushButton::clicked, this,
            &DockAddSection::chooseLink);
}

QPushButton* DockAddSection::makeButton(const QString& title, const char* name,
                                        const char* symbol) {
    auto* button = new QPushButton(IconResolver::symbol(QLatin1String(symbol)), title, this);
    button->setObjectName(QLatin1String(name));
    return button;
}

void DockAddSection::addToSelectedTab(DockStore& store, const QUuid& dockId,
                                      const std::vector<DockItem>& items) {
    const Dock* dock = store.dock(dockId);
    if (items.empty() || !dock || dock->selectedTabIndex < 0 ||
        dock->selectedTabIndex >= static_cast<std::int64_t>(dock->tabs.size()))
        return;
    const DockTab& tab = dock->tabs[static_cast<std::size_t>(dock->selectedTabIndex)];
    // One change however many were chosen.
    store.insertItems(items, dockId, tab.id, static_cast<std::int64_t>(tab.items.size()));
}

void DockAddSection::chooseApplication() {
    auto* dialog = new ApplicationChooserDialog(services_.applications.applications(),
                                                services_.fileIcons, window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    DockStore* store = &services_.store;
    const FileSystem* fileSystem = &services_.fileSystem;
    const QUuid dockId = dockId_;
    connect(dialog, &ApplicationChooserDialog::chosen, dialog,
            [store, fileSystem, dockId](const QStringList& paths) {
                std::vector<DockItem> items;
                for (const QString& path : paths)
                    items.push_back(DockItem::makeApplication(path, *fileSystem));
                addToSelectedTab(*store, dockId, items);
            });
    dialog->open();
}

void DockAddSection::chooseFiles() {
    DockStore* store = &services_.store;
    const FileSystem* fileSystem = &services_.fileSystem;
    const QUuid dockId = dockId_;
    services_.pathChooser.choosePaths(
        window(), [store, fileSystem, dockId](const QStringList& paths) {
            std::vector<DockItem> items;
            // As a drop does: a desktop entry is an application.
            for (const QString& path : paths)
                items.push_back(DroppedItems::fromPath(path, *fileSystem));
            addToSelectedTab(*store, dockId, items);
        });
}

void DockAddSection::chooseLink() {
    auto* dialog = new LinkDialog(window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    DockStore* store = &services_.store;
    const QUuid dockId = dockId_;
    connect(dialog, &LinkDialog::chosen, dialog,
            [store, dockId](const QString& name, const QUrl& url) {
                addToSelectedTab(*store, dockId, {DroppedItems::makeLink(url, name)});
            });
    dialog->open();
}
