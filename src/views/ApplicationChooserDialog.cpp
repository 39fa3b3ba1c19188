// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/ApplicationChooserDialog.h"

#include "platform/FileIcons.h"
#include "support/IconResolver.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int pathRole = Qt::UserRole;
constexpr int iconEdge = 24;
} // namespace

ApplicationChooserDialog::ApplicationChooserDialog(
    const std::vector<InstalledApplication>& applications, const FileIcons& icons, QWidget* parent)
    : QDialog(parent), filter_(new QLineEdit(this)), list_(new QListWidget(this)) {
    setWindowTitle(tr("Add Application"));
    filter_->setPlaceholderText(tr("Search"));
    filter_->setAccessibleName(tr("Search applications"));
    filter_->setClearButtonEnabled(true);
    list_->setAccessibleName(tr("Applications"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setIconSize(QSize(iconEdge, iconEdge));
    list_->setUniformItemSizes(true);
    const QIcon fallback = IconResolver::symbol(QStringLiteral("app"));
    for (const InstalledApplication& application : applications) {
        const QIcon icon = icons.iconForFile(application.path);
        auto* row = new QListWidgetItem(icon.isNull() ? fallback : icon, application.name, list_);
        row->setData(pathRole, application.path);
        row->setToolTip(application.path);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    add_ = buttons->addButton(tr("Add"), QDialogButtonBox::AcceptRole);
    add_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &ApplicationChooserDialog::finish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { add_->setEnabled(!list_->selectedItems().isEmpty()); });
    connect(list_, &QListWidget::itemActivated, this, &ApplicationChooserDialog::finish);
    connect(filter_, &QLineEdit::textChanged, this, &ApplicationChooserDialog::applyFilter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(420, 480);
}

void ApplicationChooserDialog::applyFilter(const QString& text) {
    const QString wanted = text.trimmed();
    QListWidgetItem* first = nullptr;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* row = list_->item(i);
        const bool shown = row->text().contains(wanted, Qt::CaseInsensitive);
        row->setHidden(!shown);
        if (!shown)
            row->setSelected(false);
        if (shown && !first)
            first = row;
    }
    // Return after a few letters adds the first match.
    if (first && list_->selectedItems().isEmpty())
        list_->setCurrentItem(first);
}

void ApplicationChooserDialog::finish() {
    QStringList paths;
    for (int i = 0; i < list_->count(); ++i)
        if (const QListWidgetItem* row = list_->item(i); row->isSelected() && !row->isHidden())
            paths << row->data(pathRole).toString();
    if (paths.isEmpty())
        return;
    accept();
    Q_EMIT chosen(paths);
}
