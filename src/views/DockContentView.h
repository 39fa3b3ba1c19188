// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/Dock.h"
#include "platform/CoalescedTask.h"
#include "platform/RunningApplication.h"
#include "platform/Subscription.h"
#include "views/DockItemGridView.h"
#include "views/ElidedLine.h"
#include "views/PanelBackground.h"
#include "views/PanelInk.h"

#include <QPainterPath>
#include <QStaticText>
#include <QUuid>
#include <QWidget>

#include <optional>

class ApplicationLauncher;
class BadgeModel;
class ClippingsDockView;
class DockTabStripView;
class PanelResizeGrip;
class ProcessDockView;
class RunningAppsMonitor;

// The whole content of one dock's panel: the rounded tinted background, the hairline border, the
// header with the dock's name (from which the panel is dragged), the tab strip of a tabbed items
// dock and the body of the dock's kind. Looks its dock up in the store on every paint, re-reads
// it on the pass after a store change of what it shows (the dock's content, appearance or name),
// and draws nothing once it is gone.
class DockContentView final : public QWidget {
    Q_OBJECT
public:
    struct Services {
        DockStore& store;
        Scheduler& scheduler;
        // The application switcher's, and the one the keyboard goes back to after a rename.
        RunningAppsMonitor& runningApps;
        FileSystem& fileSystem;
        FileIcons& fileIcons;
        IconCache& iconCache;
        DockletRuntime& docklets;
        const DockItemActions& itemActions;
        // Running dots and badges on application tiles.
        ApplicationLauncher& launcher;
        BadgeModel& badges;
        Trash& trash;

        DockItemGridView::Services grid() const {
            return {store,       scheduler,   fileSystem, fileIcons, iconCache, docklets,
                    itemActions, runningApps, launcher,   badges,    trash};
        }
    };

    DockContentView(const QUuid& dockId, const Services& services, QWidget* parent = nullptr);
    ~DockContentView() override;

    const QUuid& dockId() const { return dockId_; }
    // The header's height for a dock: its padding around one line of the name.
    int headerHeight(const Dock& dock) const;
    static QFont headerFont();
    // What an empty launcher dock says.
    static QString launcherHint();
    // The dock's corner radius as drawn (0 for a gone dock or a value that makes no sense).
    double cornerRadius() const;
    // The rounded outline of a rectangle as every part of the panel draws and clips it.
    static QPainterPath outline(const QRectF& rect, double cornerRadius);

    // Brings the view and its children in line with the dock, as far as the dock changed since
    // the last time. Runs by itself on the pass of the event loop after a change.
    void refresh();
    // While the keyboard is with the dock (its hot key brought it), the body of the dock's kind
    // has it: the grid or the running applications.
    void setKeyboardSession(bool active);
    DockTabStripView* tabStrip() const { return tabStrip_; }
    DockItemGridView* grid() const { return grid_; }
    ProcessDockView* processes() const { return processes_; }
    ClippingsDockView* clippings() const { return clippings_; }
    PanelResizeGrip* resizeGrip() const { return resizeGrip_; }
    // What the panel's text and glyphs are drawn in, for its tint and opacity.
    const PanelInk& ink() const { return ink_; }

Q_SIGNALS:
    void cornerRadiusChanged(double radius);
    // The panel takes the keyboard while a field of this view is open, and not otherwise.
    void acceptsFocusChanged(bool accepts);
    // Escape: the keyboard is to go back to the window that had it (at the key's time).
    void keyboardReturnRequested(std::uint32_t userTime);
    // The header was pressed where the window system cannot move the panel for us.
    void moveByHandRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    // What the view draws itself, to repaint only when that changed.
    struct Chrome {
        QString name;
        DockKind kind;
        DockStyle style;
        DockAppearance appearance;
        bool operator==(const Chrome&) const = default;
    };

    const Dock* dock() const;
    void makeChildren(const Dock* dock);
    void layoutChildren(const Dock* dock);
    void keyboardFocusWanted(bool wanted);
    void applyInk(const Dock* dock);
    QWidget* body() const;
    void describeWindow(const Chrome& chrome);
    void switchTab(int step);
    void renameSelectedTab();
    void paintBackground(QPainter& painter, const Dock& dock) const;
    void paintHeader(QPainter& painter, const Dock& dock) const;

    QUuid dockId_;
    Services services_;
    // The store's revisions of the dock's content and appearance when last refreshed.
    std::uint64_t contentRevision_ = 0;
    std::uint64_t appearanceRevision_ = 0;
    bool refreshed_ = false;
    CoalescedTask refreshTask_{services_.scheduler, [this] { refresh(); }};
    double cornerRadius_ = -1;
    std::optional<Chrome> chrome_;
    DockTabStripView* tabStrip_ = nullptr;
    DockItemGridView* grid_ = nullptr;
    ProcessDockView* processes_ = nullptr;
    ClippingsDockView* clippings_ = nullptr;
    PanelResizeGrip* resizeGrip_ = nullptr;
    PanelInk ink_;
    int dividerY_ = -1;
    mutable PanelBackground background_;
    // The header's name as drawn: elided once per change, laid out once.
    mutable ElidedLine headerName_;
    mutable struct {
        QFont font;
        QStaticText text;
    } header_;
    bool focusWanted_ = false;
    bool keyboardSession_ = false;
    std::optional<RunningApplication> focusReturnsTo_;
    Subscription storeChanges_;
};
