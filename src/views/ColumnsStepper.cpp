// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ColumnsStepper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

ColumnsStepper::ColumnsStepper(QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)), down_(new QToolButton(this)),
      up_(new QToolButton(this)) {
    down_->setText(QStringLiteral("\u2212"));
    up_->setText(QStringLiteral("+"));
    down_->setAccessibleName(tr("Fewer Columns"));
    up_->setAccessibleName(tr("More Columns"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label_, 1);
    layout->addWidget(down_);
    layout->addWidget(up_);
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
    connect(up_, &QToolButton::clicked, this, [this] { step(+1); });
    setValue(minimum);
}

QString ColumnsStepper::text() const {
    return label_->text();
}

void ColumnsStepper::setValue(std::int64_t value) {
    value_ = value;
    label_->setText(tr("Columns: %1").arg(value));
    down_->setEnabled(value > minimum);
    up_->setEnabled(value < maximum);
}

void ColumnsStepper::step(int by) {
    // Clamped before the step, so that a hand-edited extreme cannot overflow.
    const std::int64_t next = std::clamp<std::int64_t>(
        std::clamp<std::int64_t>(value_, minimum - 1, maximum + 1) + by, minimum, maximum);
    if (next == value_)
        return;
    setValue(next);
    Q_EMIT stepped(next);
}
