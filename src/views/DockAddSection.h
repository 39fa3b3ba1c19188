// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockItem.h"

#include <QUuid>
#include <QWidget>

#include <vector>

class DefaultApplications;
class DockStore;
class FileIcons;
class FileSystem;
class PathChooser;
class QPushButton;

// The editor's ways into a launcher dock besides dragging: an application from the desktop's
// menu, files and folders, a link. Each adds to the tab the dock has selected when the user
// answers, at its end.
class DockAddSection final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        DockStore& store;
        // Names and kinds of the files chosen.
        const FileSystem& fileSystem;
        const DefaultApplications& applications;
        const FileIcons& fileIcons;
        PathChooser& pathChooser;
    };

    DockAddSection(const QUuid& dockId, const Services& services, QWidget* parent = nullptr);

    void chooseApplication();
    void chooseFiles();
    void chooseLink();

private:
    QPushButton* makeButton(const QString& title, const char* name, const char* symbol);
    // Looks the dock up when the answer comes: it may have changed, or gone, meanwhile.
    static void addToSelectedTab(DockStore& store, const QUuid& dockId,
                                 const std::vector<DockItem>& items);

    QUuid dockId_;
    Services services_;
};
