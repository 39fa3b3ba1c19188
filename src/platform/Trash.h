// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The user's Trash.
class Trash {
public:
    virtual ~Trash() = default;

    // Moves the file or folder to the Trash of its volume; false when it could not be moved.
    virtual bool moveToTrash(const QString& path) = 0;
};
