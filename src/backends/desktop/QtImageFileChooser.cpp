// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/QtImageFileChooser.h"

#include <QFileDialog>
#include <QImageReader>
#include <QStandardPaths>

void QtImageFileChooser::chooseImage(QWidget* parent, Answer answer) {
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    auto* dialog =
        new QFileDialog(parent, QFileDialog::tr("Choose an Icon"),
                        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                        QFileDialog::tr("Images (%1)").arg(patterns.join(u' ')));
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // One answer only, whichever way the dialog ends.
    auto shared = std::make_shared<Answer>(std::move(answer));
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog, [shared](const QString& path) {
        if (auto once = std::exchange(*shared, {}))
            once(path);
    });
    QObject::connect(dialog, &QDialog::rejected, dialog, [shared] {
        if (auto once = std::exchange(*shared, {}))
            once(std::nullopt);
    });
    // open(): no nested event loop, so a store change meanwhile cannot pull the caller away
    // from under a running exec().
    dialog->open();
}
