// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

class QMessageBox;
class QWidget;
struct Dock;
struct DockTab;

// Asks before a dock, a tab with items, or what the Trash holds goes for good, naming what goes
// with it. The question
// opens without a nested event loop; `remove` runs only if the user agrees, and must find what
// it removes anew by id (the store may have changed meanwhile).
class DeleteConfirmation {
    Q_DECLARE_TR_FUNCTIONS(DeleteConfirmation)
public:
    static QMessageBox* forDock(const Dock& dock, QWidget* parent, std::function<void()> remove);
    static QMessageBox* forTab(const DockTab& tab, QWidget* parent, std::function<void()> remove);
    static QMessageBox* forTrash(QWidget* parent, std::function<void()> empty);

    // What the questions say will be lost, for the tests.
    static QString dockLosses(const Dock& dock);
    static QString tabLosses(const DockTab& tab);
};
