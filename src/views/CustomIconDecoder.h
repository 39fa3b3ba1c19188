// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>

#include <memory>
#include <optional>

template <typename T> class QFutureWatcher;

// Decodes large custom icons on a worker thread, at the size they are drawn, and keeps the
// results: a file of tens of megapixels takes seconds to decode, which the event loop must not
// wait for. The bytes are shared with the item, never copied, and never changed.
class CustomIconDecoder final : public QObject {
    Q_OBJECT
public:
    // Smaller icons decode in well under a millisecond: the caller decodes those itself.
    static constexpr qsizetype largeBytes = 64 * 1024;

    explicit CustomIconDecoder(QObject* parent = nullptr);
    ~CustomIconDecoder() override;

    // The icon decoded with its longer side at most `pixels` (a null image when the bytes are
    // no image), or nothing yet: its decoding then starts, once, and `decoded` follows.
    std::optional<QImage> image(const QByteArray& bytes, int pixels);

    // The decoding of the bytes at that size, as the worker runs it.
    static QImage decode(QByteArray bytes, int pixels);

Q_SIGNALS:
    void decoded();

private:
    struct Entry {
        QByteArray bytes; // holds the data, so that its address stays theirs while we key by it
        std::optional<QImage> image;
        std::unique_ptr<QFutureWatcher<QImage>> pending;
    };
    using Key = QPair<quintptr, QPair<qsizetype, int>>;

    QHash<Key, std::shared_ptr<Entry>> entries_;
};
