// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Scheduler.h"
#include "platform/Subscription.h"
#include "views/DropGap.h"
#include "views/ItemGridLayout.h"
#include "views/TileDrop.h"

#include <QPoint>
#include <QRect>
#include <QUuid>

#include <optional>

class DockItemActions;
class DockItemGridView;
class DockStore;
class FileSystem;
class QDragMoveEvent;
class QDropEvent;

// A drag over a dock's tile grid, from its entry to its drop: what it holds (read once), what is
// under the pointer (a place between tiles, the trash docklet, or nothing that takes it), the
// insertion mark and the room the tiles either side make for it, and the scrolling of a long tab
// while the pointer is near its top or bottom edge. The grid forwards its drag events here and
// asks what to draw; the drop itself goes through TileDrop, or to the trash.
class GridDropTarget {
public:
    struct Services {
        DockStore& store;
        Scheduler& scheduler;
        const FileSystem& fileSystem;
        const DockItemActions& actions;
    };
    // How far the tiles either side of the mark stand aside, in pixels; a spring overshoots it
    // a little.
    static constexpr int room = 6;
    static constexpr int reach = room * 3 / 2;

    GridDropTarget(const QUuid& dockId, const Services& services, DockItemGridView& grid);
    ~GridDropTarget();

    void setRules(const DroppedItems::Rules& rules) { rules_ = rules; }

    // The grid's drag events; an enter is a first move.
    void dragMove(QDragMoveEvent& event);
    void dragLeave();
    void drop(QDropEvent& event);
    // The grid's items or layout changed under a drag: the place is found again.
    void gridChanged();

    // Whether the grid lights up: a drag of files or links from another program.
    bool isLit() const { return target_ == Target::lit; }
    std::optional<std::int64_t> trashIndex() const { return trashIndex_; }
    std::optional<ItemGridLayout::Insertion> insertion() const { return insertion_; }
    // How far the tile at `index` stands aside, in pixels.
    QPoint shift(std::int64_t index) const;
    bool isAnimating() const { return frames_.isActive(); }
    bool isAutoScrolling() const { return scrollStep_ != 0; }

private:
    // `quiet`: taken between tiles without lighting up (our own tiles, text for the tray).
    enum class Target { none, lit, quiet, trash };

    std::optional<TileDrop::Place> placeAt(QPoint point) const;
    bool isTrashAt(QPoint point, std::int64_t* index) const;
    bool follow();
    void setTarget(Target target, std::optional<std::int64_t> trashIndex);
    void setInsertion(std::optional<ItemGridLayout::Insertion> insertion);
    void updateGap(std::int64_t gap) const;
    void updateMark() const;
    void setScrollStep(int step);
    void startFrames();
    void frame();
    void finish();

    QUuid dockId_;
    Services services_;
    DockItemGridView& grid_;
    DroppedItems::Rules rules_;
    bool dragSeen_ = false;
    TileDrop::Contents contents_;
    QPoint point_;
    Target target_ = Target::none;
    std::optional<std::int64_t> trashIndex_;
    std::optional<ItemGridLayout::Insertion> insertion_;
    DropGap gap_;
    int scrollStep_ = 0;
    Subscription frames_;
    Scheduler::TimePoint lastFrame_{};
};
