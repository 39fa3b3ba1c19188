// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Trash.h"

#include <QSet>
#include <QStringList>

// Records the paths asked for; the ones in `refused` fail.
class FakeTrash final : public Trash {
public:
    bool moveToTrash(const QString& path) override {
        requested.append(path);
        if (refused.contains(path))
            return false;
        trashed.append(path);
        return true;
    }

    QSet<QString> refused;
    QStringList requested;
    QStringList trashed;
};
