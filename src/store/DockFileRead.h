// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockCodec.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

// docks.json read and decoded on a worker while the program sets itself up (a tray of thousands
// of clippings takes a while to read); the store takes the result when it is made. The worker
// holds nothing shared: it reads the file through `read`, which must be safe to call there (a
// plain read of a file), and makes records of its bytes.
//
// The whole file is checked, but a tab's items become records only as far as a panel can show
// them in its first frame: the records of twenty thousand clippings cost that frame milliseconds
// of work and megabytes of fresh memory. The store reads the rest from the same bytes once that
// frame is on screen.
class DockFileRead {
public:
    using Read = std::function<std::optional<QByteArray>()>;
    // More tiles than the largest panel on a large screen shows at once.
    static constexpr std::size_t firstItemsPerTab = 1024;

    struct Result {
        DockCodec::Decoded decoded;
        // The file's bytes while `decoded` leaves items out (null otherwise): a decode of them
        // reads every item.
        QByteArray whole;
    };

    DockFileRead(const QString& filePath, Read read, std::size_t itemsPerTab = firstItemsPerTab);
    DockFileRead(const DockFileRead&) = delete;
    DockFileRead& operator=(const DockFileRead&) = delete;
    ~DockFileRead();

    const QString& filePath() const { return filePath_; }
    // The decoded file, once (waiting for the worker); nothing when there was no file to read.
    std::optional<Result> take();

private:
    QString filePath_;
    std::optional<QFuture<std::optional<Result>>> decoded_;
};
