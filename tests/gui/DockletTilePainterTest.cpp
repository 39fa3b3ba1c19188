// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/DockletTilePainter.h"
#include "models/ReferenceDate.h"

#include <QDateTime>

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

TEST(DockletTilePainter, TheMetersNumberGaugeAndColourFollowTheLoad) {
    for (const CpuCase& c : cpuCases) {
        SCOPED_TRACE(c.usage);
        EXPECT_EQ(DockletTilePainter::cpuPercent(c.usage), c.percent);
        EXPECT_DOUBLE_EQ(DockletTilePainter::gaugeFill(c.usage), c.gauge);
        EXPECT_EQ(DockletTilePainter::cpuColor(c.usage), c.color);
    }
}

TEST(DockletTilePainter, TheClockShowsTheLocalesShortTimeWithoutSeconds) {
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 5, 9));
    const double seconds = double(afternoon.toSecsSinceEpoch()) - ReferenceDate::unixOffset;
    const std::pair<const char*, const char*> shown[] = {
        {"C", "14:05"}, {"en_US", "2:05\u202fPM"}, {"de_DE", "14:05"}};
    for (const auto& [locale, text] : shown) {
        QString drawn =
            DockletTilePainter::clockText(seconds, QLocale(QString::fromLatin1(locale)));
        // Some Qt versions write a plain space before the day period.
        drawn.replace(QChar(u' '), QChar(u'\u202f'));
        EXPECT_EQ(drawn, QString::fromUtf8(text)) << locale;
    }
    // Absurd times show something rather than nothing.
    EXPECT_FALSE(DockletTilePainter::clockText(1e300, QLocale::c()).isEmpty());
}

TEST(DockletTilePainter, TakesTheSecondsAndTheirSeparatorOutOfAnyTimeFormat) {
    const std::pair<const char*, const char*> formats[] = {
        {"HH:mm:ss", "HH:mm"},        {"h:mm:ss AP", "h:mm AP"},
        {"HH.mm.ss", "HH.mm"},        {"ss:mm", "mm"},
        {"HH:mm:ss.zzz", "HH:mm"},    {"H 'h' mm", "H 'h' mm"},
        {"HH:mm 'ss'", "HH:mm 'ss'"}, {"", ""},
    };
    for (const auto& [format, expected] : formats)
        EXPECT_EQ(DockletTilePainter::withoutSeconds(QString::fromLatin1(format)),
                  QString::fromLatin1(expected))
            << format;
}

} // namespace
