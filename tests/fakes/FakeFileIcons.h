// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/FileIcons.h"

#include <QHash>

// Icons the test hands out by path; a null icon for any other path.
class FakeFileIcons final : public FileIcons {
public:
    QIcon iconForFile(const QString& path) const override { return icons.value(path); }

    QHash<QString, QIcon> icons;
};
