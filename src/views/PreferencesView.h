// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/Subscription.h"
#include "store/DockChange.h"
#include "views/DockEditorView.h"

#include <QUuid>
#include <QWidget>

#include <optional>

class GeneralSettingsView;
class LaunchAtLogin;
class QListWidget;
class QListWidgetItem;
class QStackedWidget;
class QToolButton;

// The settings window's two columns: a sidebar listing "General" and the docks in store order,
// with a "+" that makes a new dock, and a detail area with the general page or the editor of the
// selected dock. The sidebar follows the store in place; a selected dock that goes away leaves
// no row highlighted and the general page on show.
class PreferencesView final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        DockStore& store;
        Scheduler& scheduler;
        HotKeyManager& hotKeys;
        const KeyCodeTranslator& keyCodes;
        // The general page's login switch.
        LaunchAtLogin& launchAtLogin;

        DockEditorView::Services editor() const { return {store, scheduler, hotKeys, keyCodes}; }
    };

    explicit PreferencesView(const Services& services, QWidget* parent = nullptr);
    ~PreferencesView() override;

    std::optional<QUuid> selectedDockId() const { return selectedDockId_; }
    // Selects a dock's row (or, with nothing, "General") as a click would.
    void select(const std::optional<QUuid>& dockId);
    // Follows the store now (normally on the pass of the event loop after it changes).
    void refresh();

    QListWidget* sidebar() const { return sidebar_; }
    QToolButton* addButton() const { return addButton_; }
    GeneralSettingsView* generalPage() const { return general_; }
    // The editor on show, or null while the general page is.
    DockEditorView* editor() const;

Q_SIGNALS:
    void quitRequested();

private:
    QWidget* makeSidebarColumn();
    void syncRows();
    void selectionChanged();
    void showDetail();
    QListWidgetItem* rowOf(const std::optional<QUuid>& dockId) const;
    bool sidebarMayBeStale(const DockChange& change) const;

    Services services_;
    std::optional<QUuid> selectedDockId_;
    QListWidget* sidebar_ = nullptr;
    QToolButton* addButton_ = nullptr;
    QStackedWidget* detail_ = nullptr;
    GeneralSettingsView* general_ = nullptr;
    DockEditorView* editor_ = nullptr;
    CoalescedTask refreshTask_{services_.scheduler, [this] { refresh(); }};
    Subscription storeChanges_;
};
