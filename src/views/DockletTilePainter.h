// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"

#include "runtime/DockletFigures.h"
#include "views/PanelInk.h"

#include <QColor>
#include <QLocale>
#include <QRectF>
#include <QString>

class QPainter;

// Draws one docklet (clock, trash, disk space, CPU meter, separator) from the sampler's figures.
// Pure drawing: the grid draws its tiles and repaints a docklet's rectangle only when what it
// shows (its shown state) has changed.
class DockletTilePainter {
public:
    // The sampler's figures the docklet shows (DockletRuntime::Figure), so that they are sampled.
    static unsigned figures(DockletKind docklet);
    // A text that changes exactly when what the docklet shows changes: the clock's minute, the
    // disk figure as written, the CPU number, gauge and colour. Empty for still docklets.
    static QString shownState(DockletKind docklet, const DockletFigures& figures,
                              const QLocale& locale = QLocale());
    struct Look {
        bool targeted = false;  // a drag of files hovers over the trash
        bool trashFull = false; // the Trash holds something
        PanelInk ink;
    };
    // Draws the docklet in `rect`, a square of the dock's icon size. Its texts keep their share
    // of the tile but never go below smallestText(); a text wider than the tile overflows it
    // sideways, into the tile's padding, rather than shrink further.
    static void paint(QPainter& painter, DockletKind docklet, const QRectF& rect,
                      const DockletFigures& figures, const Look& look);
    // The smallest text a docklet draws, in pixels: the desktop's smallest readable font.
    static double smallestText();

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
};
