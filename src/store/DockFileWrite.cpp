// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockFileWrite.h"

#include "models/DockCodec.h"
#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStore)

DockFileWrite::Outcome DockFileWrite::run(const std::vector<Dock>& docks, FileSystem& fileSystem,
                                          const QString& dataDirectory, const QString& filePath,
                                          bool moveUnreadableFirst) {
    const std::optional<QByteArray> bytes = DockCodec::encode(docks);
    if (!bytes) {
        // No later attempt could write it either.
        qCInfo(lcStore) << "not saved: a value cannot be written";
        return {};
    }
    // A file the next start would refuse to read would cost the user every dock: the file on
    // disk stays as it was, and the user is told what to undo.
    const qsizetype limit = fileSystem.largestReadableFile();
    if (bytes->size() > limit)
        return {Result::tooLarge,
                QCoreApplication::translate("DockStore",
                                            "the docks would take %1, more than the %2 "
                                            "Moorline reads back; the last changes are not "
                                            "saved until something large is removed")
                    .arg(QLocale().formattedDataSize(bytes->size(), 1, QLocale::DataSizeSIFormat),
                         QLocale().formattedDataSize(limit, 0, QLocale::DataSizeSIFormat))};
    // The folder may have gone since the start (deleted, or dropped on the trash).
    if (!fileSystem.makePath(dataDirectory))
        return {Result::failed,
                QCoreApplication::translate("DockStore", "the folder %1 cannot be created")
                    .arg(dataDirectory)};
    Outcome outcome;
    if (moveUnreadableFirst) {
        if (!moveUnreadableFileAside(fileSystem, filePath))
            return {Result::failed,
                    QCoreApplication::translate(
                        "DockStore", "the unreadable docks.json there cannot be moved aside")};
        outcome.movedAside = true;
    }
    QString error;
    if (!fileSystem.writeAtomically(filePath, *bytes, &error)) {
        outcome.result = Result::failed;
        outcome.problem = error;
    }
    return outcome;
}

bool DockFileWrite::moveUnreadableFileAside(FileSystem& fileSystem, const QString& filePath) {
    // Gone meanwhile: nothing left to keep.
    if (!fileSystem.exists(filePath))
        return true;
    const QString base = filePath + QStringLiteral(".unreadable-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // A later one never replaces an earlier one, even within the same second. A rename needs no
    // permission to read the file, and works for a folder that stands where the file should.
    QString target = base;
    for (int n = 2; fileSystem.exists(target); ++n)
        target = base + QStringLiteral("-%1").arg(n);
    return fileSystem.rename(filePath, target);
}
