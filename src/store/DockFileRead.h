// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockCodec.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

#include <functional>
#include <optional>

// docks.json read and decoded on a worker while the program sets itself up (a tray of thousands
// of clippings takes a while to read); the store takes the result when it is made. The worker
// holds nothing shared: it reads the file through `read`, which must be safe to call there (a
// plain read of a file), and makes records of its bytes.
class DockFileRead {
public:
    using Read = std::function<std::optional<QByteArray>()>;

    DockFileRead(const QString& filePath, Read read);
    DockFileRead(const DockFileRead&) = delete;
    DockFileRead& operator=(const DockFileRead&) = delete;
    ~DockFileRead();

    const QString& filePath() const { return filePath_; }
    // The decoded file, once (waiting for the worker); nothing when there was no file to read.
    std::optional<DockCodec::Decoded> take();

private:
    QString filePath_;
    std::optional<QFuture<std::optional<DockCodec::Decoded>>> decoded_;
};
