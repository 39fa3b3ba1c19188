// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockletTileView.h"
#include "fakes/FakeTrash.h"
#include "models/ReferenceDate.h"

#include <QDateTime>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

struct CpuCase {
    double usage;
    int percent;
    double gauge;
    QColor color;
};

const QColor red(255, 69, 58);
const QColor orange(255, 159, 10);
const QColor green(48, 209, 88);

// Above 0.8 red, above 0.5 orange, else green; the number truncates the unclamped load, the
// gauge clamps it.
const CpuCase cpuCases[] = {
    {0.0, 0, 0.0, green},   {0.5, 50, 0.5, green},   {0.501, 50, 0.501, orange},
    {0.8, 80, 0.8, orange}, {0.81, 81, 0.81, red},   {0.999, 99, 0.999, red},
    {1.5, 150, 1.0, red},   {-0.2, -20, 0.0, green},
};

TEST(DockletTileView, TheMetersNumberGaugeAndColourFollowTheLoad) {
    for (const CpuCase& c : cpuCases) {
        SCOPED_TRACE(c.usage);
        EXPECT_EQ(DockletTileView::cpuPercent(c.usage), c.percent);
        EXPECT_DOUBLE_EQ(DockletTileView::gaugeFill(c.usage), c.gauge);
        EXPECT_EQ(DockletTileView::cpuColor(c.usage), c.color);
    }
}

struct ClockCase {
    const char* locale;
    const char* afternoon; // 14:05:09 local time
};

const ClockCase clockCases[] = {
    {"C", "14:05"},
    {"en_US", "2:05\u202fPM"},
    {"de_DE", "14:05"},
};

double referenceSecondsOf(QTime time) {
    const QDateTime local(QDate(2024, 3, 5), time);
    return double(local.toSecsSinceEpoch()) - ReferenceDate::unixOffset;
}

TEST(DockletTileView, TheClockShowsTheLocalesShortTimeWithoutSeconds) {
    for (const ClockCase& c : clockCases) {
        const QLocale locale(QString::fromLatin1(c.locale));
        QString text = DockletTileView::clockText(referenceSecondsOf(QTime(14, 5, 9)), locale);
        // Some Qt versions write a plain space before the day period.
        text.replace(QChar(u' '), QChar(u'\u202f'));
        EXPECT_EQ(text, QString::fromUtf8(c.afternoon)) << c.locale;
    }
}

TEST(DockletTileView, TakesTheSecondsAndTheirSeparatorOutOfAnyTimeFormat) {
    const std::pair<const char*, const char*> formats[] = {
        {"HH:mm:ss", "HH:mm"},        {"h:mm:ss AP", "h:mm AP"},
        {"HH.mm.ss", "HH.mm"},        {"ss:mm", "mm"},
        {"HH:mm:ss.zzz", "HH:mm"},    {"H 'h' mm", "H 'h' mm"},
        {"HH:mm 'ss'", "HH:mm 'ss'"}, {"", ""},
    };
    for (const auto& [format, expected] : formats)
        EXPECT_EQ(DockletTileView::withoutSeconds(QString::fromLatin1(format)),
                  QString::fromLatin1(expected))
            << format;
}

TEST(DockletTileView, TheClockChangesWhatItShowsOnlyWithTheMinute) {
    const QLocale locale(QStringLiteral("de_DE"));
    const double start = referenceSecondsOf(QTime(9, 30, 0));
    const QString first = DockletTileView::clockText(start, locale);
    EXPECT_EQ(DockletTileView::clockText(start + 59, locale), first);
    EXPECT_NE(DockletTileView::clockText(start + 60, locale), first);
    // Absurd times show something rather than nothing.
    EXPECT_FALSE(DockletTileView::clockText(1e300, locale).isEmpty());
}

TEST(DockletTileView, TheTrashTakesLocalFilesAndSucceedsOnlyWhenOneWent) {
    FakeTrash trash;
    trash.refused = {QStringLiteral("/home/u/locked")};
    const QUrl web(QStringLiteral("https://example.com/a"));
    const QUrl a = QUrl::fromLocalFile(QStringLiteral("/home/u/a/"));
    const QUrl locked = QUrl::fromLocalFile(QStringLiteral("/home/u/locked"));
    const QUrl b = QUrl::fromLocalFile(QStringLiteral("/home/u/b"));

    EXPECT_TRUE(DockletTileView::dropOnTrash({a, locked, web, b}, trash));
    // In order, the trailing slash gone, the web link never asked for, the rest after a failure.
    EXPECT_EQ(trash.requested,
              QStringList({QStringLiteral("/home/u/a"), QStringLiteral("/home/u/locked"),
                           QStringLiteral("/home/u/b")}));
    EXPECT_FALSE(DockletTileView::dropOnTrash({locked}, trash));
    EXPECT_FALSE(DockletTileView::dropOnTrash({web}, trash));
    EXPECT_FALSE(DockletTileView::dropOnTrash({}, trash));

    QMimeData onlyWeb;
    onlyWeb.setUrls({web});
    EXPECT_FALSE(DockletTileView::trashAccepts(onlyWeb));
    QMimeData mixed;
    mixed.setUrls({web, b});
    EXPECT_TRUE(DockletTileView::trashAccepts(mixed));
}

} // namespace
