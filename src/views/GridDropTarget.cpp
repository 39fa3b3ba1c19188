// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/GridDropTarget.h"

#include "store/DockStore.h"
#include "views/DockItemActions.h"
#include "views/DockItemGridView.h"
#include "views/DockItemTilePainter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>

#include <chrono>
#include <cmath>

namespace {

constexpr std::chrono::milliseconds frameInterval{16};
// Within this distance of the top or bottom edge a long tab scrolls, the faster the closer.
constexpr int edgeBand = 32;
constexpr int fastestStep = 16; // pixels a frame

} // namespace

GridDropTarget::GridDropTarget(const QUuid& dockId, const Services& services,
                               DockItemGridView& grid)
    : dockId_(dockId), services_(services), grid_(grid) {}

GridDropTarget::~GridDropTarget() = default;

std::optional<TileDrop::Place> GridDropTarget::placeAt(QPoint point) const {
    const Dock* dock = services_.store.dock(dockId_);
    // A dock whose selected tab does not exist has nowhere to put what is dropped.
    if (!dock || dock->selectedTabIndex < 0 ||
        dock->selectedTabIndex >= static_cast<std::int64_t>(dock->tabs.size()))
        return std::nullopt;
    const DockTab& tab = dock->tabs[static_cast<std::size_t>(dock->selectedTabIndex)];
    const int top = grid_.verticalScrollBar()->value();
    return TileDrop::Place{dockId_, tab.id,
                           grid_.gridLayout().insertionAt(point + QPoint(0, top)).index};
}

bool GridDropTarget::isTrashAt(QPoint point, std::int64_t* index) const {
    // The trash takes other programs' files. Our own tiles only ever go between tiles: a file
    // tile let go over the trash is the user arranging the dock, not throwing the file away.
    if (contents_.tiles)
        return false;
    const auto at = grid_.indexAt(point);
    const Dock* dock = services_.store.dock(dockId_);
    const std::vector<DockItem>* items = dock ? DockItemGridView::shownItems(*dock) : nullptr;
    if (!at || !items || *at >= static_cast<std::int64_t>(items->size()))
        return false;
    const DockItem& item = (*items)[static_cast<std::size_t>(*at)];
    if (!DockItemTilePainter::isLiveDocklet(item) || *item.docklet != DockletKind::trash)
        return false;
    *index = *at;
    return true;
}

void GridDropTarget::dragMove(QDragMoveEvent& event) {
    // What the drag holds is read once per drag. Qt does not always send the enter when a drag
    // comes from another part of the panel.
    if (!dragSeen_) {
        const QMimeData* data = event.mimeData();
        contents_ = data ? TileDrop::read(*data, services_.store, rules_) : TileDrop::Contents();
        dragSeen_ = true;
    }
    point_ = event.position().toPoint();
    if (!follow()) {
        // An enter that is ignored gets no moves after it: a drag the grid takes somewhere is
        // taken in wherever it enters.
        if (event.type() == QEvent::DragEnter &&
            (contents_.hasFiles || TileDrop::accepts(contents_, dockId_, rules_)))
            event.accept();
        else
            event.ignore();
        return;
    }
    // Whatever the source proposed: a Move would make it delete what it dragged.
    event.setDropAction(Qt::CopyAction);
    event.accept();
}

bool GridDropTarget::follow() {
    std::int64_t trash = -1;
    const bool overTrash = isTrashAt(point_, &trash);
    const auto place = overTrash ? std::nullopt : placeAt(point_);
    const bool accepts =
        overTrash ? contents_.hasFiles : place && TileDrop::accepts(contents_, dockId_, rules_);
    const Target target = !accepts              ? Target::none
                          : overTrash           ? Target::trash
                          : contents_.addsItems ? Target::lit
                                                : Target::quiet;
    setTarget(target, target == Target::trash ? std::optional(trash) : std::nullopt);
    const int top = grid_.verticalScrollBar()->value();
    setInsertion(target == Target::lit || target == Target::quiet
                     ? std::optional(grid_.gridLayout().insertionAt(point_ + QPoint(0, top)))
                     : std::nullopt);
    int step = 0;
    const int height = grid_.viewport()->height();
    const int band = std::min(edgeBand, height / 4);
    if (accepts && band > 0) {
        const int depth = point_.y() < band             ? band - point_.y()
                          : point_.y() >= height - band ? point_.y() - (height - band) + 1
                                                        : 0;
        const int pixels = std::max(1, fastestStep * std::min(depth, band) / band);
        step = depth == 0 ? 0 : point_.y() < band ? -pixels : pixels;
    }
    setScrollStep(step);
    return accepts;
}

void GridDropTarget::setTarget(Target target, std::optional<std::int64_t> trashIndex) {
    if (target == target_ && trashIndex == trashIndex_)
        return;
    const bool repaint =
        (target == Target::lit) != (target_ == Target::lit) || trashIndex != trashIndex_;
    target_ = target;
    trashIndex_ = trashIndex;
    if (repaint)
        grid_.viewport()->update();
}

void GridDropTarget::setInsertion(std::optional<ItemGridLayout::Insertion> insertion) {
    if (insertion == insertion_)
        return;
    const auto gapOf = [](const std::optional<ItemGridLayout::Insertion>& at) {
        return at ? std::optional(at->index) : std::nullopt;
    };
    const bool gapMoves = gapOf(insertion) != gapOf(insertion_);
    updateMark();
    insertion_ = insertion;
    updateMark();
    if (gapMoves) {
        gap_.moveTo(gapOf(insertion_));
        startFrames();
    }
}

QPoint GridDropTarget::shift(std::int64_t index) const {
    const double offset = gap_.offset(index);
    if (offset == 0)
        return {};
    const int pixels = static_cast<int>(std::lround(offset * room));
    return grid_.gridLayout().runsInRows() ? QPoint(pixels, 0) : QPoint(0, pixels);
}

void GridDropTarget::updateGap(std::int64_t gap) const {
    const ItemGridLayout& layout = grid_.gridLayout();
    const int top = grid_.verticalScrollBar()->value();
    // The two tiles either side, as far as they may stand aside.
    const QMargins aside =
        layout.runsInRows() ? QMargins(reach, 0, reach, 0) : QMargins(0, reach, 0, reach);
    for (const std::int64_t tile : {gap - 1, gap})
        if (tile >= 0 && tile < layout.count)
            grid_.viewport()->update(layout.paintedRect(tile).translated(0, -top) + aside);
}

void GridDropTarget::updateMark() const {
    if (!insertion_)
        return;
    const int top = grid_.verticalScrollBar()->value();
    grid_.viewport()->update(grid_.gridLayout().insertionMark(*insertion_).translated(0, -top) +
                             QMargins(1, 1, 1, 1));
}

void GridDropTarget::setScrollStep(int step) {
    const QScrollBar* bar = grid_.verticalScrollBar();
    // Nothing to scroll at the end it would go to.
    if ((step < 0 && bar->value() <= bar->minimum()) ||
        (step > 0 && bar->value() >= bar->maximum()))
        step = 0;
    scrollStep_ = step;
    if (step != 0)
        startFrames();
}

void GridDropTarget::startFrames() {
    if (frames_.isActive())
        return;
    lastFrame_ = services_.scheduler.now();
    // Runs only while the tiles move or the tab scrolls; the handle goes with this object.
    frames_ = services_.scheduler.repeat(frameInterval, [this] { frame(); });
}

void GridDropTarget::frame() {
    const Scheduler::TimePoint now = services_.scheduler.now();
    const double seconds = std::chrono::duration<double>(now - lastFrame_).count();
    lastFrame_ = now;
    if (scrollStep_ != 0) {
        QScrollBar* bar = grid_.verticalScrollBar();
        bar->setValue(bar->value() + scrollStep_);
        // The tiles moved under a pointer standing still.
        follow();
    }
    for (const std::int64_t gap : gap_.gaps())
        updateGap(gap);
    gap_.step(seconds);
    if (!gap_.isMoving() && scrollStep_ == 0)
        frames_.cancel();
}

void GridDropTarget::dragLeave() {
    // The tiles close up again on their springs.
    dragSeen_ = false;
    setTarget(Target::none, std::nullopt);
    setInsertion(std::nullopt);
    setScrollStep(0);
}

void GridDropTarget::finish() {
    // The store is about to move the tiles: the gaps shut at once, where they are.
    for (const std::int64_t gap : gap_.gaps())
        updateGap(gap);
    gap_.reset();
    dragLeave();
    frames_.cancel();
}

void GridDropTarget::gridChanged() {
    if (gap_.gaps().empty() && !dragSeen_)
        return;
    // The tiles are not the ones they were: no gap springs between them any more.
    const bool dragging = dragSeen_;
    finish();
    if (!dragging)
        return;
    dragSeen_ = true;
    follow();
}

void GridDropTarget::drop(QDropEvent& event) {
    const QMimeData* data = event.mimeData();
    if (!dragSeen_ && data)
        contents_ = TileDrop::read(*data, services_.store, rules_);
    point_ = event.position().toPoint();
    std::int64_t trash = -1;
    const bool onTrash = isTrashAt(point_, &trash);
    const auto place = onTrash ? std::nullopt : placeAt(point_);
    const bool copy = event.modifiers().testFlag(Qt::ControlModifier);
    finish();
    const bool done =
        data && (onTrash ? services_.actions.dropOnTrash(data->urls())
                         : place && TileDrop::apply(*data, *place, copy, services_.store,
                                                    services_.fileSystem, rules_));
    if (!done) {
        event.ignore();
        return;
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
}
