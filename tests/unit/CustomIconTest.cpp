// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CustomIcon.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

TEST(CustomIcon, StoresAnyImageAsAPngThatFitsAndRefusesWhatIsNone) {
    // Random pixels compress worst: 1024 x 1024 of them, scaled to fit, are still too heavy.
    QImage noise(1024, 1024, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        QRandomGenerator(y).fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), 1024);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    noise.save(&buffer, "PNG");
    for (const QByteArray& refused : {QByteArray("#!/bin/sh\nrm -rf ~\n"), png.left(200)}) {
        const CustomIcon::Prepared prepared = CustomIcon::fromFileContents(refused);
        EXPECT_FALSE(prepared.png);
        EXPECT_FALSE(prepared.problem.isEmpty());
    }
    const CustomIcon::Prepared prepared = CustomIcon::fromFileContents(png);
    ASSERT_TRUE(prepared.png) << qPrintable(prepared.problem);
    EXPECT_LE(prepared.png->size(), CustomIcon::largestBytes);
    const QImage stored = QImage::fromData(*prepared.png, "PNG");
    EXPECT_EQ(stored.size(), QSize(384, 384)); // 512 x 512, then smaller until it fits
    EXPECT_FALSE(stored.hasAlphaChannel());
}
