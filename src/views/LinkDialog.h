// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QUrl>

#include <optional>

class QLineEdit;
class QPushButton;

// Asks for a link and, if the user likes, its name. Opened with open(): no nested event loop.
class LinkDialog final : public QDialog {
    Q_OBJECT
public:
    explicit LinkDialog(QWidget* parent = nullptr);

    QLineEdit* nameField() const { return name_; }
    QLineEdit* urlField() const { return url_; }
    QPushButton* addButton() const { return add_; }
    // The link a user typed: a URL with its scheme, or an address the way people write them
    // ("example.org/page"); none for what is no link, or is a file of this computer.
    static std::optional<QUrl> linkOf(const QString& text);

Q_SIGNALS:
    // The name is empty when the user gave none.
    void chosen(const QString& name, const QUrl& url);

private:
    void finish();

    QLineEdit* name_;
    QLineEdit* url_;
    QPushButton* add_;
};
