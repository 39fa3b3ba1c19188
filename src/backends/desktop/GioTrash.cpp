// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioTrash.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QFile>

#include <gio/gio.h>

bool GioTrash::moveToTrash(const QString& path) {
    if (path.isEmpty())
        return false;
    GFile* file = g_file_new_for_path(QFile::encodeName(path).constData());
    GError* error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (!trashed) {
        qCWarning(lcDesktopServices)
            << "could not trash" << path << (error ? error->message : "unknown");
        g_clear_error(&error);
    }
    return trashed;
}
