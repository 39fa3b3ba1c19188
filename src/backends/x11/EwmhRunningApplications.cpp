// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/EwmhRunningApplications.h"

#include "backends/desktop/DesktopEntryIndexReader.h"
#include "backends/x11/XcbConnection.h"
#include "runtime/AppMatchGrouping.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcRunningApps, "moorline.x11.apps", QtWarningMsg)

constexpr std::uint32_t sourceIsPager = 2;
// New client windows read in one snapshot: a client list of 100,000 made-up ids would otherwise
// hold the event loop for seconds at every rewrite.
constexpr std::size_t newWindowsPerPass = 1024;
constexpr std::uint32_t iconicState = 3;

void addEventMask(xcb_connection_t* connection, xcb_window_t window) {
    // Qt has its own selection on the root window: keep it.
    auto cookie = xcb_get_window_attributes(connection, window);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (auto* reply = xcb_get_window_attributes_reply(connection, cookie, nullptr)) {
        mask |= reply->your_event_mask;
        std::free(reply);
    }
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
}

} // namespace

EwmhRunningApplications::EwmhRunningApplications()
    : connection_(XcbConnection::qt()), entries_(&DesktopEntryIndexReader::readInstalled) {
    if (!connection_) {
        qCDebug(lcRunningApps) << "no X connection: no running applications";
        return;
    }
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    root_ = xcb_setup_roots_iterator(setup).data->root;
    atoms_ = EwmhAtoms::intern(connection_);
    reader_ = std::make_unique<EwmhWindowReader>(connection_, atoms_, root_);
    addEventMask(connection_, root_);
    xcb_flush(connection_);
    QCoreApplication::instance()->installNativeEventFilter(this);
    readMore_.setSingleShot(true);
    readMore_.setInterval(0);
    QObject::connect(&readMore_, &QTimer::timeout, [this] { changed_.emit(); });
}

EwmhRunningApplications::~EwmhRunningApplications() {
    if (connection_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

Subscription EwmhRunningApplications::onChange(std::function<void()> action) {
    return changed_.connect(std::move(action));
}

bool EwmhRunningApplications::nativeEventFilter(const QByteArray& eventType, void* message,
                                                qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto type = event->response_type & 0x7f;
    if (type == XCB_DESTROY_NOTIFY) {
        // The id may come back with another program's window: nothing cached may outlive it.
        const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
        if (watched_.contains(destroyed->window))
            forget(destroyed->window);
        return false;
    }
    if (type != XCB_PROPERTY_NOTIFY)
        return false;
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notify->window == root_) {
        if (notify->atom == atoms_.clientList || notify->atom == atoms_.activeWindow) {
            rootStale_ = true;
            changed_.emit();
        }
    } else if (watched_.contains(notify->window)) {
        if (notify->atom == atoms_.wmIcon) {
            windowIcons_.remove(notify->window);
            changed_.emit();
        } else if (const std::uint8_t property = propertyOf(notify->atom)) {
            staleProperties_[notify->window] |= property;
            changed_.emit();
        }
    }
    return false;
}

std::uint8_t EwmhRunningApplications::propertyOf(xcb_atom_t atom) const {
    using P = EwmhWindowReader::Property;
    if (atom == atoms_.wmState)
        return P::state;
    if (atom == atoms_.wmPid)
        return P::pid;
    if (atom == XCB_ATOM_WM_CLASS)
        return P::wmClass;
    if (atom == atoms_.wmWindowType)
        return P::windowType;
    return 0;
}

void EwmhRunningApplications::forget(xcb_window_t window) {
    watched_.remove(window);
    windowProperties_.remove(window);
    staleProperties_.remove(window);
    windowIcons_.remove(window);
}

bool EwmhRunningApplications::isOwnWindow(xcb_window_t window) const {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    return (window & ~setup->resource_id_mask) == setup->resource_id_base;
}

void EwmhRunningApplications::watch(xcb_window_t window) {
    // Our own windows already select property changes, through Qt; replacing Qt's event mask on
    // them would break them. Another client's window holds only our selection.
    if (watched_.contains(window))
        return;
    watched_.insert(window);
    if (isOwnWindow(window))
        return;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    // Checked and discarded: a window gone meanwhile must not reach Qt's error handler.
    const auto cookie =
        xcb_change_window_attributes_checked(connection_, window, XCB_CW_EVENT_MASK, &mask);
    xcb_discard_reply(connection_, cookie.sequence);
}

std::optional<QString> EwmhRunningApplications::executableOf(std::int32_t pid) {
    const auto found = executables_.constFind(pid);
    if (found != executables_.constEnd())
        return *found;
    std::optional<QString> executable;
    char buffer[4096];
    const QByteArray link = "/proc/" + QByteArray::number(pid) + "/exe";
    const ssize_t length = ::readlink(link.constData(), buffer, sizeof buffer);
    if (length > 0 && std::size_t(length) < sizeof buffer) {
        QString path = QString::fromLocal8Bit(buffer, length);
        // A program replaced on disk while it runs (an upgrade) still is that program.
        if (path.endsWith(QLatin1String(" (deleted)")))
            path.chop(10);
        executable = path;
    }
    executables_.insert(pid, executable);
    return executable;
}

std::optional<QString> EwmhRunningApplications::launchedDesktopFileOf(std::int32_t pid) {
    const auto found = launchedDesktopFiles_.constFind(pid);
    if (found != launchedDesktopFiles_.constEnd())
        return *found;
    // Read once per process: its environment is the one it was started with.
    std::optional<QString> file;
    QFile variables(QStringLiteral("/proc/%1/environ").arg(pid));
    if (variables.open(QIODevice::ReadOnly)) {
        QByteArray path;
        bool ours = false;
        // Bounded: an environment larger than this holds no desktop launch of interest.
        for (const QByteArray& variable : variables.read(1 << 20).split('\0')) {
            if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE="))
                path = variable.mid(26);
            else if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE_PID="))
                ours = variable.mid(30).toLongLong() == pid;
        }
        // A child of a launched program inherits both; only the launched process is that entry.
        if (ours && !path.isEmpty())
            file = QFile::decodeName(path);
    }
    launchedDesktopFiles_.insert(pid, file);
    return file;
}

RunningApplication EwmhRunningApplications::present(const AppMatchGroup& group,
                                                    const AppMatchEntry* entry,
                                                    const std::optional<QString>& executable) {
    RunningApplication app;
    app.key = group.key;
    app.processIdentifier = group.pid.value_or(-1);
    app.activationPolicy =
        group.isRegular() ? ActivationPolicy::regular : ActivationPolicy::accessory;
    app.windows = group.isRegular() ? group.taskbarWindows : group.windows;
    app.wmInstance = group.wmInstance;
    app.wmClass = group.wmClass;
    if (group.pid)
        app.launchedDesktopFile = launchedDesktopFiles_.value(*group.pid);
    if (entry) {
        app.desktopId = entry->id;
        app.localizedName =
            !entry->localizedName.isEmpty() ? entry->localizedName : entry->untranslatedName;
        app.desktopEntryPath = entry->path;
        app.icon = entries_.iconOf(*entry);
    }
    if (!app.localizedName || app.localizedName->isEmpty()) {
        if (!group.wmClass.isEmpty())
            app.localizedName = group.wmClass;
        else if (!group.wmInstance.isEmpty())
            app.localizedName = group.wmInstance;
        else if (executable)
            app.localizedName = QFileInfo(*executable).fileName();
        else
            app.localizedName.reset();
    }
    if (!app.desktopEntryPath)
        app.desktopEntryPath = executable;
    for (auto window = group.windows.begin(); app.icon.isNull() && window != group.windows.end();
         ++window)
        app.icon = windowIcons_.value(*window);
    if (app.icon.isNull()) {
        if (!genericIcon_)
            genericIcon_ = QIcon::fromTheme(QStringLiteral("application-x-executable"));
        app.icon = *genericIcon_;
    }
    return app;
}

std::vector<AppMatchWindow>
EwmhRunningApplications::readClients(const std::vector<xcb_window_t>& clients, bool listChanged) {
    std::vector<EwmhWindowReader::Request> requests;
    std::size_t newWindows = 0;
    bool moreLeft = false;
    for (const xcb_window_t window : clients) {
        if (absent_.contains(window))
            continue;
        const auto known = windowProperties_.constFind(window);
        const bool isNew = known == windowProperties_.constEnd();
        if (isNew && newWindows == newWindowsPerPass) {
            moreLeft = true;
            continue;
        }
        const std::uint8_t properties =
            isNew ? std::uint8_t(EwmhWindowReader::allProperties) : staleProperties_.value(window);
        const bool icon = !windowIcons_.contains(window);
        if (properties || icon) {
            // Watched before it is read, so that a change after the read is never missed.
            if (isNew)
                watch(window);
            newWindows += isNew;
            requests.push_back({window, properties, icon, isNew ? AppMatchWindow{} : *known});
        }
    }
    staleProperties_.clear();
    if (moreLeft)
        readMore_.start();
    QSet<xcb_window_t>& vanished = absent_;
    if (!requests.empty()) {
        const std::vector<EwmhWindowReader::Window> read = reader_->readWindows(requests);
        auto found = read.begin();
        for (const auto& request : requests) {
            if (found == read.end() || found->window != request.window) {
                vanished.insert(request.window);
                windowProperties_.remove(request.window);
                windowIcons_.remove(request.window);
                continue;
            }
            if (found->properties)
                windowProperties_.insert(request.window, *found->properties);
            if (found->icon)
                windowIcons_.insert(request.window, *found->icon);
            ++found;
        }
    }

    std::vector<AppMatchWindow> windows;
    windows.reserve(clients.size());
    QSet<xcb_window_t> listed;
    listed.reserve(static_cast<qsizetype>(clients.size()));
    for (const xcb_window_t window : clients) {
        const auto properties = windowProperties_.constFind(window);
        if (properties == windowProperties_.constEnd())
            continue;
        windows.push_back(*properties);
        listed.insert(window);
    }
    // Windows no longer listed take their cache entries with them.
    if (listChanged) {
        std::vector<xcb_window_t> sorted = clients;
        std::sort(sorted.begin(), sorted.end());
        const auto unlisted = [&](xcb_window_t window) {
            return !std::binary_search(sorted.begin(), sorted.end(), window);
        };
        absent_.removeIf(unlisted);
        watched_.removeIf(unlisted);
    }
    windowProperties_.removeIf([&](const auto& entry) { return !listed.contains(entry.key()); });
    windowIcons_.removeIf([&](const auto& entry) { return !listed.contains(entry.key()); });
    return windows;
}

RunningApplicationsSource::Snapshot EwmhRunningApplications::snapshot() {
    Snapshot snapshot;
    if (!connection_)
        return snapshot;
    // The root's list is read again only after it changed: a pass that goes on reading new
    // windows of a long list costs no copy of the list.
    const bool listChanged = rootStale_;
    if (rootStale_) {
        rootStale_ = false;
        lastRoot_ = reader_->readRoot();
    }
    const EwmhWindowReader::RootState& root = lastRoot_;
    const std::vector<AppMatchWindow> matches = readClients(root.clients, listChanged);
    const std::vector<AppMatchGroup> groups = AppMatchGrouping::group(matches);
    QHash<std::int32_t, std::optional<QString>> executables;
    QHash<std::int32_t, std::optional<QString>> launched;
    std::vector<AppMatchCache::Query> queries;
    queries.reserve(groups.size());
    for (const AppMatchGroup& group : groups) {
        std::optional<QString> executable;
        if (group.pid) {
            executable = executableOf(*group.pid);
            executables.insert(*group.pid, executable);
            launched.insert(*group.pid, launchedDesktopFileOf(*group.pid));
        }
        queries.push_back({group.key, group.wmInstance, group.wmClass, executable});
    }
    executables_ = std::move(executables);
    launchedDesktopFiles_ = std::move(launched);

    const std::vector<const AppMatchEntry*> found = entries_.matchAll(queries);
    snapshot.applications.reserve(groups.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        snapshot.applications.push_back(present(groups[i], found[i], queries[i].executable));
        const auto& all = groups[i].windows;
        if (root.activeWindow != XCB_WINDOW_NONE &&
            std::find(all.begin(), all.end(), root.activeWindow) != all.end())
            snapshot.frontmost = snapshot.applications.back();
    }
    return snapshot;
}

void EwmhRunningApplications::sendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t d0,
                                         std::uint32_t d1) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    event.data.data32[0] = d0;
    event.data.data32[1] = d1;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

void EwmhRunningApplications::activate(const RunningApplication& application) {
    if (!connection_ || application.windows.empty())
        return;
    // Bottom to top, so that the window the user saw last in front ends up in front again.
    const std::vector<xcb_window_t> stacking = reader_->readStacking();
    std::vector<xcb_window_t> windows = application.windows;
    // A window the stacking list lacks goes first: nothing says it was in front.
    const auto depth = [&](xcb_window_t w) {
        const auto found = std::find(stacking.begin(), stacking.end(), w);
        return found == stacking.end() ? -1 : found - stacking.begin();
    };
    std::stable_sort(windows.begin(), windows.end(),
                     [&](xcb_window_t a, xcb_window_t b) { return depth(a) < depth(b); });
    for (const xcb_window_t window : windows)
        sendToRoot(window, atoms_.activeWindow, sourceIsPager, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

void EwmhRunningApplications::activateWindow(std::uint32_t window) {
    if (!connection_)
        return;
    sendToRoot(window, atoms_.activeWindow, sourceIsPager, XCB_CURRENT_TIME);
    xcb_flush(connection_);
}

std::vector<std::uint32_t> EwmhRunningApplications::windowsByRecency() {
    if (!connection_)
        return {};
    // The window manager raises what it activates: the top of the stack is the latest in front.
    std::vector<xcb_window_t> stacking = reader_->readStacking();
    std::reverse(stacking.begin(), stacking.end());
    return stacking;
}

void EwmhRunningApplications::hide(const RunningApplication& application) {
    if (!connection_)
        return;
    for (const xcb_window_t window : application.windows)
        sendToRoot(window, atoms_.wmChangeState, iconicState, 0);
    xcb_flush(connection_);
}

void EwmhRunningApplications::terminate(const RunningApplication& application) {
    if (!connection_)
        return;
    for (const xcb_window_t window : application.windows)
        sendToRoot(window, atoms_.closeWindow, XCB_CURRENT_TIME, sourceIsPager);
    xcb_flush(connection_);
}
