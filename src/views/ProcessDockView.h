// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"
#include "platform/CoalescedTask.h"
#include "platform/RunningApplication.h"
#include "platform/Subscription.h"
#include "views/PanelInk.h"
#include "views/TileKeyboard.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QHash>
#include <QPixmap>
#include <QUuid>

#include <optional>
#include <vector>

class BadgeModel;
class DockStore;
class QHelpEvent;
class RunningAppsMonitor;
class Scheduler;

// The body of an application switcher dock: one tile per running regular application in the
// monitor's order, in a row or a column by the dock's orientation, the frontmost highlighted.
// One widget paints every tile; tiles are known by the application's key, so hover and the
// cached icon follow an application across refreshes, and a refresh repaints only what changed.
// It takes no tiles dragged from other docks, and shows so while one is over it.
class ProcessDockView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int inset = 10;
    static constexpr int spacing = 10;
    static constexpr int tilePadding = 4;
    static constexpr int partSpacing = 3;
    static constexpr int indicatorSize = 4;

    // `badges`: what the running programs report on their tiles.
    ProcessDockView(const QUuid& dockId, DockStore& store, RunningAppsMonitor& runningApps,
                    BadgeModel& badges, Scheduler& scheduler, QWidget* parent = nullptr);
    ~ProcessDockView() override;

    // Brings the tiles in line with the monitor and the dock. Runs by itself on the pass after
    // the monitor changed; the content view calls it when the dock changed.
    void refresh();

    // The tiles as laid out, in the monitor's order, in viewport coordinates.
    struct Tile {
        QString key;
        QRect rect;
        bool frontmost = false;
    };
    std::vector<Tile> tiles() const;
    std::optional<QString> hoveredKey() const { return hovered_; }
    bool isVertical() const { return orientation_ == DockOrientation::vertical; }
    // How many tile images were drawn, for the tests and benchmarks.
    int tileImageRenders() const { return renders_; }
    // The name shown on a tile.
    QString tileName(std::size_t index) const;

    // The keyboard's current tile (by the application's key, so it follows the application
    // across refreshes), once the view has had the keyboard.
    std::optional<std::size_t> currentIndex() const;
    void setCurrentIndex(std::size_t index);
    // Brings the application of a tile forward, as a click does, or opens its menu below it.
    void activateTile(std::size_t index);
    void showTileMenu(std::size_t index);
    // Whether a tile of a dock is being dragged over the switcher, which refuses it.
    bool isRefusingDrag() const { return refusingDrag_; }

    static QFont labelFont();
    void setInk(const PanelInk& ink);
    // What the dock says while no application runs.
    static QString emptyHint();

    // The icon size and labels that fit the panel: a row's icons shrink to fit its height, and
    // its labels go first when icons would have to become smaller than `smallestWithLabels`;
    // a column's icons shrink to fit its width. `across`: the viewport's height for a row, its
    // width for a column. The dock's stored icon size is never grown.
    struct Fit {
        int iconSize;
        bool showLabels;
        bool operator==(const Fit&) const = default;
    };
    static constexpr int smallestWithLabels = 24;
    static Fit fit(int iconSize, bool showLabels, bool vertical, int across, int labelHeight);
    // What the dock says where the session lists no running applications.
    static QString unavailableText();

Q_SIGNALS:
    void currentChanged();
    // The tiles were laid out anew: applications came, went or moved, or one came to the front.
    void tilesChanged();

protected:
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What a tile draws, kept per key until the application's name or icon or the size changes.
    struct Image {
        QString name;
        qint64 iconKey = 0;
        int iconSize = 0;
        bool showLabel = false;
        qreal ratio = 1;
        QPixmap icon;
        QString label;
        int width = 0;
    };
    struct Laid {
        QString key;
        int offset = 0;
        int width = 0;
        bool frontmost = false;
        // The desktop id its badge comes under.
        QString badgeId;
    };

    const Image& imageFor(const RunningApplication& app);
    std::vector<Laid> layOut();
    void updateScrollRange();
    QRect tileRect(const Laid& tile) const;
    int tileHeight() const;
    int scrollOffset() const;
    std::optional<std::size_t> indexAt(QPoint point) const;
    std::optional<RunningApplication> currentApp(const QString& key) const;
    void setHovered(std::optional<QString> key);
    void updateKey(const QString& key);
    void paintTile(QPainter& painter, const Laid& tile, const Image& image) const;
    void showToolTip(const QHelpEvent& event);
    void paintFocusRing(QPainter& painter) const;
    void popupMenu(const QString& key, QPoint globalPosition);
    void scrollToTile(std::size_t index);
    void keepCurrentTile();
    void paintRefusal(QPainter& painter) const;
    void setRefusingDrag(bool refusing);

    QUuid dockId_;
    DockStore& store_;
    RunningAppsMonitor& runningApps_;
    BadgeModel& badges_;
    QFontMetrics labelMetrics_;
    DockOrientation orientation_ = DockOrientation::horizontal;
    int iconSize_ = 48;
    bool showLabels_ = true;
    PanelInk ink_;
    QHash<QString, Image> images_;
    std::vector<Laid> laid_;
    int contentLength_ = 0;
    std::optional<QString> hovered_;
    std::optional<QString> pressed_;
    std::optional<QString> current_;
    TileKeyboard keyboard_;
    int renders_ = 0;
    bool refusingDrag_ = false;
    CoalescedTask refreshTask_;
    Subscription monitorWillChange_;
    Subscription badgeObserver_;
};
