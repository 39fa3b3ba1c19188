// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DefaultApplications.h"

#include <QDialog>

class FileIcons;
class QLineEdit;
class QListWidget;
class QPushButton;

// Lists the desktop's applications by name and icon, filtered as the user types, and hands on
// the desktop entries of those chosen. Opened with open(): no nested event loop.
class ApplicationChooserDialog final : public QDialog {
    Q_OBJECT
public:
    ApplicationChooserDialog(const std::vector<InstalledApplication>& applications,
                             const FileIcons& icons, QWidget* parent = nullptr);

    QLineEdit* filterField() const { return filter_; }
    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }

Q_SIGNALS:
    // The desktop entries chosen, in the list's order.
    void chosen(const QStringList& paths);

private:
    void applyFilter(const QString& text);
    void finish();

    QLineEdit* filter_;
    QListWidget* list_;
    QPushButton* add_;
};
