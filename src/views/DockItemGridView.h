// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/Scheduler.h"
#include "platform/Subscription.h"
#include "views/DockItemTilePainter.h"
#include "views/DroppedItems.h"
#include "views/GridDropTarget.h"
#include "views/ItemGridLayout.h"
#include "views/PanelInk.h"
#include "views/SpringAnimation.h"
#include "views/TileImageCache.h"
#include "views/TileKeyboard.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QHash>
#include <QPainterPath>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

class ApplicationLauncher;
class BadgeModel;
class DockItemActions;
class DockletRuntime;
class DockStore;
class FileIcons;
class FileSystem;
class IconCache;
class QHelpEvent;
class Trash;
class RunningAppsMonitor;
struct Dock;

// The tiles of a dock's shown tab as one virtualised widget: laid out by arithmetic, drawing and
// hit-testing only the rows in view, with hover, click, menu, drags of tiles and drops found by
// position (GridDropTarget). Holds no items: it looks its dock up in the store whenever it draws or
// acts, and re-reads it only when the store's revision of the dock has moved. Items docks and the
// clippings tray both show their items through it.
class DockItemGridView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct Services {
        DockStore& store;
        Scheduler& scheduler;
        // Reading dropped files, and the icons of items.
        FileSystem& fileSystem;
        FileIcons& fileIcons;
        // Item icons as the last runs drew them.
        IconCache& iconCache;
        DockletRuntime& docklets;
        const DockItemActions& actions;
        // Whether an application tile's program runs, and what it reports on its tile.
        RunningAppsMonitor& runningApps;
        ApplicationLauncher& launcher;
        BadgeModel& badges;
        // Whether a trash docklet shows the Trash full.
        Trash& trash;
    };

    DockItemGridView(const QUuid& dockId, const Services& services, QWidget* parent = nullptr);
    ~DockItemGridView() override;

    // Follows the dock as far as it changed since the last time (everything when `force`): a new
    // list of items is laid out and compared tile by tile, a new appearance only changes what it
    // changes of the layout.
    void refresh(bool force = false);
    void setDropRules(const DroppedItems::Rules& rules) { drops_.setRules(rules); }
    // The dock's rounded outline in this widget's coordinates: the drop highlight stays inside.
    void setOutline(const QPainterPath& outline);
    // What the tiles' labels, glyphs and highlights are drawn in.
    void setInk(const PanelInk& ink);
    // Shown in the middle while the tab is empty (none by default).
    void setEmptyHint(const QString& hint);
    const QString& emptyHint() const { return emptyHint_; }
    bool showsEmptyHint() const;
    bool isTrashFull() const { return trashFull_; }
    // Opens the item as a click does; a clipping says that it was copied.
    void openItem(const DockItem& item, std::int64_t index);

    const ItemGridLayout& gridLayout() const { return layout_; }
    // The tile at a point of the viewport, and a tile's cell in the viewport.
    std::optional<std::int64_t> indexAt(QPoint point) const;
    QRect cellRect(std::int64_t index) const;
    bool isDropTargeted() const { return drops_.isLit(); }
    const GridDropTarget& drops() const { return drops_; }
    bool isSampling() const { return sampling_.isActive(); }
    bool isAnimating() const { return animation_.isActive(); }
    std::optional<QUuid> hoveredItem() const { return hovered_; }
    double iconScale(const QUuid& itemId) const;
    const TileImageCache& images() const { return images_; }

    // The items of the tab a dock shows (the selected one, else the first), or null.
    static const std::vector<DockItem>* shownItems(const Dock& dock);
    // The items this grid shows now, or null.
    const std::vector<DockItem>* items() const;

    // The keyboard's current tile, once the grid has had the keyboard: the one the keys act on
    // and the focus ring marks. It stays with its item across store changes.
    std::optional<std::int64_t> currentIndex() const;
    void setCurrentIndex(std::int64_t index);
    // Opens the tile at `index` as a click does, or opens its menu below it.
    void openTile(std::int64_t index);
    void showTileMenu(std::int64_t index);
    // A tile's cell on the screen.
    QRect tileScreenRect(std::int64_t index) const;
    // The text a docklet's tile shows now (the time, the free space, the load); empty before the
    // grid has shown one.
    QString dockletText(DockletKind docklet) const;

Q_SIGNALS:
    // The current tile moved, or the keyboard came or went.
    void currentChanged();
    // The tiles were laid out anew after the items changed.
    void tilesChanged();
    // What the tiles of that docklet show changed.
    void dockletTextChanged(DockletKind docklet);

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const DockItem* itemAt(QPoint point) const;
    std::optional<std::int64_t> indexOf(const QUuid& itemId) const;
    void relayout(bool itemsChanged = true);
    void repaintChangedTiles(const std::vector<DockItem>* list, bool everything);
    QRect paintedRect(std::int64_t index) const;
    void updateTile(const QUuid& itemId);
    void paintScrollIndicator(QPainter& painter) const;
    void paintFocusRing(QPainter& painter, std::int64_t first, std::int64_t end) const;
    void scrollToTile(std::int64_t index);
    void keepCurrentTile();
    // Whether an application tile's program runs and what it reports.
    void programState(const DockItem& item, DockItemTilePainter::State& state);
    void updateRunningTiles();
    void updateBadgeTiles(const QString& desktopId);

    void setHovered(std::optional<QUuid> itemId);
    void animate();
    void startDrag(const DockItem& item);
    void paintInsertionMark(QPainter& painter) const;

    unsigned figuresInView() const;
    void updateSampling();
    void dockletChanged(DockletKind docklet);
    void updateTrashWatch();
    void trashChanged();
    void showToolTip(const QHelpEvent& event);
    void paintEmptyHint(QPainter& painter) const;

    void checkStandInsLater();
    void checkStandIns();

    QUuid dockId_;
    Services services_;
    std::uint64_t contentRevision_ = 0;
    std::uint64_t appearanceRevision_ = 0;
    ItemGridLayout layout_;
    QFont labelFont_;
    QFontMetrics labelMetrics_;
    TileImageCache images_;
    CoalescedTask standInCheck_{services_.scheduler, [this] { checkStandIns(); }};
    Subscription checkingStarted_;
    QPainterPath outline_;
    // The items in view at the last layout, only to tell which tiles a change touched: the
    // tiles are always drawn from the store.
    std::int64_t inViewFirst_ = 0;
    std::vector<DockItem> inView_;

    std::optional<QUuid> hovered_;
    // The running dot each application tile in view was last drawn with.
    QHash<QUuid, bool> runningShown_;
    Subscription runningObserver_;
    Subscription badgeObserver_;
    QHash<QUuid, SpringAnimation> springs_;
    Subscription animation_;
    Scheduler::TimePoint lastFrame_{};
    std::optional<QUuid> pressed_;
    QPoint pressPosition_;
    TileKeyboard keyboard_{services_.scheduler};
    std::optional<QUuid> current_;
    // Where the current tile was: where the keyboard stays when its item goes.
    std::int64_t currentPlace_ = 0;

    GridDropTarget drops_;

    PanelInk ink_;
    QString emptyHint_;
    bool hasTrashDocklet_ = false;
    bool trashFull_ = false;
    Subscription trashWatch_;

    unsigned sampledFigures_ = 0;
    Subscription sampling_;
    std::vector<Subscription> figures_;
    std::array<QString, 5> shownStates_;
};
