// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"
#include "platform/CoalescedTask.h"
#include "platform/RunningApplication.h"
#include "platform/Subscription.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QHash>
#include <QPixmap>
#include <QUuid>

#include <optional>
#include <vector>

class BadgeModel;
class DockStore;
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
    // Whether a tile of a dock is being dragged over the switcher, which refuses it.
    bool isRefusingDrag() const { return refusingDrag_; }

    static QFont labelFont();
    // What the dock says where the session lists no running applications.
    static QString unavailableText();

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
    QHash<QString, Image> images_;
    std::vector<Laid> laid_;
    int contentLength_ = 0;
    std::optional<QString> hovered_;
    std::optional<QString> pressed_;
    int renders_ = 0;
    bool refusingDrag_ = false;
    CoalescedTask refreshTask_;
    Subscription monitorWillChange_;
    Subscription badgeObserver_;
};
