// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/Subscription.h"

#include <QObject>

#include <memory>

class DockStore;
class Notifications;
class QMenu;
class QSystemTrayIcon;
class Scheduler;

// The tray icon and its menu: one toggle per dock, "New Dock", "Preferences…", "Quit Moorline".
// The menu is rebuilt on the pass of the event loop after a dock's name or visibility, or the
// list of docks, changed; nothing else about a dock reaches it. It is also where the program
// tells the user that their docks cannot be saved, and that they can again: in the tray icon's
// message, or through a desktop notification where no tray shows the icon.
class TrayMenu final : public QObject {
    Q_OBJECT
public:
    TrayMenu(DockStore& store, Scheduler& scheduler, Notifications& notifications,
             QObject* parent = nullptr);
    ~TrayMenu() override;

    void show();
    QMenu* menu() const { return menu_.get(); }
    QSystemTrayIcon* trayIcon() const { return trayIcon_.get(); }

Q_SIGNALS:
    void preferencesRequested();
    void quitRequested();

private:
    void rebuild();
    void saveProblemChanged(const QString& problem);
    void tell(const QString& summary, const QString& body, bool warning);

    DockStore& store_;
    Notifications& notifications_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> trayIcon_;
    // Read on a later pass, once per burst of changes.
    CoalescedTask rebuildTask_;
    Subscription storeChanges_;
    Subscription saveProblem_;
    bool toldOfSaveProblem_ = false;
};
