// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockContentView.h"

#include "runtime/RunningAppsMonitor.h"
#include "store/DockStore.h"
#include "views/ClippingsDockView.h"
#include "views/DockAccessibility.h"
#include "views/DockTabStripView.h"
#include "views/PanelResizeGrip.h"
#include "views/ProcessDockView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace {

// Header padding around the name.
constexpr int headerLeading = 10;
constexpr int headerTrailing = 10;
constexpr int headerTop = 8;
constexpr int headerBottomBeforeTabs = 0;
constexpr int headerBottom = 6;

// Behind the tint: what stands in for a blur material where the compositor blurs nothing. It is
// not faded with the dock's opacity, so a dock at opacity 0 still reads as a panel.
const QColor materialColor(30, 30, 34, 90);
constexpr double nameAlpha = 0.7;
constexpr double dividerAlpha = 0.15;

bool hasTabStrip(const Dock& dock) {
    return dock.style == DockStyle::tabbedPalette && dock.kind == DockKind::items;
}

QColor tint(const DockAppearance& appearance) {
    return QColor::fromRgbF(float(std::clamp(appearance.tintRed, 0.0, 1.0)),
                            float(std::clamp(appearance.tintGreen, 0.0, 1.0)),
                            float(std::clamp(appearance.tintBlue, 0.0, 1.0)));
}

// One colour laid over another, as one colour: the panel fills its shape once.
QColor over(const QColor& top, const QColor& bottom) {
    const float topAlpha = top.alphaF();
    const float bottomAlpha = bottom.alphaF() * (1 - topAlpha);
    const float alpha = topAlpha + bottomAlpha;
    if (alpha <= 0)
        return Qt::transparent;
    const auto mix = [&](float upper, float lower) {
        return (upper * topAlpha + lower * bottomAlpha) / alpha;
    };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()), alpha);
}

} // namespace

DockContentView::DockContentView(const QUuid& dockId, const Services& services, QWidget* parent)
    : QWidget(parent), dockId_(dockId), services_(services) {
    DockAccessibility::install();
    // A burst of changes gives one refresh, on a later pass of the event loop; it repaints what
    // changed and nothing else.
    storeChanges_ = services_.store.observeChanges([this](const DockChange& change) {
        if (change.touches(dockId_,
                           DockFacet::content | DockFacet::appearance | DockFacet::listing))
            refreshTask_.request();
    });
    // The children are made when the panel is first shown, or on the next pass: a panel that
    // stays hidden never makes them.
    refreshTask_.request();
}

DockContentView::~DockContentView() = default;

const Dock* DockContentView::dock() const {
    return services_.store.dock(dockId_);
}

QPainterPath DockContentView::outline(const QRectF& rect, double cornerRadius) {
    return PanelBackground::outline(rect, cornerRadius);
}

double DockContentView::cornerRadius() const {
    const Dock* current = dock();
    const double radius = current ? current->appearance.cornerRadius : 0.0;
    return std::isfinite(radius) ? std::max(0.0, radius) : 0.0;
}

QString DockContentView::launcherHint() {
    return tr("Drag applications, files, folders or web links here, or add them in this dock's "
              "settings (Preferences\u2026 in Moorline's menu).");
}

QFont DockContentView::headerFont() {
    QFont font;
    // A point of the dock's geometry is a logical pixel; the name's size follows that rule.
    font.setPixelSize(11);
    font.setWeight(QFont::DemiBold);
    return font;
}

int DockContentView::headerHeight(const Dock& dock) const {
    const int bottom = hasTabStrip(dock) ? headerBottomBeforeTabs : headerBottom;
    return headerTop + QFontMetrics(headerFont()).height() + bottom;
}

void DockContentView::refresh() {
    const DockStore& store = services_.store;
    const std::uint64_t content = store.revision(dockId_, DockFacet::content);
    const std::uint64_t appearance = store.revision(dockId_, DockFacet::appearance);
    // Each part only for what it shows: the tab strip the tabs, the switcher the layout, the
    // grid both (and it tells a new layout from a new tint itself).
    const bool contentMoved = !refreshed_ || content != contentRevision_;
    const bool appearanceMoved = !refreshed_ || appearance != appearanceRevision_;
    refreshed_ = true;
    contentRevision_ = content;
    appearanceRevision_ = appearance;
    const Dock* current = dock();
    if (contentMoved || appearanceMoved) {
        makeChildren(current);
        applyInk(current);
        layoutChildren(current);
    }
    if (tabStrip_ && contentMoved)
        tabStrip_->refresh();
    if (grid_ && (contentMoved || appearanceMoved))
        grid_->refresh();
    if (processes_ && appearanceMoved)
        processes_->refresh();
    if (clippings_ && (contentMoved || appearanceMoved))
        clippings_->refresh();
    const double radius = cornerRadius();
    if (radius != cornerRadius_) {
        cornerRadius_ = radius;
        Q_EMIT cornerRadiusChanged(radius);
    }
    std::optional<Chrome> chrome;
    if (current)
        chrome = Chrome{current->name, current->kind, current->style, current->appearance};
    if (chrome != chrome_) {
        if (chrome && (!chrome_ || chrome->name != chrome_->name || chrome->kind != chrome_->kind))
            describeWindow(*chrome);
        chrome_ = std::move(chrome);
        update();
    }
}

void DockContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren(dock());
}

bool DockContentView::event(QEvent* event) {
    // Polished as the panel is first shown, before it is visible: its children are made now and
    // drawn with it, in its first frame. Made on the pass after, they came after its exposure
    // (the window system's events are handled before posted work), and the panel was drawn
    // twice, first without them.
    if (event->type() == QEvent::Polish)
        refreshTask_.runIfPending();
    return QWidget::event(event);
}

void DockContentView::makeChildren(const Dock* current) {
    // Made when first needed, by a refresh (never by the panel's first layout, which comes
    // before it is mapped: the first measuring of text loads the fonts). Most docks never show
    // one of them.
    if (current && hasTabStrip(*current) && !tabStrip_) {
        tabStrip_ = new DockTabStripView(dockId_, services_.store, services_.scheduler,
                                         services_.fileSystem, this);
        connect(tabStrip_, &DockTabStripView::keyboardFocusWanted, this,
                &DockContentView::keyboardFocusWanted);
    }
    if (current && current->kind == DockKind::items && !grid_) {
        grid_ = new DockItemGridView(dockId_, services_.grid(), this);
        grid_->setEmptyHint(launcherHint());
    }
    if (current && current->kind == DockKind::applicationSwitcher && !processes_)
        processes_ = new ProcessDockView(dockId_, services_.store, services_.runningApps,
                                         services_.badges, services_.scheduler, this);
    if (current && current->kind == DockKind::clippings && !clippings_)
        clippings_ = new ClippingsDockView(dockId_, services_.grid(), this);
    if (current && !resizeGrip_) {
        resizeGrip_ = new PanelResizeGrip(this);
        resizeGrip_->show();
    }
}

void DockContentView::applyInk(const Dock* current) {
    ink_ = current ? PanelInk::forAppearance(current->appearance) : PanelInk();
    // Each part repaints only when its ink changed.
    if (tabStrip_)
        tabStrip_->setInk(ink_);
    if (grid_)
        grid_->setInk(ink_);
    if (processes_)
        processes_->setInk(ink_);
    if (clippings_)
        clippings_->setInk(ink_);
    if (resizeGrip_)
        resizeGrip_->setInk(ink_);
}

void DockContentView::layoutChildren(const Dock* current) {
    if (resizeGrip_) {
        resizeGrip_->setVisible(current != nullptr);
        // Inside the rounded corner, above whatever body the dock has.
        const int inset = 2 + int(std::min(cornerRadius(), 32.0) * 0.3);
        resizeGrip_->move(width() - PanelResizeGrip::edge - inset,
                          height() - PanelResizeGrip::edge - inset);
        resizeGrip_->raise();
    }
    if (!tabStrip_ && !grid_ && !processes_ && !clippings_)
        return;
    const bool showsStrip = current && hasTabStrip(*current);
    const bool showsGrid = current && current->kind == DockKind::items;
    int y = current ? headerHeight(*current) : 0;
    dividerY_ = -1;
    if (tabStrip_) {
        // The rename state goes with the strip.
        if (!showsStrip)
            tabStrip_->abandonRename();
        tabStrip_->setVisible(showsStrip);
        if (showsStrip) {
            tabStrip_->setGeometry(0, y, width(), tabStrip_->preferredHeight());
            y += tabStrip_->height();
            dividerY_ = y;
            y += 1;
        }
    }
    if (grid_) {
        grid_->setVisible(showsGrid);
        grid_->setGeometry(0, y, width(), std::max(0, height() - y));
        grid_->setOutline(outline(QRectF(rect()), cornerRadius()).translated(0, -y));
    }
    if (processes_) {
        processes_->setVisible(current && current->kind == DockKind::applicationSwitcher);
        processes_->setGeometry(0, y, width(), std::max(0, height() - y));
    }
    if (clippings_) {
        clippings_->setVisible(current && current->kind == DockKind::clippings);
        clippings_->setGeometry(0, y, width(), std::max(0, height() - y));
        clippings_->grid()->setOutline(outline(QRectF(rect()), cornerRadius()).translated(0, -y));
    }
}

void DockContentView::keyboardFocusWanted(bool wanted) {
    if (wanted == focusWanted_)
        return;
    focusWanted_ = wanted;
    // With the keyboard in the dock already, it stays there: back to the tiles.
    if (keyboardSession_) {
        if (!wanted)
            if (QWidget* target = body())
                target->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (wanted) {
        // Whoever had the keyboard gets it back once the field closes.
        focusReturnsTo_ = *services_.runningApps.frontmostApp;
        Q_EMIT acceptsFocusChanged(true);
        return;
    }
    Q_EMIT acceptsFocusChanged(false);
    if (const auto previous = std::exchange(focusReturnsTo_, std::nullopt))
        services_.runningApps.activate(*previous);
}

void DockContentView::paintEvent(QPaintEvent*) {
    const Dock* current = dock();
    if (!current)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackground(painter, *current);
    paintHeader(painter, *current);
    if (dividerY_ >= 0)
        painter.fillRect(QRect(0, dividerY_, width(), 1), ink_.at(dividerAlpha));
}

void DockContentView::paintBackground(QPainter& painter, const Dock& dock) const {
    const DockAppearance& appearance = dock.appearance;
    const qreal ratio = devicePixelRatioF();
    const QColor outline = ink_.outline();
    if (!background_.fits(size(), appearance.cornerRadius, ratio, outline))
        background_ = PanelBackground(size(), appearance.cornerRadius, ratio, outline);
    QColor fill = tint(appearance);
    fill.setAlphaF(float(std::clamp(appearance.opacity, 0.0, 1.0)));
    background_.paint(painter, over(fill, materialColor),
                      window()->testAttribute(Qt::WA_TranslucentBackground));
}

void DockContentView::paintHeader(QPainter& painter, const Dock& dock) const {
    const QFont font = headerFont();
    const int available = width() - headerLeading - headerTrailing;
    // Elided once per change of the name or width (from a bounded part of a name of any
    // length), and laid out once too, not at every repaint of the panel.
    const QString& elided = headerName_.text(dock.name, font, available);
    if (header_.text.text() != elided || header_.font != font) {
        header_.font = font;
        header_.text.setText(elided);
        header_.text.setTextFormat(Qt::PlainText);
        header_.text.prepare(QTransform(), font);
    }
    painter.setFont(font);
    painter.setPen(ink_.at(nameAlpha));
    painter.drawStaticText(QPointF(headerLeading, headerTop), header_.text);
}

void DockContentView::mousePressEvent(QMouseEvent* event) {
    const Dock* current = dock();
    if (!current || event->button() != Qt::LeftButton ||
        event->position().y() >= headerHeight(*current)) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the panel; its new position comes back as a move. Where none
    // can (a layer surface on Wayland), the panel follows the pointer itself.
    QWindow* handle = window()->windowHandle();
    if (!handle || !handle->startSystemMove())
        Q_EMIT moveByHandRequested();
    event->accept();
}

// The keyboard and screen readers.

void DockContentView::describeWindow(const Chrome& chrome) {
    // A screen reader names the panel by its dock and says what kind of dock it is.
    QWidget* panel = window();
    panel->setAccessibleName(chrome.name);
    switch (chrome.kind) {
    case DockKind::items:
        panel->setAccessibleDescription(tr("Launcher Dock"));
        break;
    case DockKind::applicationSwitcher:
        panel->setAccessibleDescription(tr("Application Dock"));
        break;
    case DockKind::clippings:
        panel->setAccessibleDescription(tr("Clippings Dock"));
        break;
    }
}

QWidget* DockContentView::body() const {
    const Dock* current = dock();
    if (!current)
        return nullptr;
    switch (current->kind) {
    case DockKind::items:
        return grid_;
    case DockKind::applicationSwitcher:
        return processes_;
    case DockKind::clippings:
        return clippings_ ? clippings_->grid() : nullptr;
    }
    return nullptr;
}

void DockContentView::setKeyboardSession(bool active) {
    keyboardSession_ = active;
    if (!active)
        return;
    // The body may not be made yet when the hot key shows the dock for the first time.
    if (!refreshed_)
        refresh();
    if (QWidget* target = body())
        target->setFocus(Qt::OtherFocusReason);
}

void DockContentView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (key == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        Q_EMIT keyboardReturnRequested(std::uint32_t(event->timestamp()));
    } else if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
               (modifiers & Qt::ControlModifier)) {
        switchTab(key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier) ? -1 : 1);
    } else if (key == Qt::Key_F2 && modifiers == Qt::NoModifier) {
        renameSelectedTab();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DockContentView::switchTab(int step) {
    const Dock* current = dock();
    if (!current || !hasTabStrip(*current) || current->tabs.empty())
        return;
    const auto count = std::int64_t(current->tabs.size());
    const std::int64_t selected = std::clamp<std::int64_t>(current->selectedTabIndex, 0, count - 1);
    const std::int64_t next = ((selected + step) % count + count) % count;
    services_.store.selectTab(dockId_, current->tabs[std::size_t(next)].id);
}

void DockContentView::renameSelectedTab() {
    const Dock* current = dock();
    if (!current || !tabStrip_ || !hasTabStrip(*current) || current->selectedTabIndex < 0 ||
        current->selectedTabIndex >= std::int64_t(current->tabs.size()))
        return;
    tabStrip_->beginRename(current->tabs[std::size_t(current->selectedTabIndex)].id);
}
