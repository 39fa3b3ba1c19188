// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/EdgeStripWindow.h"

#include "platform/WindowHints.h"

#include <QWindow>

EdgeStripWindow::EdgeStripWindow(const QRect& area, WindowHints& hints,
                                 std::function<void()> entered)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), entered_(std::move(entered)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Drawn fully transparent: the strip is there for the pointer only.
    setAttribute(Qt::WA_TranslucentBackground);
    setAccessibleName(tr("Screen edge that shows hidden docks"));
    setGeometry(area);
    winId();
    hints.setAcceptsFocus(windowHandle(), false);
    hints.prepareForMap(windowHandle(), true);
}

void EdgeStripWindow::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    // The handler may drop the strip: it goes at the next pass, not under this event.
    if (entered_)
        entered_();
}
