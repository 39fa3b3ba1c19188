// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/CustomIconDecoder.h"

#include <QBuffer>
#include <QFutureWatcher>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace {
// Results kept: every large icon on screen at a few sizes.
constexpr qsizetype keptEntries = 512;
} // namespace

CustomIconDecoder::CustomIconDecoder(QObject* parent) : QObject(parent) {}

CustomIconDecoder::~CustomIconDecoder() {
    // Decodings still running finish on their own; their watchers go now and report nothing.
    for (const auto& entry : std::as_const(entries_))
        if (entry->pending)
            entry->pending->disconnect(this);
}

QImage CustomIconDecoder::decode(QByteArray bytes, int pixels) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoded small where the format can (JPEG, SVG), scaled down right after otherwise.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > pixels || size.height() > pixels))
        reader.setScaledSize(size.scaled(pixels, pixels, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.width() > pixels || image.height() > pixels)
        image = image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

std::optional<QImage> CustomIconDecoder::image(const QByteArray& bytes, int pixels) {
    const Key key{quintptr(bytes.constData()), {bytes.size(), pixels}};
    if (const auto found = entries_.constFind(key); found != entries_.constEnd())
        return (*found)->image;
    if (entries_.size() >= keptEntries) {
        // Forget what is done; what runs stays until it reports.
        entries_.removeIf([](const auto& entry) { return !entry.value()->pending; });
    }
    auto entry = std::make_shared<Entry>();
    entry->bytes = bytes;
    entry->pending = std::make_unique<QFutureWatcher<QImage>>();
    QFutureWatcher<QImage>* watcher = entry->pending.get();
    // The entry, not `this`, is what the answer needs; a forgotten entry drops its answer.
    std::weak_ptr<Entry> weak = entry;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, weak] {
        const std::shared_ptr<Entry> done = weak.lock();
        if (!done)
            return;
        done->image = done->pending->result();
        // Deleted on the next pass: we are inside its signal.
        done->pending.release()->deleteLater();
        Q_EMIT decoded();
    });
    entries_.insert(key, entry);
    watcher->setFuture(QtConcurrent::run(&CustomIconDecoder::decode, bytes, pixels));
    return std::nullopt;
}
