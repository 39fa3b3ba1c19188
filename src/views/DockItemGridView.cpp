// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockItemGridView.h"

#include "platform/Trash.h"
#include "runtime/ApplicationLauncher.h"
#include "runtime/BadgeModel.h"
#include "runtime/DockletRuntime.h"
#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "support/DesktopLaunch.h"
#include "support/IconCache.h"
#include "support/IconResolver.h"
#include "views/DockItemActions.h"
#include "views/DockItemTilePainter.h"
#include "views/DockItemToolTip.h"
#include "views/DockletTilePainter.h"
#include "views/OwnPopups.h"
#include "views/TileDragPayload.h"

#include <QApplication>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <chrono>

namespace {

constexpr double hoverScale = 1.08;
constexpr std::chrono::milliseconds frameInterval{16};
constexpr double indicatorAlpha = 0.35;
constexpr double hintAlpha = 0.55;
// How long "Copied" shows over a clipping that was clicked.
constexpr int copiedShownFor = 1200;

bool isTrashDocklet(const DockItem& item) {
    return DockItemTilePainter::isLiveDocklet(item) && *item.docklet == DockletKind::trash;
}

} // namespace

DockItemGridView::DockItemGridView(const QUuid& dockId, const Services& services, QWidget* parent)
    : QAbstractScrollArea(parent), dockId_(dockId), services_(services),
      labelFont_(DockItemTilePainter::labelFont()), labelMetrics_(labelFont_),
      images_(services.fileSystem, services.fileIcons, services.iconCache),
      drops_(dockId, {services.store, services.scheduler, services.fileSystem, services.actions},
             *this) {
    // A large custom icon decoded meanwhile replaces its placeholder or stand-in.
    connect(&images_.decoder(), &CustomIconDecoder::decoded, this, [this] {
        images_.decodingFinished();
        viewport()->update();
    });
    setFrameShape(QFrame::NoFrame);
    // The panel's own background shows through; the scroll position is drawn as a thin
    // indicator over the tiles rather than a bar beside them, so no width is lost to it.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(20);
    viewport()->setMouseTracking(true);
    // Drags and drops arrive at the viewport, as every other event does.
    viewport()->setAcceptDrops(true);
    // The keyboard comes to the grid when its dock is called up by its hot key, never on a
    // click: the panel takes no focus from a click.
    setFocusPolicy(Qt::TabFocus);
    refresh(true);
    // A program starting or ending changes its tiles' dots; a badge, the tiles of its id.
    runningObserver_ = services_.runningApps.apps.sink(
        [this](const std::vector<RunningApplication>&) { updateRunningTiles(); });
    badgeObserver_ = services_.badges.onChange([this](const QString& id) { updateBadgeTiles(id); });
}

void DockItemGridView::programState(const DockItem& item, DockItemTilePainter::State& state) {
    const auto entry = DesktopLaunch::desktopEntryOf(item);
    if (!entry)
        return;
    state.running = services_.launcher.isRunning(*entry);
    runningShown_.insert(item.id, state.running);
    if (!services_.badges.isEmpty())
        state.badge = services_.badges.badge(services_.launcher.desktopId(*entry));
}

void DockItemGridView::updateRunningTiles() {
    for (const DockItem& item : inView_)
        if (const auto entry = DesktopLaunch::desktopEntryOf(item);
            entry && services_.launcher.isRunning(*entry) != runningShown_.value(item.id))
            updateTile(item.id);
}

void DockItemGridView::updateBadgeTiles(const QString& desktopId) {
    for (const DockItem& item : inView_)
        if (const auto entry = DesktopLaunch::desktopEntryOf(item);
            entry && services_.launcher.desktopId(*entry) == desktopId)
            updateTile(item.id);
}

DockItemGridView::~DockItemGridView() = default;

const std::vector<DockItem>* DockItemGridView::shownItems(const Dock& dock) {
    const std::int64_t selected = dock.selectedTabIndex;
    if (selected >= 0 && selected < static_cast<std::int64_t>(dock.tabs.size()))
        return &dock.tabs[static_cast<std::size_t>(selected)].items;
    return dock.tabs.empty() ? nullptr : &dock.tabs.front().items;
}

const std::vector<DockItem>* DockItemGridView::items() const {
    const Dock* dock = services_.store.dock(dockId_);
    return dock ? shownItems(*dock) : nullptr;
}

void DockItemGridView::refresh(bool force) {
    const std::uint64_t content = services_.store.revision(dockId_, DockFacet::content);
    const std::uint64_t appearance = services_.store.revision(dockId_, DockFacet::appearance);
    const bool itemsChanged = force || content != contentRevision_;
    if (!itemsChanged && appearance == appearanceRevision_)
        return;
    contentRevision_ = content;
    appearanceRevision_ = appearance;
    relayout(itemsChanged);
}

void DockItemGridView::relayout(bool itemsChanged) {
    const ItemGridLayout previous = layout_;
    const Dock* dock = services_.store.dock(dockId_);
    const std::vector<DockItem>* list = dock ? shownItems(*dock) : nullptr;
    const std::int64_t count = list ? static_cast<std::int64_t>(list->size()) : 0;
    layout_ = dock ? ItemGridLayout::make(dock->appearance.iconSize, dock->appearance.showLabels,
                                          dock->columns, count, viewport()->width(),
                                          labelMetrics_.height())
                   : ItemGridLayout{};
    // A tint or an opacity: the panel's background repaints, the tiles stay as they are.
    if (!itemsChanged && layout_ == previous)
        return;
    const int visible = viewport()->height();
    verticalScrollBar()->setPageStep(std::max(1, visible));
    verticalScrollBar()->setRange(0, std::max(0, layout_.contentHeight() - visible));
    updateSampling();
    const bool hadTrash = hasTrashDocklet_;
    hasTrashDocklet_ = list && std::any_of(list->begin(), list->end(), isTrashDocklet);
    if (hasTrashDocklet_ != hadTrash)
        updateTrashWatch();
    // The hint comes and goes with the last item.
    const bool everything = layout_ != previous || (previous.count == 0) != (layout_.count == 0);
    repaintChangedTiles(list, everything);
    drops_.gridChanged();
    if (itemsChanged) {
        keepCurrentTile();
        Q_EMIT tilesChanged();
    }
}

void DockItemGridView::repaintChangedTiles(const std::vector<DockItem>* list, bool everything) {
    if (!list) {
        inView_.clear();
        viewport()->update();
        return;
    }
    const int top = verticalScrollBar()->value();
    const auto range = layout_.indexRange(top, top + viewport()->height());
    const std::int64_t first = range.first;
    const std::int64_t end = std::min<std::int64_t>(range.second, std::int64_t(list->size()));
    if (everything) {
        viewport()->update();
    } else {
        // Only the tiles in view whose item is not the one drawn there before.
        for (std::int64_t i = first; i < end; ++i) {
            const std::int64_t before = i - inViewFirst_;
            const bool same = before >= 0 && before < std::int64_t(inView_.size()) &&
                              inView_[std::size_t(before)] == (*list)[std::size_t(i)];
            if (!same)
                viewport()->update(paintedRect(i));
        }
    }
    inViewFirst_ = first;
    inView_.assign(list->begin() + first, list->begin() + end);
}

void DockItemGridView::setOutline(const QPainterPath& outline) {
    outline_ = outline;
}

void DockItemGridView::setInk(const PanelInk& ink) {
    if (ink == ink_)
        return;
    ink_ = ink;
    viewport()->update();
}

void DockItemGridView::setEmptyHint(const QString& hint) {
    if (hint == emptyHint_)
        return;
    emptyHint_ = hint;
    viewport()->update();
}

bool DockItemGridView::showsEmptyHint() const {
    const std::vector<DockItem>* list = items();
    return !emptyHint_.isEmpty() && services_.store.dock(dockId_) && (!list || list->empty());
}

void DockItemGridView::paintEmptyHint(QPainter& painter) const {
    QFont font = labelFont_;
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(ink_.at(hintAlpha));
    const int margin = 2 * ItemGridLayout::padding;
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignCenter | Qt::TextWordWrap, emptyHint_);
}

std::optional<std::int64_t> DockItemGridView::indexAt(QPoint point) const {
    return layout_.indexAt(point + QPoint(0, verticalScrollBar()->value()));
}

QRect DockItemGridView::cellRect(std::int64_t index) const {
    return layout_.cellRect(index).translated(0, -verticalScrollBar()->value());
}

QRect DockItemGridView::paintedRect(std::int64_t index) const {
    return layout_.paintedRect(index).translated(0, -verticalScrollBar()->value());
}

const DockItem* DockItemGridView::itemAt(QPoint point) const {
    const auto index = indexAt(point);
    const std::vector<DockItem>* list = items();
    if (!index || !list || *index >= static_cast<std::int64_t>(list->size()))
        return nullptr;
    return &(*list)[static_cast<std::size_t>(*index)];
}

std::optional<std::int64_t> DockItemGridView::indexOf(const QUuid& itemId) const {
    // Only tiles in view are ever repainted by id.
    const std::vector<DockItem>* list = items();
    if (!list)
        return std::nullopt;
    const int top = verticalScrollBar()->value();
    const auto [first, last] = layout_.indexRange(top, top + viewport()->height());
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t(list->size()));
    for (std::int64_t i = first; i < end; ++i)
        if ((*list)[static_cast<std::size_t>(i)].id == itemId)
            return i;
    return std::nullopt;
}

void DockItemGridView::updateTile(const QUuid& itemId) {
    if (const auto index = indexOf(itemId))
        viewport()->update(paintedRect(*index));
}

double DockItemGridView::iconScale(const QUuid& itemId) const {
    const auto spring = springs_.constFind(itemId);
    return spring == springs_.cend() ? 1.0 : spring->value();
}

bool DockItemGridView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave)
        setHovered(std::nullopt);
    if (event->type() == QEvent::ToolTip) {
        showToolTip(*static_cast<QHelpEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void DockItemGridView::showToolTip(const QHelpEvent& event) {
    const auto index = indexAt(event.pos());
    const DockItem* item = itemAt(event.pos());
    if (!index || !item || item->kind == DockItemKind::separator) {
        QToolTip::hideText();
        return;
    }
    // Kept up while the pointer stays on the tile.
    QToolTip::showText(event.globalPos(), DockItemToolTip::text(*item), viewport(),
                       cellRect(*index));
}

void DockItemGridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    if (drops_.isLit()) {
        QColor accent = palette().color(QPalette::Highlight);
        accent.setAlphaF(0.15f);
        if (outline_.isEmpty())
            painter.fillRect(viewport()->rect(), accent);
        else
            painter.fillPath(outline_, accent);
    }
    const std::vector<DockItem>* list = items();
    if (showsEmptyHint())
        paintEmptyHint(painter);
    if (!list)
        return;
    const QRect clip = event->rect();
    const int top = verticalScrollBar()->value();
    // Tiles making room for a drop stand a little outside their rows.
    const int aside = GridDropTarget::reach;
    const auto [first, last] =
        layout_.indexRange(top + clip.top() - aside, top + clip.bottom() + 1 + aside);
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t(list->size()));
    const qreal ratio = viewport()->devicePixelRatioF();
    const DockletFigures figures = services_.docklets.figures();
    for (std::int64_t i = first; i < end; ++i) {
        const QPoint shift = drops_.shift(i);
        const QRect cell = cellRect(i).translated(shift);
        if (!paintedRect(i).translated(shift).intersects(clip))
            continue;
        const DockItem& item = (*list)[static_cast<std::size_t>(i)];
        DockItemTilePainter::State state;
        state.hovering = hovered_ == item.id;
        state.scale = iconScale(item.id);
        state.trashTargeted = drops_.trashIndex() == i;
        state.trashFull = trashFull_;
        state.ink = ink_;
        programState(item, state);
        DockItemTilePainter::paint(
            painter, item, cell, layout_, state,
            images_.images(item, layout_.iconSize, ratio, labelFont_, layout_.labelWidth()),
            figures);
    }
    paintFocusRing(painter, first, end);
    paintInsertionMark(painter);
    paintScrollIndicator(painter);
    if (images_.hasStandIns())
        checkStandInsLater();
}

// Icons drawn from the icon cache are made again for real, a few per pass, once the first frame
// is on screen (the cache says when).
void DockItemGridView::checkStandInsLater() {
    if (services_.iconCache.isChecking())
        standInCheck_.request();
    else if (!checkingStarted_.isActive())
        checkingStarted_ =
            services_.iconCache.onCheckingStarted([this] { standInCheck_.request(); });
}

void DockItemGridView::checkStandIns() {
    constexpr int perPass = 4;
    if (images_.checkStandIns(perPass))
        viewport()->update();
    if (images_.hasStandIns())
        standInCheck_.request();
}

void DockItemGridView::paintInsertionMark(QPainter& painter) const {
    const auto insertion = drops_.insertion();
    if (!insertion)
        return;
    const QRect mark =
        layout_.insertionMark(*insertion).translated(0, -verticalScrollBar()->value());
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    painter.drawRoundedRect(QRectF(mark), 1, 1);
}

void DockItemGridView::paintScrollIndicator(QPainter& painter) const {
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() <= 0)
        return;
    const int height = viewport()->height();
    const double content = double(bar->maximum()) + height;
    const double handle = std::max(20.0, height * height / content);
    const double y = (height - handle) * bar->value() / bar->maximum();
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink_.at(indicatorAlpha));
    painter.drawRoundedRect(QRectF(viewport()->width() - 6, y + 2, 3, handle - 4), 1.5, 1.5);
}

void DockItemGridView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void DockItemGridView::scrollContentsBy(int, int) {
    viewport()->update();
    // A docklet scrolled out of view is not sampled for; one scrolled in is.
    updateSampling();
}

void DockItemGridView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    updateSampling();
    updateTrashWatch();
}

void DockItemGridView::hideEvent(QHideEvent* event) {
    QAbstractScrollArea::hideEvent(event);
    // Nothing animates or samples for a panel off screen; it comes back at rest.
    hovered_.reset();
    springs_.clear();
    animation_.cancel();
    updateSampling();
    updateTrashWatch();
}

// Hover and its spring.

void DockItemGridView::setHovered(std::optional<QUuid> itemId) {
    if (hovered_ == itemId)
        return;
    const std::optional<QUuid> previous = std::exchange(hovered_, itemId);
    const std::vector<DockItem>* list = items();
    for (const auto& id : {previous, itemId}) {
        if (!id)
            continue;
        updateTile(*id);
        const auto index = indexOf(*id);
        if (!list || !index ||
            !DockItemTilePainter::scalesOnHover((*list)[static_cast<std::size_t>(*index)]))
            continue;
        auto spring = springs_.find(*id);
        if (spring == springs_.end())
            spring = springs_.insert(*id, SpringAnimation());
        spring->setTarget(id == hovered_ ? hoverScale : 1.0);
    }
    if (!springs_.isEmpty() && !animation_.isActive()) {
        lastFrame_ = services_.scheduler.now();
        // Runs only while a spring moves; the handle is dropped with the widget.
        animation_ = services_.scheduler.repeat(frameInterval, [this] { animate(); });
    }
}

void DockItemGridView::animate() {
    const Scheduler::TimePoint now = services_.scheduler.now();
    const double seconds = std::chrono::duration<double>(now - lastFrame_).count();
    lastFrame_ = now;
    for (auto spring = springs_.begin(); spring != springs_.end();) {
        spring->step(seconds);
        updateTile(spring.key());
        if (spring->isSettled() && spring->target() == 1.0)
            spring = springs_.erase(spring);
        else
            ++spring;
    }
    const bool moving = std::any_of(springs_.cbegin(), springs_.cend(),
                                    [](const SpringAnimation& s) { return !s.isSettled(); });
    if (!moving)
        animation_.cancel();
}

// Clicks, menus and drags out.

void DockItemGridView::mousePressEvent(QMouseEvent* event) {
    pressed_.reset();
    const DockItem* item = itemAt(event->position().toPoint());
    if ((event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton) && item) {
        pressed_ = item->id;
        pressPosition_ = event->position().toPoint();
    }
    event->accept();
}

void DockItemGridView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const DockItem* item = itemAt(point);
    setHovered(item && item->kind != DockItemKind::separator ? std::optional(item->id)
                                                             : std::nullopt);
    if (!pressed_ || !(event->buttons() & Qt::LeftButton) ||
        (point - pressPosition_).manhattanLength() < QApplication::startDragDistance())
        return;
    const DockItem* dragged = DockItemActions::currentItem(services_.store, dockId_, *pressed_);
    pressed_.reset();
    if (dragged)
        startDrag(*dragged);
}

void DockItemGridView::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<QUuid> pressed = std::exchange(pressed_, std::nullopt);
    const DockItem* item = itemAt(event->position().toPoint());
    if (!pressed || !item || item->id != *pressed)
        return;
    const DockItem clicked = *item;
    if (hasFocus())
        if (const auto index = indexAt(event->position().toPoint()))
            setCurrentIndex(*index);
    if (event->button() == Qt::LeftButton)
        openItem(clicked, *indexAt(event->position().toPoint()));
    else if (event->button() == Qt::MiddleButton)
        services_.actions.openNew(clicked);
}

void DockItemGridView::openItem(const DockItem& item, std::int64_t index) {
    // Shown first: opening may change the store, and with it what lies at the index.
    if (item.kind == DockItemKind::clippingText) {
        const QRect cell = cellRect(index);
        QToolTip::showText(viewport()->mapToGlobal(cell.center()), tr("Copied"), viewport(), cell,
                           copiedShownFor);
    }
    services_.actions.open(item);
}

void DockItemGridView::contextMenuEvent(QContextMenuEvent* event) {
    const DockItem* item = itemAt(event->pos());
    if (!item) {
        event->ignore();
        return;
    }
    // popup(), not exec(): a store change while the menu is open may take this widget away.
    services_.actions.makeMenu(*item, dockId_, this)->popup(event->globalPos());
    event->accept();
}

void DockItemGridView::startDrag(const DockItem& item) {
    // The tab shown, which the tile is dragged from.
    QUuid tabId;
    if (const Dock* dock = services_.store.dock(dockId_))
        for (const DockTab& tab : dock->tabs)
            if (&tab.items == shownItems(*dock))
                tabId = tab.id;
    auto* drag = new QDrag(this);
    drag->setMimeData(TileDragPayload::make(item, dockId_, tabId));
    if (item.kind != DockItemKind::separator) {
        QPixmap icon = images_
                           .images(item, layout_.iconSize, devicePixelRatioF(), labelFont_,
                                   layout_.labelWidth())
                           .icon;
        // A docklet draws itself in its tile; its drag shows its symbol.
        if (icon.isNull())
            icon = IconResolver::placeholder(IconResolver::placeholderName(item), layout_.iconSize,
                                             devicePixelRatioF());
        drag->setPixmap(icon);
        drag->setHotSpot(QPoint(layout_.iconSize / 2, layout_.iconSize / 2));
    }
    setHovered(std::nullopt);
    OwnPopups::DragScope scope;
    // Copy only: another program must never delete the file behind a tile. Our own docks move
    // tiles in the store themselves, and a tile let go anywhere else stays where it was.
    // Nothing of `item` or of this view is touched after: the drop may have changed the store,
    // and a change elsewhere in that loop may have taken this view away.
    // Qt deletes the drag itself once the receiver has had the data: another program reads it
    // from us after the drop.
    drag->exec(Qt::CopyAction);
}

// Drops.

void DockItemGridView::dragEnterEvent(QDragEnterEvent* event) {
    drops_.dragLeave();
    drops_.dragMove(*event);
}

void DockItemGridView::dragMoveEvent(QDragMoveEvent* event) {
    drops_.dragMove(*event);
}

void DockItemGridView::dragLeaveEvent(QDragLeaveEvent* event) {
    drops_.dragLeave();
    event->accept();
}

void DockItemGridView::dropEvent(QDropEvent* event) {
    drops_.drop(*event);
}

// Docklets.

unsigned DockItemGridView::figuresInView() const {
    const std::vector<DockItem>* list = items();
    if (!list || !isVisible())
        return 0;
    const int top = verticalScrollBar()->value();
    const auto [first, last] = layout_.indexRange(top, top + viewport()->height());
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t(list->size()));
    unsigned figures = 0;
    for (std::int64_t i = first; i < end; ++i) {
        const DockItem& item = (*list)[static_cast<std::size_t>(i)];
        if (DockItemTilePainter::isLiveDocklet(item))
            figures |= DockletTilePainter::figures(*item.docklet);
    }
    return figures;
}

void DockItemGridView::updateSampling() {
    // Only the figures of the docklets on screen are sampled, each at its own pace.
    const unsigned wanted = figuresInView();
    if (wanted == sampledFigures_)
        return;
    sampledFigures_ = wanted;
    figures_.clear();
    DockletRuntime& runtime = services_.docklets;
    // The new demand is in place before the old one goes, so that a figure still wanted keeps
    // its cadence.
    sampling_ = wanted ? runtime.keepSampling(wanted) : Subscription();
    if (wanted & DockletRuntime::time)
        figures_.push_back(
            runtime.now.sink([this](double) { dockletChanged(DockletKind::clock); }));
    if (wanted & DockletRuntime::diskSpace)
        figures_.push_back(
            runtime.diskFreeBytes.sink([this](qint64) { dockletChanged(DockletKind::diskSpace); }));
    if (wanted & DockletRuntime::cpuLoad)
        figures_.push_back(
            runtime.cpuUsage.sink([this](double) { dockletChanged(DockletKind::cpuMeter); }));
}

void DockItemGridView::updateTrashWatch() {
    const bool wanted = hasTrashDocklet_ && isVisible();
    if (wanted == trashWatch_.isActive())
        return;
    if (!wanted) {
        trashWatch_.cancel();
        return;
    }
    trashWatch_ = services_.trash.observe([this] { trashChanged(); });
    trashChanged();
}

void DockItemGridView::trashChanged() {
    const bool full = services_.trash.hasItems();
    if (full == trashFull_)
        return;
    trashFull_ = full;
    dockletChanged(DockletKind::trash);
}

void DockItemGridView::dockletChanged(DockletKind docklet) {
    QString state = docklet == DockletKind::trash
                        ? QString::number(int(trashFull_))
                        : DockletTilePainter::shownState(docklet, services_.docklets.figures());
    QString& shown = shownStates_[static_cast<std::size_t>(docklet)];
    if (state == shown)
        return;
    shown = std::move(state);
    const std::vector<DockItem>* list = items();
    if (!list || !isVisible())
        return;
    Q_EMIT dockletTextChanged(docklet);
    // Only the rectangles of that docklet's tiles in view.
    const int top = verticalScrollBar()->value();
    const auto [first, last] = layout_.indexRange(top, top + viewport()->height());
    const std::int64_t end = std::min<std::int64_t>(last, std::int64_t(list->size()));
    for (std::int64_t i = first; i < end; ++i) {
        const DockItem& item = (*list)[static_cast<std::size_t>(i)];
        if (DockItemTilePainter::isLiveDocklet(item) && *item.docklet == docklet)
            viewport()->update(DockItemTilePainter::iconRect(item, cellRect(i), layout_));
    }
}

QString DockItemGridView::dockletText(DockletKind docklet) const {
    return shownStates_[static_cast<std::size_t>(docklet)];
}
