// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CustomIcon.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// Random pixels: what compresses worst.
QImage noise(int width, int height, QImage::Format format) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), width);
    return image;
}

} // namespace

TEST(CustomIcon, StoresAnyImageAsAPngThatFitsAndRefusesWhatIsNone) {
    const struct {
        const char* name;
        QByteArray contents;
        QSize size; // of the stored icon; invalid when refused
        bool alpha;
    } cases[] = {
        {"large opaque noise", encoded(noise(1024, 1024, QImage::Format_RGB32), "PNG"),
         QSize(384, 384), false},
        {"small with alpha", encoded(noise(40, 30, QImage::Format_ARGB32), "PNG"), QSize(40, 30),
         true},
        {"tall BMP", encoded(noise(100, 2000, QImage::Format_RGB32), "BMP"), QSize(25, 512), false},
        {"text", "#!/bin/sh\nrm -rf ~\n", {}, false},
        {"cut short", encoded(noise(64, 64, QImage::Format_RGB32), "PNG").left(200), {}, false},
    };
    for (const auto& c : cases) {
        const CustomIcon::Prepared prepared = CustomIcon::fromFileContents(c.contents);
        if (!c.size.isValid()) {
            EXPECT_FALSE(prepared.png) << c.name;
            EXPECT_FALSE(prepared.problem.isEmpty()) << c.name;
            continue;
        }
        ASSERT_TRUE(prepared.png) << c.name << ": " << qPrintable(prepared.problem);
        EXPECT_LE(prepared.png->size(), CustomIcon::largestBytes) << c.name;
        EXPECT_TRUE(prepared.png->startsWith("\x89PNG")) << c.name;
        const QImage stored = QImage::fromData(*prepared.png);
        EXPECT_EQ(stored.size(), c.size) << c.name;
        EXPECT_EQ(stored.hasAlphaChannel(), c.alpha) << c.name;
    }
}
