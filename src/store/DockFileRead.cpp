// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockFileRead.h"

#include <QtConcurrent/QtConcurrentRun>

DockFileRead::DockFileRead(const QString& filePath, Read read, std::size_t itemsPerTab)
    : filePath_(filePath) {
    decoded_ = QtConcurrent::run([read = std::move(read), itemsPerTab]() -> std::optional<Result> {
        std::optional<QByteArray> bytes = read();
        if (!bytes)
            return std::nullopt;
        Result result{DockCodec::decodeFirst(*bytes, itemsPerTab), {}};
        if (result.decoded.itemsLeftOut > 0)
            result.whole = std::move(*bytes);
        return result;
    });
}

DockFileRead::~DockFileRead() {
    // A result nobody took (a second launch leaving at once) is still waited for: the worker
    // holds nothing of ours, but the process must not end under it.
    if (decoded_)
        decoded_->waitForFinished();
}

std::optional<DockFileRead::Result> DockFileRead::take() {
    if (!decoded_)
        return std::nullopt;
    std::optional<Result> decoded = decoded_->takeResult();
    decoded_.reset();
    return decoded;
}
