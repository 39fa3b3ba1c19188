// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

class QFontMetrics;

// One line of a user's text (a dock's, tab's or item's name) fitted to a width, measured from a
// bounded part of it: a name of megabytes costs what a few hundred characters cost, and the
// stored name stays as it is. An instance keeps its last result, so that a view elides once per
// change of the text, font or width, never at every paint.
class ElidedLine {
public:
    // Characters kept from each end of a longer text: more than any screen shows in one line.
    static constexpr qsizetype boundedLength = 1024;

    // The text cut to boundedLength characters (for middle elision its first and last ones),
    // with "…" where it was cut, never inside a surrogate pair; shorter text as it is.
    static QString bounded(const QString& text, Qt::TextElideMode mode = Qt::ElideRight);
    // The bounded text elided to `width`.
    static QString elide(const QString& text, const QFontMetrics& metrics, int width,
                         Qt::TextElideMode mode = Qt::ElideRight);

    // As elide, remembered: the same text, font and width answer the last result.
    const QString& text(const QString& source, const QFont& font, int width);

private:
    QString source_;
    QFont font_;
    int width_ = -1;
    QString elided_;
};
