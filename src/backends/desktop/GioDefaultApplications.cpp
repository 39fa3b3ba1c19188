// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioDefaultApplications.h"

#include <gio/gdesktopappinfo.h>

namespace {

std::optional<QString> entryPath(GAppInfo* info) {
    std::optional<QString> path;
    if (info && G_IS_DESKTOP_APP_INFO(info))
        if (const char* file = g_desktop_app_info_get_filename(G_DESKTOP_APP_INFO(info)))
            path = QString::fromLocal8Bit(file);
    if (info)
        g_object_unref(info);
    return path;
}

} // namespace

std::optional<QString> GioDefaultApplications::defaultFor(const QString& contentType) const {
    return entryPath(g_app_info_get_default_for_type(contentType.toUtf8().constData(), FALSE));
}

std::optional<QString> GioDefaultApplications::installed(const QString& desktopId) const {
    return entryPath(
        reinterpret_cast<GAppInfo*>(g_desktop_app_info_new(desktopId.toUtf8().constData())));
}
