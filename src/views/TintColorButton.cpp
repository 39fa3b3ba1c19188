// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/TintColorButton.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

TintColorButton::TintColorButton(QWidget* parent) : QPushButton(parent) {
    setAccessibleName(tr("Background Tint"));
    connect(this, &QPushButton::clicked, this, &TintColorButton::openDialog);
}

TintColorButton::~TintColorButton() {
    closeDialog();
}

void TintColorButton::setColor(const QColor& color) {
    if (color == color_)
        return;
    color_ = color;
    QPixmap swatch(36, 14);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(color);
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setIconSize(swatch.size());
}

void TintColorButton::openDialog() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    const QColor original = color_;
    reported_ = false;
    // Qt's own dialog: a desktop's native one reports no live changes and cannot be closed
    // when the dock goes away.
    dialog_ = new QColorDialog(original, this);
    dialog_->setOption(QColorDialog::DontUseNativeDialog);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    dialog_->setWindowTitle(tr("Background Tint"));
    connect(dialog_, &QColorDialog::currentColorChanged, this, &TintColorButton::report);
    connect(dialog_, &QDialog::rejected, this, [this, original] {
        if (reported_)
            report(original);
    });
    dialog_->open();
}

void TintColorButton::report(const QColor& chosen) {
    reported_ = true;
    // The dialog's colour in sRGB, single precision widened; its alpha is dropped.
    const QColor rgb = chosen.toRgb();
    Q_EMIT picked(double(rgb.redF()), double(rgb.greenF()), double(rgb.blueF()));
}

void TintColorButton::closeDialog() {
    if (dialog_) {
        // Closed without the cancel that would write the old colour back to a dock that is gone.
        dialog_->disconnect(this);
        dialog_->close();
    }
}

void TintColorButton::hideEvent(QHideEvent* event) {
    closeDialog();
    QPushButton::hideEvent(event);
}
