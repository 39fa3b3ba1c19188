// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockFileRead.h"

#include <QtConcurrent/QtConcurrentRun>

DockFileRead::DockFileRead(const QString& filePath, Read read) : filePath_(filePath) {
    decoded_ = QtConcurrent::run([read = std::move(read)]() -> std::optional<DockCodec::Decoded> {
        const std::optional<QByteArray> bytes = read();
        if (!bytes)
            return std::nullopt;
        return DockCodec::decode(*bytes);
    });
}

DockFileRead::~DockFileRead() {
    // A result nobody took (a second launch leaving at once) is still waited for: the worker
    // holds nothing of ours, but the process must not end under it.
    if (decoded_)
        decoded_->waitForFinished();
}

std::optional<DockCodec::Decoded> DockFileRead::take() {
    if (!decoded_)
        return std::nullopt;
    std::optional<DockCodec::Decoded> decoded = decoded_->takeResult();
    decoded_.reset();
    return decoded;
}
