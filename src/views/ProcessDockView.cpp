// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ProcessDockView.h"

#include "runtime/BadgeModel.h"
#include "runtime/LaunchMatch.h"
#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "support/IconResolver.h"
#include "views/ItemGridLayout.h"
#include "views/TileBadgePainter.h"
#include "views/TileDragPayload.h"

#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace {

const QColor frontmostFill(255, 255, 255, qRound(0.14 * 255));
const QColor hoverFill(255, 255, 255, qRound(0.07 * 255));
const QColor indicatorOn(255, 255, 255);
const QColor indicatorOff(255, 255, 255, qRound(0.35 * 255));
const QColor labelColor(255, 255, 255, qRound(0.8 * 255));
const QColor refusalShade(0, 0, 0, qRound(0.35 * 255));
const QColor refusalSign(255, 255, 255, qRound(0.8 * 255));
constexpr double cornerRadius = 8;

std::optional<QString> frontmostKey(const RunningAppsMonitor& monitor) {
    // By key: on X11 several applications may have no pid, and a pid comparison would light
    // them all up.
    const std::optional<RunningApplication>& front = *monitor.frontmostApp;
    return front ? std::optional(front->key) : std::nullopt;
}

} // namespace

ProcessDockView::ProcessDockView(const QUuid& dockId, DockStore& store,
                                 RunningAppsMonitor& runningApps, BadgeModel& badges,
                                 Scheduler& scheduler, QWidget* parent)
    : QAbstractScrollArea(parent), dockId_(dockId), store_(store), runningApps_(runningApps),
      badges_(badges), labelMetrics_(labelFont()), refreshTask_(scheduler, [this] { refresh(); }) {
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    viewport()->setMouseTracking(true);
    // Only to show a dragged tile that it is not taken here.
    viewport()->setAcceptDrops(true);
    // The monitor sets its list and then the frontmost application: one refresh for both.
    monitorWillChange_ = runningApps_.onObjectWillChange([this] { refreshTask_.request(); });
    badgeObserver_ = badges_.onChange([this](const QString& id) {
        for (const Laid& tile : laid_)
            if (tile.badgeId == id)
                viewport()->update(tileRect(tile));
    });
    refresh();
}

ProcessDockView::~ProcessDockView() = default;

QFont ProcessDockView::labelFont() {
    QFont font;
    // A point of the dock's geometry is a logical pixel.
    font.setPixelSize(9);
    return font;
}

const ProcessDockView::Image& ProcessDockView::imageFor(const RunningApplication& app) {
    const qreal ratio = viewport()->devicePixelRatioF();
    const QString name = app.localizedName.value_or(QString());
    Image& image = images_[app.key];
    if (image.name == name && image.iconKey == app.icon.cacheKey() && image.iconSize == iconSize_ &&
        image.showLabel == showLabels_ && image.ratio == ratio && !image.icon.isNull())
        return image;
    ++renders_;
    image.name = name;
    image.iconKey = app.icon.cacheKey();
    image.iconSize = iconSize_;
    image.showLabel = showLabels_;
    image.ratio = ratio;
    const QSize size(iconSize_, iconSize_);
    image.icon = app.icon.isNull() ? QPixmap() : app.icon.pixmap(size, ratio);
    if (image.icon.isNull())
        image.icon = IconResolver::placeholder(QStringLiteral("app"), iconSize_, ratio);
    const int labelWidth = int(std::floor(iconSize_ * 1.5));
    image.label =
        showLabels_ ? labelMetrics_.elidedText(name, Qt::ElideRight, labelWidth) : QString();
    const int textWidth =
        showLabels_ ? std::min(labelWidth, labelMetrics_.horizontalAdvance(image.label)) : 0;
    image.width = std::max(iconSize_, textWidth) + 2 * tilePadding;
    return image;
}

std::vector<ProcessDockView::Laid> ProcessDockView::layOut() {
    std::vector<Laid> laid;
    const std::optional<QString> front = frontmostKey(runningApps_);
    const std::vector<RunningApplication>& apps = *runningApps_.apps;
    laid.reserve(apps.size());
    int offset = 0;
    for (const RunningApplication& app : apps) {
        const int width = imageFor(app).width;
        laid.push_back({app.key, offset, width, front == app.key, LaunchMatch::badgeIdOf(app)});
        offset += (isVertical() ? tileHeight() : width) + spacing;
    }
    contentLength_ = laid.empty() ? 0 : offset - spacing;
    return laid;
}

void ProcessDockView::refresh() {
    const Dock* dock = store_.dock(dockId_);
    const DockOrientation orientation = dock ? dock->orientation : DockOrientation::horizontal;
    const int iconSize = ItemGridLayout::sanitisedIconSize(dock ? dock->appearance.iconSize : 48.0);
    const bool showLabels = dock && dock->appearance.showLabels;
    const bool geometryChanged =
        orientation != orientation_ || iconSize != iconSize_ || showLabels != showLabels_;
    orientation_ = orientation;
    iconSize_ = iconSize;
    showLabels_ = showLabels;
    const QString explanation = runningApps_.isAvailable() ? QString() : unavailableText();
    if (explanation != accessibleDescription()) {
        setAccessibleDescription(explanation);
        viewport()->update();
    }

    const int rendersBefore = renders_;
    std::vector<Laid> laid = dock ? layOut() : std::vector<Laid>{};
    // Forget the images of applications that have gone.
    for (auto image = images_.begin(); image != images_.end();) {
        const bool present = std::any_of(laid.begin(), laid.end(),
                                         [&](const Laid& tile) { return tile.key == image.key(); });
        image = present ? std::next(image) : images_.erase(image);
    }
    const bool moved =
        geometryChanged || laid.size() != laid_.size() ||
        !std::equal(laid.begin(), laid.end(), laid_.begin(), [](const Laid& a, const Laid& b) {
            return a.key == b.key && a.offset == b.offset && a.width == b.width;
        });
    const bool redrawn = renders_ != rendersBefore;
    std::vector<Laid> previous = std::exchange(laid_, std::move(laid));
    updateScrollRange();
    if (moved || redrawn) {
        viewport()->update();
        return;
    }
    // Same tiles in the same places: only those whose highlight or badge id changed.
    for (std::size_t i = 0; i < laid_.size(); ++i)
        if (laid_[i].frontmost != previous[i].frontmost || laid_[i].badgeId != previous[i].badgeId)
            viewport()->update(tileRect(laid_[i]));
}

void ProcessDockView::updateScrollRange() {
    QScrollBar* along = isVertical() ? verticalScrollBar() : horizontalScrollBar();
    QScrollBar* across = isVertical() ? horizontalScrollBar() : verticalScrollBar();
    const int visible = isVertical() ? viewport()->height() : viewport()->width();
    across->setRange(0, 0);
    along->setPageStep(std::max(1, visible));
    along->setRange(0, std::max(0, contentLength_ + 2 * inset - visible));
}

int ProcessDockView::tileHeight() const {
    const int label = showLabels_ ? partSpacing + labelMetrics_.height() : 0;
    return 2 * tilePadding + iconSize_ + partSpacing + indicatorSize + label;
}

int ProcessDockView::scrollOffset() const {
    return isVertical() ? verticalScrollBar()->value() : horizontalScrollBar()->value();
}

QRect ProcessDockView::tileRect(const Laid& tile) const {
    const int along = inset + tile.offset - scrollOffset();
    const int height = tileHeight();
    if (isVertical()) {
        const int x = std::max(inset, (viewport()->width() - tile.width) / 2);
        return QRect(x, along, tile.width, height);
    }
    const int y = std::max(inset, (viewport()->height() - height) / 2);
    return QRect(along, y, tile.width, height);
}

std::vector<ProcessDockView::Tile> ProcessDockView::tiles() const {
    std::vector<Tile> shown;
    shown.reserve(laid_.size());
    for (const Laid& tile : laid_)
        shown.push_back({tile.key, tileRect(tile), tile.frontmost});
    return shown;
}

std::optional<std::size_t> ProcessDockView::indexAt(QPoint point) const {
    for (std::size_t i = 0; i < laid_.size(); ++i)
        if (tileRect(laid_[i]).contains(point))
            return i;
    return std::nullopt;
}

std::optional<RunningApplication> ProcessDockView::currentApp(const QString& key) const {
    // The application as the monitor has it now: its windows may have changed since the paint.
    for (const RunningApplication& app : *runningApps_.apps)
        if (app.key == key)
            return app;
    return std::nullopt;
}

void ProcessDockView::updateKey(const QString& key) {
    for (const Laid& tile : laid_)
        if (tile.key == key)
            viewport()->update(tileRect(tile));
}

void ProcessDockView::setHovered(std::optional<QString> key) {
    if (key == hovered_)
        return;
    const std::optional<QString> previous = std::exchange(hovered_, key);
    if (previous)
        updateKey(*previous);
    if (key)
        updateKey(*key);
}

bool ProcessDockView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave)
        setHovered(std::nullopt);
    return QAbstractScrollArea::viewportEvent(event);
}

QString ProcessDockView::unavailableText() {
    return tr("This session does not let programs see each other's windows, so the running "
              "applications cannot be shown here.");
}

void ProcessDockView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    if (!runningApps_.isAvailable()) {
        // An empty dock would look as if nothing ran.
        painter.setFont(labelFont());
        painter.setPen(labelColor);
        painter.drawText(viewport()->rect().adjusted(inset, inset, -inset, -inset),
                         Qt::AlignCenter | Qt::TextWordWrap, unavailableText());
        return;
    }
    for (const Laid& tile : laid_) {
        if (!tileRect(tile).intersects(event->rect()))
            continue;
        const auto image = images_.constFind(tile.key);
        if (image != images_.cend())
            paintTile(painter, tile, *image);
    }
    if (refusingDrag_)
        paintRefusal(painter);
}

void ProcessDockView::paintRefusal(QPainter& painter) const {
    // The tiles shaded, under a "no entry" sign: nothing dropped here is kept.
    painter.fillRect(viewport()->rect(), refusalShade);
    const int size = std::min(32, std::min(viewport()->width(), viewport()->height()) / 2);
    const QRectF sign(QPointF(viewport()->rect().center()) - QPointF(size, size) / 2,
                      QSizeF(size, size));
    painter.setPen(QPen(refusalSign, std::max(2.0, size / 8.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(sign);
    const double inset = size * 0.15;
    painter.drawLine(sign.topLeft() + QPointF(inset, inset) * 1.4,
                     sign.bottomRight() - QPointF(inset, inset) * 1.4);
}

void ProcessDockView::setRefusingDrag(bool refusing) {
    if (refusing == refusingDrag_)
        return;
    refusingDrag_ = refusing;
    viewport()->update();
}

void ProcessDockView::dragEnterEvent(QDragEnterEvent* event) {
    // Taken in only to follow the tile and refuse it: every move and the drop are refused.
    if (!event->mimeData() || !event->mimeData()->hasFormat(TileDragPayload::type)) {
        event->ignore();
        return;
    }
    setRefusingDrag(true);
    event->accept();
}

void ProcessDockView::dragMoveEvent(QDragMoveEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
}

void ProcessDockView::dragLeaveEvent(QDragLeaveEvent* event) {
    setRefusingDrag(false);
    event->accept();
}

void ProcessDockView::dropEvent(QDropEvent* event) {
    setRefusingDrag(false);
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
}

void ProcessDockView::paintTile(QPainter& painter, const Laid& tile, const Image& image) const {
    const QRect rect = tileRect(tile);
    painter.setPen(Qt::NoPen);
    if (tile.frontmost || hovered_ == tile.key) {
        painter.setBrush(tile.frontmost ? frontmostFill : hoverFill);
        painter.drawRoundedRect(QRectF(rect), cornerRadius, cornerRadius);
    }
    const int iconX = rect.x() + (rect.width() - iconSize_) / 2;
    const int iconY = rect.y() + tilePadding;
    const AppBadge badge = badges_.badge(tile.badgeId);
    if (badge.urgent)
        TileBadgePainter::paintUrgency(painter, rect);
    painter.drawPixmap(QRectF(iconX, iconY, iconSize_, iconSize_), image.icon,
                       QRectF(image.icon.rect()));
    TileBadgePainter::paintBadge(painter, QRect(iconX, iconY, iconSize_, iconSize_), badge);
    painter.setPen(Qt::NoPen);
    const int dotY = iconY + iconSize_ + partSpacing;
    painter.setBrush(tile.frontmost ? indicatorOn : indicatorOff);
    painter.drawEllipse(
        QRectF(rect.center().x() - indicatorSize / 2.0 + 0.5, dotY, indicatorSize, indicatorSize));
    if (!showLabels_)
        return;
    painter.setFont(labelFont());
    painter.setPen(labelColor);
    const QRect labelRect(rect.x() + tilePadding, dotY + indicatorSize + partSpacing,
                          rect.width() - 2 * tilePadding, labelMetrics_.height());
    painter.drawText(labelRect, Qt::AlignHCenter | Qt::AlignVCenter, image.label);
}

void ProcessDockView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void ProcessDockView::scrollContentsBy(int, int) {
    viewport()->update();
}

void ProcessDockView::wheelEvent(QWheelEvent* event) {
    if (isVertical()) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // A mouse wheel turns vertically; a row follows it sideways.
    const QPoint delta = event->angleDelta();
    const int steps = delta.x() != 0 ? delta.x() : delta.y();
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() - steps * bar->singleStep() / 120);
    event->accept();
}

void ProcessDockView::mousePressEvent(QMouseEvent* event) {
    pressed_.reset();
    const auto index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index)
        pressed_ = laid_[*index].key;
    event->accept();
}

void ProcessDockView::mouseMoveEvent(QMouseEvent* event) {
    const auto index = indexAt(event->position().toPoint());
    setHovered(index ? std::optional(laid_[*index].key) : std::nullopt);
}

void ProcessDockView::mouseReleaseEvent(QMouseEvent* event) {
    const std::optional<QString> pressed = std::exchange(pressed_, std::nullopt);
    const auto index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !pressed || !index || laid_[*index].key != *pressed)
        return;
    // Activating the frontmost application again is no toggle: it stays in front.
    if (const std::optional<RunningApplication> app = currentApp(*pressed))
        runningApps_.activate(*app);
}

void ProcessDockView::contextMenuEvent(QContextMenuEvent* event) {
    const auto index = indexAt(event->pos());
    if (!index) {
        event->ignore();
        return;
    }
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Each entry finds the application again when chosen: it may have ended meanwhile.
    const QString key = laid_[*index].key;
    RunningAppsMonitor* monitor = &runningApps_;
    const auto act = [key,
                      monitor](void (RunningAppsMonitor::*request)(const RunningApplication&)) {
        return [key, monitor, request] {
            for (const RunningApplication& app : *monitor->apps)
                if (app.key == key)
                    return (monitor->*request)(RunningApplication(app));
        };
    };
    menu->addAction(tr("Show"), menu, act(&RunningAppsMonitor::activate));
    menu->addAction(tr("Hide"), menu, act(&RunningAppsMonitor::hide));
    menu->addAction(tr("Reveal in File Manager"), menu, act(&RunningAppsMonitor::reveal));
    menu->addSeparator();
    menu->addAction(tr("Quit"), menu, act(&RunningAppsMonitor::terminate));
    // popup(), not exec(): the monitor may change, and a store change remove this view, while
    // the menu is open.
    menu->popup(event->globalPos());
    event->accept();
}
