// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"
#include "views/PanelInk.h"
#include "views/TileDrop.h"

#include <QLineEdit>
#include <QPointer>
#include <QStaticText>
#include <QUuid>
#include <QWidget>

#include <chrono>
#include <optional>
#include <vector>

class DockStore;
class FileSystem;
class Scheduler;
struct Dock;
struct DockTab;

// The row of tab buttons of a tabbed items dock: selects a tab on a click, adds one with "plus"
// (selected, its name open for editing), renames one in place (double-click, F2 or its menu) and
// deletes one from its menu, asking first when it holds items. Tabs that do not fit scroll
// sideways, a menu of all tabs beside "plus" says so, and the selected tab is kept in view. A drag
// held over a tab selects it; a tile or files dropped on a tab go to the end of it. Every change
// goes to the store and finds its tab by id in the dock as the store holds it at that moment.
// Keeps only the rename in progress and the drag over it; while its field is open the panel takes
// the keyboard (keyboardFocusWanted).
class DockTabStripView final : public QWidget {
    Q_OBJECT
public:
    // The scheduler times a drag held over a tab; the file system is asked about dropped files.
    DockTabStripView(const QUuid& dockId, DockStore& store, Scheduler& scheduler,
                     const FileSystem& fileSystem, QWidget* parent = nullptr);
    ~DockTabStripView() override;

    // Re-reads the dock's tabs.
    void refresh();
    // The dock as the store holds it now, or null.
    const Dock* dock() const;
    static const DockTab* tabOf(const Dock& dock, const QUuid& tabId);
    int preferredHeight() const;

    // The button of the tab at `index` and the "plus" button, in this widget's coordinates.
    QRect tabRect(std::size_t index) const;
    QRect plusRect() const;
    // The button that lists every tab, shown only while the tabs do not fit.
    QRect overflowRect() const;
    bool isOverflowing() const { return overflowing_; }
    void setInk(const PanelInk& ink);
    std::optional<QUuid> renamingTabId() const { return renamingTabId_; }
    QLineEdit* renameField() const { return editor_; }
    // The tab under a drag that the strip would take.
    std::optional<QUuid> dragHoverTabId() const { return dragHover_; }
    static constexpr std::chrono::milliseconds holdToSelect{500};

    void selectTab(const QUuid& tabId);
    // What "plus" does: a new tab, selected, with its name open for editing.
    void addTab();
    void beginRename(const QUuid& tabId);
    // Stores the field's text, exactly as typed, as the tab's name.
    void commitRename();
    // Closes the field without storing anything.
    void abandonRename();

Q_SIGNALS:
    void keyboardFocusWanted(bool wanted);
    // The tabs changed: added, removed, renamed, moved or selected.
    void tabsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Button {
        QUuid id;
        // Laid out once, for every repaint of the panel until the tab changes.
        QStaticText name;
        bool selected;
        int left; // before scrolling, from the start of the row
        int width;
        bool operator==(const Button&) const = default;
    };

    // `reveal`: scroll the selected tab into view.
    void relayout(bool reveal = true);
    void showOverflowMenu();
    void deleteTab(const QUuid& tabId);
    int tabsRight() const;
    std::optional<std::size_t> buttonAt(QPoint point) const;
    void scrollBy(int delta);
    void setDragHover(std::optional<QUuid> tabId);

    QUuid dockId_;
    DockStore& store_;
    std::vector<Button> buttons_;
    int scroll_ = 0;
    bool overflowing_ = false;
    PanelInk ink_;
    std::optional<QUuid> renamingTabId_;
    QPointer<QLineEdit> editor_;

    Scheduler& scheduler_;
    const FileSystem& fileSystem_;
    bool dragSeen_ = false;
    TileDrop::Contents dragContents_;
    std::optional<QUuid> dragHover_;
    Subscription holdTimer_;
};
