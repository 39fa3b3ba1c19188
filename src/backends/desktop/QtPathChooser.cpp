// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/QtPathChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

// A file dialog whose "Open" takes the folders selected too, where the usual one opens them.
class FilesAndFoldersDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList paths = selectedFiles();
        const bool allThere =
            !paths.isEmpty() && std::all_of(paths.begin(), paths.end(), [](const QString& path) {
                return QFileInfo::exists(path);
            });
        if (!allThere) {
            QFileDialog::accept();
            return;
        }
        chosen = paths;
        done(QDialog::Accepted);
    }

    QStringList chosen;
};

} // namespace

void QtPathChooser::choosePaths(QWidget* parent, Answer answer) {
    auto* dialog = new FilesAndFoldersDialog(parent, QFileDialog::tr("Add Files or Folders"),
                                             QDir::homePath());
    // Only Qt's own dialog lets a folder be chosen beside files.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setLabelText(QFileDialog::Accept, QFileDialog::tr("Add"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // One answer only, whichever way the dialog ends.
    auto shared = std::make_shared<Answer>(std::move(answer));
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, shared](int result) {
        if (auto once = std::exchange(*shared, {})) {
            QStringList paths = result == QDialog::Accepted ? dialog->chosen : QStringList();
            if (result == QDialog::Accepted && paths.isEmpty())
                paths = dialog->selectedFiles();
            once(paths);
        }
    });
    // open(): no nested event loop, so a store change meanwhile cannot pull the caller away
    // from under a running exec().
    dialog->open();
}
