// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QUrl>
#include <QUuid>

class ApplicationLauncher;
class Clipboard;
class Desktop;
class DockStore;
class FileSystem;
class ImageFileChooser;
class QMenu;
class QMimeData;
class QWidget;
class Trash;
struct DockItem;

// What the user does to an item of a dock: opening it, its context menu, a custom icon, files
// dropped on the trash docklet. Every action that changes the
// store finds the item anew by id, in the store as it is at that moment. One for the whole
// program, made at start-up; its services and it outlive every view.
class DockItemActions {
    Q_DECLARE_TR_FUNCTIONS(DockItemActions)
public:
    struct Services {
        DockStore& store;
        Desktop& desktop;
        Clipboard& clipboard;
        // Brings running programs forward, launches desktop entries and their actions (asking
        // first when the desktop does not trust the entry).
        ApplicationLauncher& launcher;
        ImageFileChooser& imageChooser;
        FileSystem& fileSystem;
        Trash& trash;
    };

    explicit DockItemActions(const Services& services) : services_(services) {}

    // A click: opens the item as its kind says. Every opening of an item goes through here.
    void open(const DockItem& item) const;
    // A middle click: another copy of an application, whether one runs or not; any other item
    // opens as on a click.
    void openNew(const DockItem& item) const;
    // The item's context menu (deleted when closed).
    QMenu* makeMenu(const DockItem& item, const QUuid& dockId, QWidget* parent) const;
    // Asks for an image file and stores it, made a small PNG (CustomIcon), as the item's icon,
    // unless the item or its dock has gone by the time it is ready; a file that is no image is
    // refused with a message.
    void chooseCustomIcon(const QUuid& itemId, const QUuid& dockId, QWidget* parent) const;
    // Says why the chosen file is not the icon, over `parent` (may be null).
    static void tellIconRefused(QWidget* parent, const QString& problem);
    // Moves every local file of the list to the Trash, in order, going on after a failure; true
    // when at least one went.
    bool dropOnTrash(const QList<QUrl>& urls) const;

    // Whether a drag holds something the trash can take: a file of this computer.
    static bool trashAccepts(const QMimeData& data);
    // The item of that id in the dock as the store holds it now, or null.
    static const DockItem* currentItem(const DockStore& store, const QUuid& dockId,
                                       const QUuid& itemId);

private:
    Services services_;
};
