// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Makes the contents of an image file the user chose into a custom icon: decoded as an image,
// scaled down to fit 512 x 512 and stored as PNG, so that an icon costs docks.json a few hundred
// kilobytes at most, whatever the file weighed.
namespace CustomIcon {

constexpr int largestSide = 512;
// The PNG is made smaller still until it fits: about 680 KB once in docks.json's base64.
constexpr qsizetype largestBytes = 512 * 1024;

struct Prepared {
    std::optional<QByteArray> png;
    // Why there is no icon, in words for the user; empty with one.
    QString problem;
};

Prepared fromFileContents(const QByteArray& contents);

} // namespace CustomIcon
