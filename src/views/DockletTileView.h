// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"

#include <QColor>
#include <QList>
#include <QLocale>
#include <QRectF>
#include <QString>
#include <QUrl>

class DockletRuntime;
class QMimeData;
class QPainter;
class Trash;

// Draws one docklet (clock, trash, disk space, CPU meter, separator) from the sampler's figures,
// and takes files dropped on the trash. Not a widget: the grid draws its tiles and repaints a
// docklet's rectangle only when what it shows (its shown state) has changed.
class DockletTileView {
public:
    // The sampler's figures the docklet shows (DockletRuntime::Figure), so that they are sampled.
    static unsigned figures(DockletKind docklet);
    // A text that changes exactly when what the docklet shows changes: the clock's minute, the
    // disk figure as written, the CPU number, gauge and colour. Empty for still docklets.
    static QString shownState(DockletKind docklet, const DockletRuntime& runtime,
                              const QLocale& locale = QLocale());
    // Draws the docklet in `rect`, a square of the dock's icon size. `targeted`: a drag of files
    // hovers over the trash.
    static void paint(QPainter& painter, DockletKind docklet, const QRectF& rect,
                      const DockletRuntime& runtime, bool targeted);

    // The time of day in the locale's short form, hours and minutes only. `referenceSeconds` are
    // seconds since 2001-01-01 UTC, shown in local time.
    static QString clockText(double referenceSeconds, const QLocale& locale);
    // A time format with its seconds (and anything finer) and their separator taken out.
    static QString withoutSeconds(const QString& format);
    static QString diskText(qint64 bytes, const QLocale& locale);
    // The CPU load as a whole percentage, truncated; the gauge's fill from 0 to 1; its colour.
    static int cpuPercent(double usage);
    static double gaugeFill(double usage);
    static QColor cpuColor(double usage);

    // Whether a drag holds something the trash can take: a file of this computer.
    static bool trashAccepts(const QMimeData& data);
    // Moves every local file of the list to the Trash, in order, going on after a failure; true
    // when at least one went.
    static bool dropOnTrash(const QList<QUrl>& urls, Trash& trash);
};
