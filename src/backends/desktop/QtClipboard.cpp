// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

void QtClipboard::setText(const QString& text) {
    // setText replaces every format the clipboard offered, so nothing of the old content stays.
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}
