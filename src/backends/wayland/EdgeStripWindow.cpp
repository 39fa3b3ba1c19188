// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/EdgeStripWindow.h"

#include "platform/WindowHints.h"

#include <QWindow>

EdgeStripWindow::EdgeStripWindow(WindowHints& hints)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), hints_(hints) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Drawn fully transparent: the strip is there for the pointer only.
    setAttribute(Qt::WA_TranslucentBackground);
    setAccessibleName(tr("Screen edge that shows hidden docks"));
}

void EdgeStripWindow::place(const QRect& area) {
    // Shown, the layer surface follows the new geometry through the hints.
    if (area != geometry())
        setGeometry(area);
    if (isVisible())
        return;
    winId();
    hints_.setAcceptsFocus(windowHandle(), false);
    hints_.prepareForMap(windowHandle(), true);
    show();
}

void EdgeStripWindow::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    // A copy: the handler may drop the strip's watch, which clears it.
    if (const auto entered = entered_)
        entered();
}
