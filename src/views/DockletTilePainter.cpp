// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockletTilePainter.h"

#include "models/ReferenceDate.h"
#include "runtime/DockletRuntime.h"
#include "support/IconResolver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double primaryAlpha = 0.92;
constexpr double secondaryAlpha = 0.55;
constexpr double cardAlpha = 0.06;
constexpr double lineAlpha = 0.15;
constexpr double gaugeTrackAlpha = 0.2;
const QColor targetedFill(255, 59, 48, qRound(0.18 * 255));
const QColor targetedSymbol(255, 69, 58);

// A text's size: its share of the tile, never below what the desktop still reads as text.
QFont fontOfSize(double pixels, QFont::Weight weight = QFont::Normal) {
    QFont font;
    font.setPixelSize(
        std::max(1, int(std::lround(std::max(pixels, DockletTilePainter::smallestText())))));
    font.setWeight(weight);
    return font;
}

// One line of text of a given size, shrunk down to half that size where it would not fit.
QFont fitted(const QString& text, double pixels, QFont::Weight weight, double width) {
    QFont font = fontOfSize(pixels, weight);
    const int natural = QFontMetrics(font).horizontalAdvance(text);
    if (natural > width && natural > 0)
        font = fontOfSize(std::max(pixels * 0.5, font.pixelSize() * width / natural), weight);
    return font;
}

// A single-coloured symbol at `edge` points, drawn once per colour and size.
QPixmap tintedSymbol(const QString& name, double edge, const QColor& color, qreal ratio) {
    const int pixels = std::max(1, int(std::lround(edge * ratio)));
    const QString key = QStringLiteral("moorline.docklet/%1/%2/%3/%4")
                            .arg(name)
                            .arg(pixels)
                            .arg(color.rgba(), 0, 16)
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = IconResolver::symbolArtwork(name).pixmap(QSize(pixels, pixels));
    if (pixmap.isNull()) {
        pixmap = QPixmap(pixels, pixels);
        pixmap.fill(Qt::transparent);
    }
    QPainter tint(&pixmap);
    tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tint.fillRect(pixmap.rect(), color);
    tint.end();
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// A vertical stack of parts, centred in the tile.
struct Part {
    double height;
    std::function<void(QPainter&, const QRectF&)> draw;
};

void drawStack(QPainter& painter, const QRectF& rect, double spacing,
               const std::vector<Part>& parts) {
    double heights = 0;
    for (const Part& part : parts)
        heights += part.height;
    // Texts held at their smallest size may leave less room between the parts, never less.
    const double gaps = double(parts.size() - 1);
    if (gaps > 0)
        spacing = std::clamp((rect.height() - heights) / gaps, 0.0, spacing);
    const double total = heights + spacing * gaps;
    double y = rect.center().y() - total / 2;
    for (const Part& part : parts) {
        part.draw(painter, QRectF(rect.left(), y, rect.width(), part.height));
        y += part.height + spacing;
    }
}

Part symbolPart(const QString& name, double edge, const QColor& color, qreal ratio) {
    return {edge, [=](QPainter& painter, const QRectF& box) {
                const QPixmap pixmap = tintedSymbol(name, edge, color, ratio);
                const QSizeF size(edge, edge);
                painter.drawPixmap(QRectF(QPointF(box.center().x() - edge / 2, box.top()), size),
                                   pixmap, QRectF(pixmap.rect()));
            }};
}

Part textPart(const QString& text, const QFont& font, const QColor& color) {
    return {double(QFontMetrics(font).height()), [=](QPainter& painter, const QRectF& box) {
                painter.setFont(font);
                painter.setPen(color);
                painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip,
                                 text);
            }};
}

// Drawn once per look into a small image that is then copied: Qt fills a smoothed shape of
// more than a few dozen rows on its painting threads, and waking them at every change of a
// docklet (each minute for the clock, each second for the meter) woke the whole program.
QPixmap drawnOnce(const QString& key, double width, double height, qreal ratio,
                  const std::function<void(QPainter&, const QRectF&)>& draw) {
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    pixmap = QPixmap(std::max(1, int(std::ceil(width * ratio))),
                     std::max(1, int(std::ceil(height * ratio))));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, QRectF(0, 0, width, height));
    painter.end();
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

Part gaugePart(double fill, const QColor& color, const QColor& track, double edge, qreal ratio) {
    // The fill is told apart to a degree, as the shown state does.
    const int degrees = int(std::lround(fill * 360));
    return {edge, [=](QPainter& painter, const QRectF& box) {
                const QString key = QStringLiteral("moorline.gauge/%1/%2/%3/%4/%5")
                                        .arg(edge)
                                        .arg(degrees)
                                        .arg(color.rgba(), 0, 16)
                                        .arg(track.rgba(), 0, 16)
                                        .arg(ratio);
                const QPixmap gauge =
                    drawnOnce(key, edge, edge, ratio, [&](QPainter& p, const QRectF& area) {
                        const double thickness = std::max(1.5, edge * 0.12);
                        const QRectF ring = area.adjusted(thickness / 2, thickness / 2,
                                                          -thickness / 2, -thickness / 2);
                        p.setBrush(Qt::NoBrush);
                        p.setPen(QPen(track, thickness));
                        p.drawEllipse(ring);
                        if (degrees <= 0)
                            return;
                        p.setPen(QPen(color, thickness, Qt::SolidLine, Qt::RoundCap));
                        // From twelve o'clock, clockwise; Qt counts sixteenths of a degree
                        // anticlockwise.
                        p.drawArc(ring, 90 * 16, -degrees * 16);
                    });
                painter.drawPixmap(QPointF(box.center().x() - edge / 2, box.top()), gauge);
            }};
}

void drawCard(QPainter& painter, const QRectF& rect, const QColor& fill) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QString key = QStringLiteral("moorline.card/%1/%2/%3/%4")
                            .arg(rect.width())
                            .arg(rect.height())
                            .arg(fill.rgba(), 0, 16)
                            .arg(ratio);
    const QPixmap card =
        drawnOnce(key, rect.width(), rect.height(), ratio, [&](QPainter& p, const QRectF& area) {
            const double radius = area.width() * 0.2;
            QPainterPath shape;
            shape.addRoundedRect(area, radius, radius);
            p.fillPath(shape, fill);
        });
    painter.drawPixmap(rect.topLeft(), card);
}

} // namespace

unsigned DockletTilePainter::figures(DockletKind docklet) {
    switch (docklet) {
    case DockletKind::clock:
        return DockletRuntime::time;
    case DockletKind::diskSpace:
        return DockletRuntime::diskSpace;
    case DockletKind::cpuMeter:
        return DockletRuntime::cpuLoad;
    case DockletKind::trash:
    case DockletKind::separator:
        break;
    }
    return 0;
}

QString DockletTilePainter::shownState(DockletKind docklet, const DockletFigures& figures,
                                       const QLocale& locale) {
    switch (docklet) {
    case DockletKind::clock:
        return clockText(figures.now, locale);
    case DockletKind::diskSpace:
        return diskText(figures.diskFreeBytes, locale);
    case DockletKind::cpuMeter: {
        const double usage = figures.cpuUsage;
        // The gauge is told apart to a degree or so, far finer than anyone sees.
        return QStringLiteral("%1 %2 %3")
            .arg(cpuPercent(usage))
            .arg(std::lround(gaugeFill(usage) * 360))
            .arg(cpuColor(usage).rgba());
    }
    case DockletKind::trash:
    case DockletKind::separator:
        break;
    }
    return {};
}

QString DockletTilePainter::withoutSeconds(const QString& format) {
    // Split into fields (runs of one letter), quoted literals and separators.
    struct Piece {
        QString text;
        bool isField;
        bool isSeconds;
    };
    std::vector<Piece> pieces;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype end = i + 1;
        if (c == u'\'') {
            while (end < format.size() && format[end] != u'\'')
                ++end;
            end = std::min(format.size(), end + 1);
        } else if (c.isLetter()) {
            while (end < format.size() && format[end] == c)
                ++end;
        } else {
            while (end < format.size() && !format[end].isLetter() && format[end] != u'\'')
                ++end;
        }
        const bool isField = c.isLetter();
        pieces.push_back({format.mid(i, end - i), isField, isField && (c == u's' || c == u'z')});
        i = end;
    }
    // Each seconds field goes with the separator before it ("HH:mm:ss"), or after it when it
    // leads.
    for (std::size_t i = 0; i < pieces.size();) {
        if (!pieces[i].isSeconds) {
            ++i;
            continue;
        }
        std::size_t from = i;
        std::size_t to = i + 1;
        if (i > 0 && !pieces[i - 1].isField && !pieces[i - 1].text.startsWith(u'\''))
            from = i - 1;
        else if (to < pieces.size() && !pieces[to].isField && !pieces[to].text.startsWith(u'\''))
            ++to;
        pieces.erase(pieces.begin() + std::ptrdiff_t(from), pieces.begin() + std::ptrdiff_t(to));
        i = from;
    }
    QString result;
    for (const Piece& piece : pieces)
        result += piece.text;
    return result;
}

QString DockletTilePainter::clockText(double referenceSeconds, const QLocale& locale) {
    // Dates beyond a few thousand years cannot be shown and are of no use to anyone.
    const double unix =
        std::clamp(std::isnan(referenceSeconds) ? 0.0 : referenceSeconds, -1e11, 1e11) +
        ReferenceDate::unixOffset;
    const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(unix * 1000));
    return locale.toString(time.time(), withoutSeconds(locale.timeFormat(QLocale::ShortFormat)));
}

QString DockletTilePainter::diskText(qint64 bytes, const QLocale& locale) {
    return locale.formattedDataSize(std::max<qint64>(0, bytes), 1, QLocale::DataSizeSIFormat);
}

int DockletTilePainter::cpuPercent(double usage) {
    if (!std::isfinite(usage))
        return 0;
    return int(std::clamp(std::trunc(usage * 100), -1e6, 1e6));
}

double DockletTilePainter::gaugeFill(double usage) {
    return std::isnan(usage) ? 0.0 : std::clamp(usage, 0.0, 1.0);
}

QColor DockletTilePainter::cpuColor(double usage) {
    if (usage > 0.8)
        return QColor(255, 69, 58);
    if (usage > 0.5)
        return QColor(255, 159, 10);
    return QColor(48, 209, 88);
}

double DockletTilePainter::smallestText() {
    // Read once: the desktop's fonts do not change under a running panel often enough to matter.
    // Worked out from the font's size as Qt rounds it: asking QFontInfo would load the font (its
    // file, its fallbacks) only to learn a number, before the first frame.
    static const double pixels = [] {
        const QFont font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
        if (font.pixelSize() > 0)
            return double(font.pixelSize());
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int dpi = screen ? qRound(screen->logicalDotsPerInchY()) : 96;
        return double(std::max(1L, std::lround(font.pointSizeF() * dpi / 72)));
    }();
    return pixels;
}

void DockletTilePainter::paint(QPainter& painter, DockletKind docklet, const QRectF& rect,
                               const DockletFigures& figures, const Look& look) {
    const double size = rect.width();
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QColor primary = look.ink.at(primaryAlpha);
    const QColor secondary = look.ink.at(secondaryAlpha);
    if (docklet == DockletKind::separator) {
        const double width = size * 0.7;
        painter.fillRect(QRectF(rect.center().x() - width / 2, rect.center().y() - 0.5, width, 1),
                         look.ink.at(lineAlpha));
        return;
    }
    const bool trashTargeted = look.targeted && docklet == DockletKind::trash;
    drawCard(painter, rect, trashTargeted ? targetedFill : look.ink.at(cardAlpha));
    const double inner = size * 0.9;
    switch (docklet) {
    case DockletKind::clock: {
        const QString text = clockText(figures.now, QLocale());
        drawStack(painter, rect, 2,
                  {textPart(text, fitted(text, size * 0.2, QFont::DemiBold, inner), primary),
                   symbolPart(QStringLiteral("clock"), size * 0.22, secondary, ratio)});
        break;
    }
    case DockletKind::trash:
        drawStack(painter, rect, 0,
                  {symbolPart(trashTargeted    ? QStringLiteral("trash.fill")
                              : look.trashFull ? QStringLiteral("trash.full")
                                               : QStringLiteral("trash"),
                              size * 0.5, trashTargeted ? targetedSymbol : secondary, ratio)});
        break;
    case DockletKind::diskSpace: {
        QString text = diskText(figures.diskFreeBytes, QLocale());
        const QFont font = fitted(text, size * 0.13, QFont::Medium, inner);
        // Held at the smallest size and still too wide: whole units are enough to read.
        if (QFontMetrics(font).horizontalAdvance(text) > size)
            text = QLocale().formattedDataSize(std::max<qint64>(0, figures.diskFreeBytes), 0,
                                               QLocale::DataSizeSIFormat);
        drawStack(painter, rect, 4,
                  {symbolPart(QStringLiteral("internaldrive"), size * 0.3, primary, ratio),
                   textPart(text, font, primary),
                   textPart(QCoreApplication::translate("DockletTilePainter", "free"),
                            fontOfSize(size * 0.11), secondary)});
        break;
    }
    case DockletKind::cpuMeter: {
        const double usage = figures.cpuUsage;
        drawStack(painter, rect, 4,
                  {gaugePart(gaugeFill(usage), cpuColor(usage), look.ink.at(gaugeTrackAlpha),
                             size * 0.5, ratio),
                   textPart(QStringLiteral("%1%").arg(cpuPercent(usage)),
                            fontOfSize(size * 0.13, QFont::Medium), primary)});
        break;
    }
    case DockletKind::separator:
        break;
    }
}
