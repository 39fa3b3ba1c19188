// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/IconCache.h"

#include "platform/CacheFiles.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

constexpr char magic[8] = {'M', 'r', 'l', 'n', 'I', 'c', 'o', '1'};
// An icon is a tile's image: a few hundred pixels across at most, even at a large scale.
constexpr quint32 largestEdge = 2048;
constexpr QImage::Format format = QImage::Format_ARGB32_Premultiplied;

// FNV-1a over 64-bit words (then the bytes left): quick, and enough to tell a damaged file.
quint64 checksum(const char* data, qsizetype size) {
    quint64 hash = 14695981039346656037ull;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; i < size; ++i)
        hash = (hash ^ quint8(data[i])) * 1099511628211ull;
    return hash;
}

template <typename T> void put(QByteArray& out, T value) {
    value = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Reads a value at `at` and moves past it; false when the bytes end first.
template <typename T> bool take(const QByteArray& in, qsizetype& at, T& value) {
    if (in.size() - at < qsizetype(sizeof value))
        return false;
    std::memcpy(&value, in.constData() + at, sizeof value);
    value = qFromLittleEndian(value);
    at += qsizetype(sizeof value);
    return true;
}

} // namespace

IconCache::IconCache(CacheFiles& files) : files_(files) {}

QString IconCache::fileName(const QString& key) {
    const QByteArray utf8 = key.toUtf8();
    return QStringLiteral("%1.icon").arg(checksum(utf8.constData(), utf8.size()), 16, 16,
                                         QLatin1Char('0'));
}

QByteArray IconCache::encode(const QString& key, const QImage& image) {
    const QImage pixels = image.convertToFormat(format);
    const QByteArray utf8 = key.toUtf8();
    QByteArray out;
    const qsizetype rowBytes = qsizetype(pixels.width()) * 4;
    out.reserve(qsizetype(sizeof magic) + 4 + utf8.size() + 20 + rowBytes * pixels.height() + 8);
    out.append(magic, sizeof magic);
    put(out, quint32(utf8.size()));
    out.append(utf8);
    put(out, quint32(pixels.width()));
    put(out, quint32(pixels.height()));
    double ratio = pixels.devicePixelRatio();
    quint64 ratioBits;
    std::memcpy(&ratioBits, &ratio, sizeof ratio);
    put(out, ratioBits);
    for (int y = 0; y < pixels.height(); ++y)
        out.append(reinterpret_cast<const char*>(pixels.constScanLine(y)), rowBytes);
    put(out, checksum(out.constData(), out.size()));
    return out;
}

QImage IconCache::decode(const QString& key, const QByteArray& bytes) {
    if (bytes.size() < qsizetype(sizeof magic) + 8 ||
        std::memcmp(bytes.constData(), magic, sizeof magic) != 0)
        return {};
    const qsizetype body = bytes.size() - 8;
    quint64 stored = 0;
    qsizetype end = body;
    if (!take(bytes, end, stored) || stored != checksum(bytes.constData(), body))
        return {};
    qsizetype at = sizeof magic;
    quint32 keySize = 0;
    if (!take(bytes, at, keySize) || keySize > quint32(body - at))
        return {};
    // Another key that hashes to the same name is another icon.
    if (QString::fromUtf8(bytes.constData() + at, keySize) != key)
        return {};
    at += keySize;
    quint32 width = 0;
    quint32 height = 0;
    quint64 ratioBits = 0;
    if (!take(bytes, at, width) || !take(bytes, at, height) || !take(bytes, at, ratioBits))
        return {};
    double ratio;
    std::memcpy(&ratio, &ratioBits, sizeof ratio);
    const qsizetype rowBytes = qsizetype(width) * 4;
    if (width == 0 || height == 0 || width > largestEdge || height > largestEdge ||
        !std::isfinite(ratio) || ratio <= 0 || ratio > 16 || body - at != rowBytes * height)
        return {};
    QImage image(int(width), int(height), format);
    if (image.isNull())
        return {};
    for (int y = 0; y < int(height); ++y)
        std::memcpy(image.scanLine(y), bytes.constData() + at + rowBytes * y,
                    std::size_t(rowBytes));
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage IconCache::read(const QString& key) const {
    const std::optional<QByteArray> bytes = files_.read(fileName(key));
    return bytes ? decode(key, *bytes) : QImage();
}

void IconCache::write(const QString& key, const QImage& image) {
    if (image.isNull())
        return;
    if (!checking_) {
        heldBack_.emplace_back(key, image);
        return;
    }
    // A cache that cannot be written costs the next start its speed, nothing else.
    files_.write(fileName(key), encode(key, image));
}

void IconCache::startChecking() {
    if (checking_)
        return;
    checking_ = true;
    for (const auto& [key, image] : std::exchange(heldBack_, {}))
        write(key, image);
    checkingStarted_.emit();
}

quint64 IconCache::digest(const char* data, qsizetype size) {
    return checksum(data, size);
}
