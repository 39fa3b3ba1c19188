// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStaticText>
#include <QUuid>
#include <QWidget>

#include <optional>
#include <vector>

class DockStore;
struct Dock;

// The row of tab buttons of a tabbed items dock: selects a tab on a click, adds one with "plus",
// renames one in place and deletes one from its menu. Every change goes to the store and finds
// its tab by id in the dock as the store holds it at that moment. Keeps only the rename in
// progress; while its field is open the panel takes the keyboard (keyboardFocusWanted).
class DockTabStripView final : public QWidget {
    Q_OBJECT
public:
    DockTabStripView(const QUuid& dockId, DockStore& store, QWidget* parent = nullptr);
    ~DockTabStripView() override;

    // Re-reads the dock's tabs.
    void refresh();
    int preferredHeight() const;

    // The button of the tab at `index` and the "plus" button, in this widget's coordinates.
    QRect tabRect(std::size_t index) const;
    QRect plusRect() const;
    std::optional<QUuid> renamingTabId() const { return renamingTabId_; }
    QLineEdit* renameField() const { return editor_; }

    void selectTab(const QUuid& tabId);
    void beginRename(const QUuid& tabId);
    // Stores the field's text, exactly as typed, as the tab's name.
    void commitRename();
    // Closes the field without storing anything.
    void abandonRename();

Q_SIGNALS:
    void keyboardFocusWanted(bool wanted);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

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

    const Dock* dock() const;
    void relayout();
    int tabsRight() const;
    std::optional<std::size_t> buttonAt(QPoint point) const;
    void scrollBy(int delta);

    QUuid dockId_;
    DockStore& store_;
    std::vector<Button> buttons_;
    int scroll_ = 0;
    std::optional<QUuid> renamingTabId_;
    QPointer<QLineEdit> editor_;
};
