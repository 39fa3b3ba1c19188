// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ElidedLine.h"

#include <QFontMetrics>

namespace {

// `count` characters from the start, one less where the last would split a surrogate pair.
QString head(const QString& text, qsizetype count) {
    if (count > 0 && text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

QString tail(const QString& text, qsizetype count) {
    qsizetype from = text.size() - count;
    if (from > 0 && text.at(from).isLowSurrogate())
        ++from;
    return text.mid(from);
}

} // namespace

QString ElidedLine::bounded(const QString& text, Qt::TextElideMode mode) {
    const QChar ellipsis(0x2026);
    if (mode == Qt::ElideMiddle) {
        if (text.size() <= 2 * boundedLength)
            return text;
        return head(text, boundedLength) + ellipsis + tail(text, boundedLength);
    }
    if (text.size() <= boundedLength)
        return text;
    return head(text, boundedLength) + ellipsis;
}

QString ElidedLine::elide(const QString& text, const QFontMetrics& metrics, int width,
                          Qt::TextElideMode mode) {
    return metrics.elidedText(bounded(text, mode), mode, width);
}

const QString& ElidedLine::text(const QString& source, const QFont& font, int width) {
    // The store hands out its own shared copy of a name: the same data is the same text, told
    // at once without comparing megabytes.
    const bool same = source.constData() == source_.constData() ? source.size() == source_.size()
                                                                : source == source_;
    if (!same || width != width_ || font != font_) {
        source_ = source;
        font_ = font;
        width_ = width;
        elided_ = elide(source, QFontMetrics(font), width);
    }
    return elided_;
}
