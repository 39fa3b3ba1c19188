// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LaunchConfirmationDialog.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr qsizetype nameLimit = 200;
constexpr qsizetype commandLimit = 1000;

bool hidesOrReorders(QChar c) {
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
        return true; // newlines, zero-width characters, bidirectional overrides and isolates
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

LaunchConfirmationDialog::LaunchConfirmationDialog(QObject* parent) : QObject(parent) {}

LaunchConfirmationDialog::~LaunchConfirmationDialog() {
    for (const QPointer<QMessageBox>& box : std::as_const(boxes_)) {
        if (box) {
            box->disconnect(this); // an answer after we are gone would reach a dead caller
            delete box.data();
        }
    }
}

QString LaunchConfirmationDialog::printable(const QString& text, qsizetype limit) {
    QString result;
    result.reserve(std::min(text.size(), limit + 1));
    for (const QChar c : text) {
        if (result.size() >= limit) {
            result += QChar(0x2026);
            break;
        }
        result += hidesOrReorders(c) ? QChar(QChar::ReplacementCharacter) : c;
    }
    return result;
}

void LaunchConfirmationDialog::ask(const QString& path, const QString& execLine, Answer answer) {
    if (QMessageBox* open = boxes_.value(path)) {
        // Clicked again while asking: one question per file, and nothing runs twice.
        open->raise();
        open->activateWindow();
        answer(false);
        return;
    }
    const QFileInfo file(path);
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Untrusted Launcher"), QString());
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Plain text: a name or command must not be able to style, hide or link anything.
    box->setTextFormat(Qt::PlainText);
    box->setText(tr("Run “%1”?\n\nThis launcher is neither in an applications folder nor an "
                    "executable file of yours that only you may change, so anyone may have "
                    "written it. Run it only if you trust where it came from.\n\nFile: %2\n"
                    "Command: %3")
                     .arg(printable(file.fileName(), nameLimit), printable(path, nameLimit * 4),
                          printable(execLine, commandLimit)));
    QPushButton* run = box->addButton(tr("Run"), QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    boxes_.insert(path, box);
    // Queued through `this`: when this object is gone, the box is too, and nobody answers.
    connect(box, &QMessageBox::finished, this,
            [this, path, box, run, answer = std::move(answer)](int) {
                if (boxes_.value(path) == box)
                    boxes_.remove(path);
                answer(box->clickedButton() == run);
            });
    box->open();
}
