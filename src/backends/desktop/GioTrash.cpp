// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/desktop/GioTrash.h"

#include "backends/desktop/DesktopServicesLog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>

#include <gio/gio.h>

namespace {

GFile* fileAt(const QString& path) {
    return g_file_new_for_path(QFile::encodeName(path).constData());
}

// Deletes what the folder holds, depth first, never following a symbolic link out of it; goes
// on past what cannot be deleted.
void deleteContents(GFile* folder) {
    GFileEnumerator* children = g_file_enumerate_children(
        folder, G_FILE_ATTRIBUTE_STANDARD_NAME "," G_FILE_ATTRIBUTE_STANDARD_TYPE,
        G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr, nullptr);
    if (!children)
        return;
    while (GFileInfo* info = g_file_enumerator_next_file(children, nullptr, nullptr)) {
        GFile* child = g_file_get_child(folder, g_file_info_get_name(info));
        if (g_file_info_get_file_type(info) == G_FILE_TYPE_DIRECTORY)
            deleteContents(child);
        GError* error = nullptr;
        if (!g_file_delete(child, nullptr, &error)) {
            qCWarning(lcDesktopServices) << "could not delete from the trash:" << error->message;
            g_clear_error(&error);
        }
        g_object_unref(child);
        g_object_unref(info);
    }
    g_object_unref(children);
}

// Empties the home trash: every trashed file, then the information of those that went (an
// item that could not be deleted keeps its information and can still be restored).
void emptyFolder(const QString& folder) {
    const QString files = folder + QStringLiteral("/files");
    GFile* filesFolder = fileAt(files);
    deleteContents(filesFolder);
    g_object_unref(filesFolder);
    const QDir info(folder + QStringLiteral("/info"), QStringLiteral("*.trashinfo"), QDir::NoSort,
                    QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : info.entryList()) {
        const QString trashed = files + u'/' + name.chopped(10); // ".trashinfo"
        if (QFileInfo::exists(trashed) || QFileInfo(trashed).isSymLink())
            continue;
        GFile* entry = fileAt(info.filePath(name));
        g_file_delete(entry, nullptr, nullptr);
        g_object_unref(entry);
    }
}

} // namespace

struct GioTrashMonitor {
    static void changed(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent, gpointer trash) {
        static_cast<GioTrash*>(trash)->monitorReported();
    }
};

GioTrash::GioTrash(QString folder) : folder_(std::move(folder)) {
    if (folder_.isEmpty())
        folder_ = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                  QStringLiteral("/Trash");
}

GioTrash::~GioTrash() {
    stopWatching();
}

bool GioTrash::moveToTrash(const QString& path) {
    if (path.isEmpty())
        return false;
    GFile* file = fileAt(path);
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

bool GioTrash::hasItems() const {
    return !QDir(folder_ + QStringLiteral("/files"))
                .isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

Subscription GioTrash::observe(std::function<void()> changed) {
    auto connection = std::make_shared<Subscription>(
        changed_.connect([changed = std::move(changed)] { changed(); }));
    if (!watchHeld_)
        startWatching();
    return Subscription([this, connection] {
        connection->cancel();
        if (changed_.size() == 0)
            stopWatching();
    });
}

void GioTrash::releaseWatch() {
    if (!watchHeld_)
        return;
    watchHeld_ = false;
    if (changed_.size() == 0)
        return;
    startWatching();
    monitorReported();
}

void GioTrash::startWatching() {
    if (monitor_)
        return;
    // The trash's folders are made when first needed, by whoever trashes first; watched from the
    // start, they need to be there.
    GFile* files = fileAt(folder_ + QStringLiteral("/files"));
    g_file_make_directory_with_parents(files, nullptr, nullptr);
    GError* error = nullptr;
    monitor_ = g_file_monitor_directory(files, G_FILE_MONITOR_WATCH_MOVES, nullptr, &error);
    g_object_unref(files);
    if (!monitor_) {
        qCWarning(lcDesktopServices) << "cannot watch the trash:" << error->message;
        g_clear_error(&error);
        return;
    }
    g_signal_connect(monitor_, "changed", G_CALLBACK(GioTrashMonitor::changed), this);
}

void GioTrash::stopWatching() {
    if (!monitor_)
        return;
    g_signal_handlers_disconnect_by_data(monitor_, this);
    g_file_monitor_cancel(monitor_);
    g_object_unref(monitor_);
    monitor_ = nullptr;
}

void GioTrash::monitorReported() {
    // An emptying deletes many files, each reported: the observers look once per pass.
    if (reportPending_)
        return;
    reportPending_ = true;
    QMetaObject::invokeMethod(
        &context_,
        [this] {
            reportPending_ = false;
            changed_.emit();
        },
        Qt::QueuedConnection);
}

void GioTrash::empty() {
    // On a worker: a large trash takes a while to delete. It shares nothing with the program
    // but the folder's name; the monitor reports what it deletes.
    static_cast<void>(QtConcurrent::run([folder = folder_] { emptyFolder(folder); }));
}
