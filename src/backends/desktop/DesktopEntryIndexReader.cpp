// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/DesktopEntryIndexReader.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

#include <gio/gdesktopappinfo.h>

namespace {

QString takeString(gchar* value) {
    QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

// The program as the process table would show it: found in PATH, every link resolved.
class ProgramResolver {
public:
    QString resolve(const QString& program) {
        if (program.isEmpty())
            return {};
        const auto found = cache_.constFind(program);
        if (found != cache_.constEnd())
            return *found;
        QString resolved;
        if (gchar* inPath = g_find_program_in_path(program.toLocal8Bit().constData()))
            resolved = QFileInfo(takeString(inPath)).canonicalFilePath();
        cache_.insert(program, resolved);
        return resolved;
    }

private:
    QHash<QString, QString> cache_;
};

AppMatchEntry readEntry(GDesktopAppInfo* desktop, ProgramResolver& programs) {
    GAppInfo* info = G_APP_INFO(desktop);
    AppMatchEntry entry;
    entry.id = QString::fromUtf8(g_app_info_get_id(info));
    if (entry.id.endsWith(QLatin1String(".desktop")))
        entry.id.chop(8);
    entry.path = QString::fromLocal8Bit(g_desktop_app_info_get_filename(desktop));
    entry.localizedName = QString::fromUtf8(g_app_info_get_name(info));
    entry.untranslatedName = takeString(g_desktop_app_info_get_string(desktop, "Name"));
    entry.icon = takeString(g_desktop_app_info_get_string(desktop, "Icon"));
    entry.startupWMClass = QString::fromUtf8(g_desktop_app_info_get_startup_wm_class(desktop));
    for (const QString& program : {QString::fromLocal8Bit(g_app_info_get_executable(info)),
                                   takeString(g_desktop_app_info_get_string(desktop, "TryExec"))}) {
        const QString resolved = programs.resolve(program);
        if (!resolved.isEmpty() && !entry.executables.contains(resolved))
            entry.executables << resolved;
    }
    entry.isShown = g_app_info_should_show(info);
    entry.runsInTerminal = g_desktop_app_info_get_boolean(desktop, "Terminal");
    return entry;
}

} // namespace

std::vector<AppMatchEntry> DesktopEntryIndexReader::readInstalled() {
    std::vector<AppMatchEntry> entries;
    ProgramResolver programs;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item; item = item->next)
        if (G_IS_DESKTOP_APP_INFO(item->data))
            entries.push_back(readEntry(G_DESKTOP_APP_INFO(item->data), programs));
    g_list_free_full(all, g_object_unref);
    // GIO hands the entries out in no particular order; sorting makes a tie between two entries
    // that claim the same window class come out the same on every run.
    std::sort(entries.begin(), entries.end(),
              [](const AppMatchEntry& a, const AppMatchEntry& b) { return a.id < b.id; });
    return entries;
}
