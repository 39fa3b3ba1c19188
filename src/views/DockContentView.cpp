#include "views/DockContentView.h"

#include "store/DockStore.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include <algorithm>

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
const QColor borderColor(255, 255, 255, qRound(0.12 * 255));
const QColor nameColor(255, 255, 255, qRound(0.7 * 255));

bool hasTabStrip(const Dock& dock) {
    return dock.style == DockStyle::tabbedPalette && dock.kind == DockKind::items;
}

QPainterPath outline(const QRectF& rect, double cornerRadius) {
    const double radius = std::clamp(cornerRadius, 0.0, std::min(rect.width(), rect.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QColor tint(const DockAppearance& appearance) {
    return QColor::fromRgbF(float(std::clamp(appearance.tintRed, 0.0, 1.0)),
                            float(std::clamp(appearance.tintGreen, 0.0, 1.0)),
                            float(std::clamp(appearance.tintBlue, 0.0, 1.0)));
}

} // namespace

DockContentView::DockContentView(const QUuid& dockID, const DockViewServices& services,
                                 QWidget* parent)
    : QWidget(parent), dockID_(dockID), services_(services) {
    // update() only asks for a paint on a later pass of the event loop, and a burst of
    // changes gives one paint.
    storeWillChange_ = services_.store.onObjectWillChange([this] { update(); });
}

DockContentView::~DockContentView() = default;

const Dock* DockContentView::dock() const {
    return services_.store.dock(dockID_);
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

void DockContentView::paintEvent(QPaintEvent*) {
    const Dock* current = dock();
    if (!current)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackground(painter, *current);
    paintHeader(painter, *current);
}

void DockContentView::paintBackground(QPainter& painter, const Dock& dock) const {
    const DockAppearance& appearance = dock.appearance;
    const QPainterPath shape = outline(QRectF(rect()), appearance.cornerRadius);
    painter.fillPath(shape, materialColor);
    QColor fill = tint(appearance);
    fill.setAlphaF(float(std::clamp(appearance.opacity, 0.0, 1.0)));
    painter.fillPath(shape, fill);
    // The hairline is centred on the outline; the panel's edge cuts off its outer half.
    painter.setPen(QPen(borderColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
}

void DockContentView::paintHeader(QPainter& painter, const Dock& dock) const {
    const QFont font = headerFont();
    const QFontMetrics metrics(font);
    const QRect textRect(headerLeading, headerTop, width() - headerLeading - headerTrailing,
                         metrics.height());
    painter.setFont(font);
    painter.setPen(nameColor);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(dock.name, Qt::ElideRight, textRect.width()));
}

void DockContentView::mousePressEvent(QMouseEvent* event) {
    const Dock* current = dock();
    if (!current || event->button() != Qt::LeftButton ||
        event->position().y() >= headerHeight(*current)) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The window manager moves the panel; its new position comes back as a move.
    if (QWindow* handle = window()->windowHandle())
        handle->startSystemMove();
    event->accept();
}
