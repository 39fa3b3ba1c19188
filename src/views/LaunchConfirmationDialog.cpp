// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/LaunchConfirmationDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr qsizetype nameLimit = 200;

bool hidesOrReorders(QChar c) {
    if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
        return true; // newlines, zero-width characters, bidirectional overrides and isolates
    return c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

LaunchConfirmationDialog::LaunchConfirmationDialog(QObject* parent) : QObject(parent) {}

LaunchConfirmationDialog::~LaunchConfirmationDialog() {
    for (const QPointer<QDialog>& box : std::as_const(boxes_)) {
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

QDialog* LaunchConfirmationDialog::makeBox(const QString& path, const QString& execLine) {
    // Above every panel: panels stay above ordinary windows, and a question hidden under one
    // cannot be read. Qt asks the window manager for that with _NET_WM_STATE_ABOVE, written
    // before the first map; being mapped last, the box lies above the panels in that layer.
    auto* box = new QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(tr("Untrusted Launcher"));
    auto* layout = new QGridLayout(box);
    auto* icon = new QLabel(box);
    const int iconSize = box->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, box);
    icon->setPixmap(box->style()
                        ->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, box)
                        .pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon, 0, 0, 2, 1);
    // Plain text: a name or command must not be able to style, hide or link anything.
    auto* text = new QLabel(box);
    text->setObjectName(QStringLiteral("question"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setText(
        tr("Run “%1”?\n\nThis launcher is neither in an applications folder nor an "
           "executable file of yours that only you may change, so anyone may have "
           "written it. Run it only if you trust where it came from.\n\nFile: %2\n"
           "Command:")
            .arg(printable(QFileInfo(path).fileName(), nameLimit), printable(path, nameLimit * 4)));
    layout->addWidget(text, 0, 1);
    // The whole command, however long: the end of a long one is where a danger would hide.
    auto* command = new QPlainTextEdit(printable(execLine, execLine.size()), box);
    command->setObjectName(QStringLiteral("command"));
    command->setAccessibleName(tr("Command"));
    command->setReadOnly(true);
    command->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    command->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const int line = command->fontMetrics().lineSpacing();
    command->setMinimumHeight(line * 3);
    command->setMaximumHeight(line * 10);
    command->setMinimumWidth(command->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(command, 1, 1);
    auto* buttons = new QDialogButtonBox(box);
    QPushButton* run = buttons->addButton(tr("Run"), QDialogButtonBox::AcceptRole);
    run->setObjectName(QStringLiteral("run"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    run->setAutoDefault(false);
    cancel->setDefault(true);
    cancel->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, box, &QDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 2);
    return box;
}

void LaunchConfirmationDialog::ask(const QString& path, const QString& execLine, Answer answer) {
    if (QDialog* open = boxes_.value(path)) {
        // Clicked again while asking: one question per file, and nothing runs twice.
        open->raise();
        open->activateWindow();
        answer(false);
        return;
    }
    QDialog* box = makeBox(path, execLine);
    boxes_.insert(path, box);
    // Queued through `this`: when this object is gone, the box is too, and nobody answers.
    connect(box, &QDialog::finished, this,
            [this, path, box, answer = std::move(answer)](int result) {
                if (boxes_.value(path) == box)
                    boxes_.remove(path);
                answer(result == QDialog::Accepted);
            });
    // Modal for the whole program: window managers keep a modal dialog above the windows it
    // belongs with, the panels included, even when one of them is clicked. show() rather than
    // exec(): no nested event loop.
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}
