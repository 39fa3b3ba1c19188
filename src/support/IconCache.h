// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"

#include <QImage>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class CacheFiles;

// Rendered icons kept between runs, so that the first frame draws them without reading the icon
// theme or rendering an SVG. One file per image, named by a hash of its key and holding the key,
// the pixels and a checksum: a file that is missing, damaged or made for another key (or by
// another program) reads as nothing, and the next write of that key replaces it. What was read
// is only a stand-in: once checking has started (after the first frame), the views make each
// image again and write it back where it changed.
class IconCache {
public:
    explicit IconCache(CacheFiles& files);

    // The image kept for `key`, at its device pixel ratio; a null image when there is none.
    QImage read(const QString& key) const;
    // Keeps the image for the next runs; held back until checking starts, so that writing
    // costs the first frame nothing.
    void write(const QString& key, const QImage& image);

    bool isChecking() const { return checking_; }
    // From now on the images read may be checked: writes what was held back, then tells
    // whoever waits for that, once.
    void startChecking();
    Subscription onCheckingStarted(std::function<void()> action) {
        return checkingStarted_.connect(std::move(action));
    }

    // The file that holds a key's image, and the bytes it holds for an image.
    static QString fileName(const QString& key);
    static QByteArray encode(const QString& key, const QImage& image);
    static QImage decode(const QString& key, const QByteArray& bytes);
    // A digest of bytes an icon is made from, for a key.
    static quint64 digest(const char* data, qsizetype size);

private:
    CacheFiles& files_;
    bool checking_ = false;
    std::vector<std::pair<QString, QImage>> heldBack_;
    Signal<> checkingStarted_;
};
