// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LinkDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

LinkDialog::LinkDialog(QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), url_(new QLineEdit(this)) {
    setWindowTitle(tr("Add Link"));
    name_->setPlaceholderText(tr("Optional"));
    url_->setPlaceholderText(QStringLiteral("https://"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    add_ = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    add_->setEnabled(false);
    add_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &LinkDialog::finish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(url_, &QLineEdit::textChanged, this,
            [this](const QString& text) { add_->setEnabled(linkOf(text).has_value()); });
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Address"), url_);
    layout->addRow(tr("Name"), name_);
    layout->addRow(buttons);
    resize(420, sizeHint().height());
}

std::optional<QUrl> LinkDialog::linkOf(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char(' ')))
        return std::nullopt;
    const QUrl url = QUrl::fromUserInput(trimmed);
    const bool needsHost =
        url.scheme().startsWith(QStringLiteral("http")) || url.scheme() == QStringLiteral("ftp");
    if (!url.isValid() || url.isLocalFile() || url.scheme().isEmpty() ||
        (needsHost && url.host().isEmpty()))
        return std::nullopt;
    return url;
}

void LinkDialog::finish() {
    const std::optional<QUrl> url = linkOf(url_->text());
    if (!url)
        return;
    accept();
    Q_EMIT chosen(name_->text().trimmed(), *url);
}
