// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockTabStripView.h"

#include "platform/Scheduler.h"
#include "store/DockStore.h"
#include "views/DeleteConfirmation.h"
#include "views/ElidedLine.h"
#include "views/MenuText.h"

#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <limits>

namespace {

constexpr int outerLeading = 6;
constexpr int outerTrailing = 6;
constexpr int outerVertical = 4;
constexpr int spacing = 2;
constexpr int buttonHorizontal = 8;
constexpr int buttonVertical = 3;
constexpr int fieldWidth = 70;
// The widest a tab's name is drawn; a longer one is elided.
constexpr int longestTabText = 400;
constexpr int plusGlyph = 10;
constexpr int plusPadding = 4;
constexpr int plusEdge = plusGlyph + 2 * plusPadding;

constexpr double selectedFillAlpha = 0.16;
constexpr double dragHoverFillAlpha = 0.08;
constexpr double otherTextAlpha = 0.6;

QFont tabFont(bool selected) {
    QFont font;
    font.setPixelSize(11);
    font.setWeight(selected ? QFont::DemiBold : QFont::Normal);
    return font;
}

int buttonHeight() {
    return QFontMetrics(tabFont(true)).height() + 2 * buttonVertical;
}

} // namespace

DockTabStripView::DockTabStripView(const QUuid& dockId, DockStore& store, Scheduler& scheduler,
                                   const FileSystem& fileSystem, QWidget* parent)
    : QWidget(parent), dockId_(dockId), store_(store), scheduler_(scheduler),
      fileSystem_(fileSystem) {
    setAutoFillBackground(false);
    setAcceptDrops(true);
    refresh();
}

// No signal from here: the receivers may be going away with this strip. Whoever removes the
// strip while a rename is open calls abandonRename() first.
DockTabStripView::~DockTabStripView() = default;

const Dock* DockTabStripView::dock() const {
    return store_.dock(dockId_);
}

int DockTabStripView::preferredHeight() const {
    return 2 * outerVertical + std::max(buttonHeight(), plusEdge);
}

void DockTabStripView::refresh() {
    const std::vector<Button> before = std::exchange(buttons_, {});
    const Dock* current = dock();
    bool renamedTabExists = false;
    int left = 0;
    for (std::size_t i = 0; current && i < current->tabs.size(); ++i) {
        const DockTab& tab = current->tabs[i];
        const bool selected = current->selectedTabIndex == static_cast<std::int64_t>(i);
        const bool renaming = renamingTabId_ == tab.id;
        renamedTabExists = renamedTabExists || renaming;
        // A long name is cut to a width a tab can have, from a bounded part of it: a name of
        // megabytes is measured and laid out as a few hundred characters, once per change.
        const QFont font = tabFont(selected);
        const QFontMetrics metrics(font);
        const QString shown = ElidedLine::elide(tab.name, metrics, longestTabText);
        const int content = renaming ? fieldWidth : metrics.horizontalAdvance(shown);
        const int width = content + 2 * buttonHorizontal;
        QStaticText name(shown);
        name.setTextFormat(Qt::PlainText);
        name.prepare(QTransform(), font);
        buttons_.push_back({tab.id, std::move(name), selected, left, width});
        left += width + spacing;
    }
    // The tab being renamed went away (deleted here or elsewhere): so does its rename.
    if (renamingTabId_ && !renamedTabExists)
        abandonRename();
    if (buttons_ != before) {
        relayout();
        Q_EMIT tabsChanged();
    }
}

int DockTabStripView::tabsRight() const {
    const int right = width() - outerTrailing - plusEdge - spacing;
    return overflowing_ ? right - plusEdge - spacing : right;
}

QRect DockTabStripView::tabRect(std::size_t index) const {
    if (index >= buttons_.size())
        return {};
    const Button& button = buttons_[index];
    return {outerLeading + button.left - scroll_, (height() - buttonHeight()) / 2, button.width,
            buttonHeight()};
}

QRect DockTabStripView::plusRect() const {
    return {width() - outerTrailing - plusEdge, (height() - plusEdge) / 2, plusEdge, plusEdge};
}

QRect DockTabStripView::overflowRect() const {
    if (!overflowing_)
        return {};
    return plusRect().translated(-plusEdge - spacing, 0);
}

void DockTabStripView::setInk(const PanelInk& ink) {
    if (ink == ink_)
        return;
    ink_ = ink;
    if (editor_) {
        QPalette colors = editor_->palette();
        colors.setColor(QPalette::Text, ink_.at(1));
        editor_->setPalette(colors);
    }
    update();
}

void DockTabStripView::relayout(bool reveal) {
    const int content = buttons_.empty() ? 0 : buttons_.back().left + buttons_.back().width;
    overflowing_ = false;
    overflowing_ = content > tabsRight() - outerLeading;
    const int visible = tabsRight() - outerLeading;
    if (reveal) {
        const auto selected = std::find_if(buttons_.begin(), buttons_.end(),
                                           [](const Button& b) { return b.selected; });
        if (selected != buttons_.end()) {
            // The least scroll that shows it whole (its start, when it is wider than the strip).
            scroll_ = std::min(scroll_, selected->left);
            scroll_ =
                std::max(scroll_, selected->left + std::min(selected->width, visible) - visible);
        }
    }
    scroll_ = std::clamp(scroll_, 0, std::max(0, content - visible));
    if (editor_) {
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            if (buttons_[i].id == renamingTabId_)
                editor_->setGeometry(tabRect(i).adjusted(buttonHorizontal, buttonVertical,
                                                         -buttonHorizontal, -buttonVertical));
    }
    update();
}

void DockTabStripView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout(true);
}

std::optional<std::size_t> DockTabStripView::buttonAt(QPoint point) const {
    if (point.x() >= tabsRight())
        return std::nullopt;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (tabRect(i).contains(point))
            return i;
    return std::nullopt;
}

void DockTabStripView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    // Tabs that overflow scroll under the "plus" button's place, never over it.
    painter.setClipRect(QRect(outerLeading, 0, tabsRight() - outerLeading, height()));
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const Button& button = buttons_[i];
        const QRect rect = tabRect(i);
        if (button.selected || button.id == dragHover_) {
            QPainterPath fill;
            fill.addRoundedRect(QRectF(rect), 6, 6);
            painter.fillPath(fill,
                             ink_.at(button.selected ? selectedFillAlpha : dragHoverFillAlpha));
        }
        if (button.id == renamingTabId_)
            continue;
        painter.setFont(tabFont(button.selected));
        painter.setPen(ink_.at(button.selected ? 1.0 : otherTextAlpha));
        const QSizeF text = button.name.size();
        painter.drawStaticText(QRectF(rect).center() - QPointF(text.width(), text.height()) / 2,
                               button.name);
    }
    painter.restore();
    // The "plus" glyph, drawn as two strokes at the weight of semibold text.
    const QRectF glyph =
        QRectF(plusRect()).adjusted(plusPadding, plusPadding, -plusPadding, -plusPadding);
    painter.setPen(QPen(ink_.at(otherTextAlpha), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(glyph.center().x(), glyph.top()),
                     QPointF(glyph.center().x(), glyph.bottom()));
    painter.drawLine(QPointF(glyph.left(), glyph.center().y()),
                     QPointF(glyph.right(), glyph.center().y()));
    if (!overflowing_)
        return;
    // More tabs than fit: a chevron that lists them all.
    const QRectF more =
        QRectF(overflowRect()).adjusted(plusPadding, plusPadding + 2, -plusPadding, -plusPadding);
    painter.drawPolyline(QPolygonF({QPointF(more.left(), more.top() + 1),
                                    QPointF(more.center().x(), more.bottom() - 2),
                                    QPointF(more.right(), more.top() + 1)}));
}

void DockTabStripView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    if (plusRect().contains(point))
        addTab();
    else if (overflowRect().contains(point))
        showOverflowMenu();
    else if (const auto index = buttonAt(point))
        selectTab(buttons_[*index].id);
    event->accept();
}

void DockTabStripView::mouseDoubleClickEvent(QMouseEvent* event) {
    const auto index =
        event->button() == Qt::LeftButton ? buttonAt(event->position().toPoint()) : std::nullopt;
    if (!index) {
        // A quick second press on "plus" is another press, not a rename.
        mousePressEvent(event);
        return;
    }
    beginRename(buttons_[*index].id);
    event->accept();
}

void DockTabStripView::addTab() {
    store_.addTab(dockId_, tr("New Tab"));
    const Dock* current = dock();
    if (!current || current->tabs.empty())
        return;
    // The store puts a new tab last.
    const QUuid tabId = current->tabs.back().id;
    store_.selectTab(dockId_, tabId);
    beginRename(tabId);
}

void DockTabStripView::showOverflowMenu() {
    const Dock* current = dock();
    if (!current)
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<DockTabStripView> self(this);
    for (std::size_t i = 0; i < current->tabs.size(); ++i) {
        const QUuid tabId = current->tabs[i].id;
        QAction* entry = menu->addAction(menuText(current->tabs[i].name), menu, [self, tabId] {
            if (self)
                self->selectTab(tabId);
        });
        entry->setCheckable(true);
        entry->setChecked(current->selectedTabIndex == static_cast<std::int64_t>(i));
    }
    menu->popup(mapToGlobal(overflowRect().bottomLeft()));
}

void DockTabStripView::contextMenuEvent(QContextMenuEvent* event) {
    const auto index = buttonAt(event->pos());
    if (!index) {
        event->ignore();
        return;
    }
    const QUuid tabId = buttons_[*index].id;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<DockTabStripView> self(this);
    menu->addAction(tr("Rename"), menu, [self, tabId] {
        if (self)
            self->beginRename(tabId);
    });
    if (buttons_.size() >= 2)
        menu->addAction(tr("Delete Tab"), menu, [self, tabId] {
            if (self)
                self->deleteTab(tabId);
        });
    menu->popup(event->globalPos());
    event->accept();
}

const DockTab* DockTabStripView::tabOf(const Dock& dock, const QUuid& tabId) {
    const auto tab = std::find_if(dock.tabs.begin(), dock.tabs.end(),
                                  [&](const DockTab& t) { return t.id == tabId; });
    return tab == dock.tabs.end() ? nullptr : &*tab;
}

void DockTabStripView::deleteTab(const QUuid& tabId) {
    const Dock* current = dock();
    const DockTab* tab = current ? tabOf(*current, tabId) : nullptr;
    if (!tab)
        return;
    DockStore* store = &store_;
    const QUuid dockId = dockId_;
    const auto remove = [store, tabId, dockId] { store->removeTab(tabId, dockId); };
    // An empty tab loses nothing; one with items asks first, naming them.
    if (tab->items.empty())
        remove();
    else
        DeleteConfirmation::forTab(*tab, window(), remove);
}

void DockTabStripView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    scrollBy(-(delta.x() != 0 ? delta.x() : delta.y()) / 4);
    event->accept();
}

void DockTabStripView::scrollBy(int delta) {
    scroll_ += delta;
    relayout(false);
}

void DockTabStripView::selectTab(const QUuid& tabId) {
    store_.selectTab(dockId_, tabId);
}

void DockTabStripView::beginRename(const QUuid& tabId) {
    const Dock* current = dock();
    const DockTab* tab = current ? tabOf(*current, tabId) : nullptr;
    if (!tab)
        return;
    const bool selected =
        current->selectedTabIndex == static_cast<std::int64_t>(tab - current->tabs.data());
    const bool hadField = renamingTabId_.has_value();
    // A rename already open on another tab is dropped unsaved.
    if (editor_) {
        editor_->hide();
        editor_->deleteLater();
    }
    renamingTabId_ = tabId;
    auto* field = new QLineEdit(tab->name, this);
    editor_ = field;
    field->setFrame(false);
    field->setPlaceholderText(tr("Name"));
    field->setFont(tabFont(selected));
    QPalette colors = field->palette();
    colors.setColor(QPalette::Base, Qt::transparent);
    colors.setColor(QPalette::Text, ink_.at(1));
    field->setPalette(colors);
    field->selectAll();
    connect(field, &QLineEdit::returnPressed, this, &DockTabStripView::commitRename);
    refresh();
    field->show();
    if (!hadField)
        Q_EMIT keyboardFocusWanted(true);
    field->setFocus();
}

void DockTabStripView::commitRename() {
    if (!renamingTabId_ || !editor_)
        return;
    const QUuid tabId = *renamingTabId_;
    const QString name = editor_->text();
    abandonRename();
    // By id, in the dock as it is now: a tab deleted meanwhile does not shift the rename onto
    // its neighbour.
    store_.renameTab(dockId_, tabId, name);
}

void DockTabStripView::abandonRename() {
    if (!renamingTabId_)
        return;
    renamingTabId_.reset();
    if (editor_) {
        // Called from the field's own signal: it goes once that has returned.
        editor_->hide();
        editor_->deleteLater();
        editor_ = nullptr;
    }
    Q_EMIT keyboardFocusWanted(false);
    refresh();
}

// Drags: held over a tab, they select it; dropped on one, they go to its end.

void DockTabStripView::dragEnterEvent(QDragEnterEvent* event) {
    dragSeen_ = false;
    dragMoveEvent(event);
    // An enter that is ignored gets no moves after it: a drag the strip takes is taken in
    // wherever it enters, and each move then says whether its tab takes it.
    if (!event->isAccepted() && TileDrop::accepts(dragContents_, dockId_, {}))
        event->accept();
}

void DockTabStripView::dragMoveEvent(QDragMoveEvent* event) {
    // Read once per drag: from another program each read is a round trip.
    if (!dragSeen_) {
        const QMimeData* data = event->mimeData();
        dragContents_ = data ? TileDrop::read(*data, store_, {}) : TileDrop::Contents();
        dragSeen_ = true;
    }
    const auto index = buttonAt(event->position().toPoint());
    const bool accepts = index && TileDrop::accepts(dragContents_, dockId_, {});
    setDragHover(accepts ? std::optional(buttons_[*index].id) : std::nullopt);
    if (!accepts) {
        event->ignore();
        return;
    }
    // Whatever the source proposed: a Move would make it delete what it dragged.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DockTabStripView::dragLeaveEvent(QDragLeaveEvent* event) {
    dragSeen_ = false;
    setDragHover(std::nullopt);
    event->accept();
}

void DockTabStripView::dropEvent(QDropEvent* event) {
    const auto index = buttonAt(event->position().toPoint());
    dragSeen_ = false;
    setDragHover(std::nullopt);
    const QMimeData* data = event->mimeData();
    const TileDrop::Place end{dockId_, index ? buttons_[*index].id : QUuid(),
                              std::numeric_limits<std::int64_t>::max()};
    const bool copy = event->modifiers().testFlag(Qt::ControlModifier);
    if (!index || !data || !TileDrop::apply(*data, end, copy, store_, fileSystem_, {})) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void DockTabStripView::setDragHover(std::optional<QUuid> tabId) {
    if (tabId == dragHover_)
        return;
    dragHover_ = tabId;
    holdTimer_.cancel();
    update();
    const bool selected = std::any_of(buttons_.begin(), buttons_.end(),
                                      [&](const Button& b) { return b.id == tabId && b.selected; });
    if (!tabId || selected)
        return;
    // The timer goes with the strip, and with the drag leaving the tab.
    holdTimer_ = scheduler_.schedule(holdToSelect, [this, id = *tabId] { selectTab(id); });
}
