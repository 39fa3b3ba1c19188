// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backends/x11/EwmhAtoms.h"
#include "backends/x11/EwmhWindowReader.h"
#include "platform/RunningApplicationsSource.h"
#include "platform/Signal.h"
#include "runtime/AppMatchCache.h"
#include "runtime/AppMatchGroup.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QSet>
#include <QTimer>

#include <memory>

// The running applications of an EWMH desktop, read through Qt's own X connection: the client
// windows grouped by process, named and drawn after their desktop entries, with change
// notifications from PropertyNotify events on the root and the client windows. Window
// properties are cached and read again when the window reports a change, so a refresh with
// nothing new costs one round trip to the server.
class EwmhRunningApplications final : public RunningApplicationsSource,
                                      private QAbstractNativeEventFilter {
public:
    // Needs a QGuiApplication on the xcb platform; on any other it reports no application.
    EwmhRunningApplications();
    ~EwmhRunningApplications() override;
    EwmhRunningApplications(const EwmhRunningApplications&) = delete;
    EwmhRunningApplications& operator=(const EwmhRunningApplications&) = delete;

    Snapshot snapshot() override;
    Subscription onChange(std::function<void()> action) override;
    void activate(const RunningApplication& application) override;
    void activateWindow(std::uint32_t window) override;
    std::vector<std::uint32_t> windowsByRecency() override;
    void hide(const RunningApplication& application) override;
    void terminate(const RunningApplication& application) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Selects the changes of a client window, once.
    void watch(xcb_window_t window);
    // The properties of every client window, reading those not known yet (at most a pass's worth
    // of new ones: the rest on the next passes); vanished windows are left out.
    std::vector<AppMatchWindow> readClients(const std::vector<xcb_window_t>& clients,
                                            bool listChanged);
    void forget(xcb_window_t window);
    // The EwmhWindowReader::Property bit of a window property atom; 0 for any other atom.
    std::uint8_t propertyOf(xcb_atom_t atom) const;
    bool isOwnWindow(xcb_window_t window) const;
    std::optional<QString> executableOf(std::int32_t pid);
    std::optional<QString> launchedDesktopFileOf(std::int32_t pid);
    RunningApplication present(const AppMatchGroup& group, const AppMatchEntry* entry,
                               const std::optional<QString>& executable);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, std::uint32_t d0, std::uint32_t d1);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    EwmhAtoms atoms_;
    std::unique_ptr<EwmhWindowReader> reader_;
    Signal<> changed_;
    // Client windows whose property changes reach the event filter.
    QSet<xcb_window_t> watched_;
    // Each window's properties and icon, read once and again after they change: a refresh reads
    // only what changed.
    QHash<xcb_window_t, AppMatchWindow> windowProperties_;
    // The properties (EwmhWindowReader::Property bits) of a known window that changed since.
    QHash<xcb_window_t, std::uint8_t> staleProperties_;
    QHash<xcb_window_t, QIcon> windowIcons_;
    QHash<std::int32_t, std::optional<QString>> executables_;
    QHash<std::int32_t, std::optional<QString>> launchedDesktopFiles_;
    AppMatchCache entries_;
    std::optional<QIcon> genericIcon_;
    // Listed ids with no window behind them (a hostile or broken client can list any number):
    // not asked about again while they stay listed.
    QSet<xcb_window_t> absent_;
    // The root's client list and active window as last read, and whether they changed since.
    EwmhWindowReader::RootState lastRoot_;
    bool rootStale_ = true;
    // Another snapshot on the next pass, while new windows are left to read.
    QTimer readMore_;
};
