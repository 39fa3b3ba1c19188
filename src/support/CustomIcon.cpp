// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CustomIcon.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

namespace CustomIcon {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("CustomIcon", text);
}

QByteArray encodedPng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

Prepared fromFileContents(const QByteArray& contents) {
    QBuffer buffer;
    buffer.setData(contents);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {std::nullopt, tr("The file is not an image in a format Moorline can read.")};
    // Decoded at the icon's size where the format can (JPEG, SVG): a photograph of tens of
    // megapixels never stands in memory whole.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > largestSide || size.height() > largestSide))
        reader.setScaledSize(size.scaled(largestSide, largestSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return {std::nullopt, tr("The image cannot be read: %1.").arg(reader.errorString())};
    if (image.width() > largestSide || image.height() > largestSide)
        image =
            image.scaled(largestSide, largestSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // An opaque image needs no alpha channel: a quarter less to store.
    if (!image.hasAlphaChannel())
        image = image.convertToFormat(QImage::Format_RGB32);
    QByteArray png = encodedPng(image);
    // Noise compresses badly: smaller until it fits.
    while (png.size() > largestBytes && image.width() > 16 && image.height() > 16) {
        image = image.scaled(image.size() * 3 / 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        png = encodedPng(image);
    }
    return {std::move(png), {}};
}

} // namespace CustomIcon
