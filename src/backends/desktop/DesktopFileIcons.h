// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileIcons.h"

// File icons as a freedesktop file manager shows them: a trusted desktop entry's Icon (a theme
// name or an absolute path), "folder" for directories, else the theme icon of the file's MIME
// type (also for a desktop entry the desktop does not trust).
class DesktopFileIcons final : public FileIcons {
public:
    QIcon iconForFile(const QString& path) const override;
};
