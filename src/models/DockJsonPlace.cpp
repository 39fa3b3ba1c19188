// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonPlace.h"

QString DockJsonPlace::toString() const {
    QString text;
    appendTo(text);
    return text;
}

void DockJsonPlace::appendTo(QString& text) const {
    if (!parent_) {
        text += QLatin1Char('$');
        return;
    }
    parent_->appendTo(text);
    if (key_) {
        text += QLatin1Char('.');
        text += QLatin1StringView(key_);
    } else {
        text += QLatin1Char('[');
        text += QString::number(index_);
        text += QLatin1Char(']');
    }
}
