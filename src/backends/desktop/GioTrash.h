// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Trash.h"

// The freedesktop Trash through GIO: the home trash or the per-volume one, with the original
// path percent-encoded in the .trashinfo file.
class GioTrash final : public Trash {
public:
    bool moveToTrash(const QString& path) override;
};
