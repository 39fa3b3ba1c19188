// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopEntryNames.h"

#include "backends/desktop/DesktopEntryFile.h"

#include <glib.h>

std::optional<QString> DesktopEntryNames::trustedName(const QString& path) {
    // The key file rather than GDesktopAppInfo: an entry whose TryExec fails still has the name
    // the user knows it by.
    const auto entry = DesktopEntryFile::read(path);
    if (!entry || !entry->isTrusted())
        return std::nullopt;
    return entry->localeString(G_KEY_FILE_DESKTOP_KEY_NAME);
}
