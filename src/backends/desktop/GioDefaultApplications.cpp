// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioDefaultApplications.h"

#include <QCollator>

#include <gio/gdesktopappinfo.h>

#include <algorithm>

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

std::vector<InstalledApplication> GioDefaultApplications::applications() const {
    std::vector<InstalledApplication> found;
    GList* all = g_app_info_get_all();
    for (GList* each = all; each; each = each->next) {
        auto* info = static_cast<GAppInfo*>(each->data);
        // What the menus show: not NoDisplay, not hidden, shown in this desktop.
        if (G_IS_DESKTOP_APP_INFO(info) && g_app_info_should_show(info)) {
            GDesktopAppInfo* entry = G_DESKTOP_APP_INFO(info);
            const char* file = g_desktop_app_info_get_filename(entry);
            const char* categories = g_desktop_app_info_get_categories(entry);
            if (file)
                found.push_back({QString::fromUtf8(g_app_info_get_name(info)),
                                 QString::fromLocal8Bit(file),
                                 QString::fromUtf8(categories ? categories : "")
                                     .split(u';', Qt::SkipEmptyParts)});
        }
        g_object_unref(info);
    }
    g_list_free(all);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(found.begin(), found.end(),
                     [&](const InstalledApplication& a, const InstalledApplication& b) {
                         return collator.compare(a.name, b.name) < 0;
                     });
    return found;
}
