// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QString>

// The icon the desktop shows for a file: a desktop entry's own icon, a folder, or the icon of
// the file's content type.
class FileIcons {
public:
    virtual ~FileIcons() = default;

    // The icon for what is at the path; a null icon when the desktop has none.
    virtual QIcon iconForFile(const QString& path) const = 0;
};
