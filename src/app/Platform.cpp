// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Platform.h"

#include "backends/wayland/CommandHotKeys.h"
#include "backends/wayland/EdgeStripPointerMonitor.h"
#include "backends/wayland/EdgeStripWindow.h"
#include "backends/wayland/LayerShellPanels.h"
#include "backends/wayland/NoPointerMonitor.h"
#include "backends/wayland/PlasmaWindows.h"
#include "backends/wayland/UnavailableRunningApplications.h"
#include "backends/wayland/WlrToplevels.h"
#include "backends/wayland/XdgActivationTokens.h"
#include "backends/x11/EwmhRunningApplications.h"
#include "backends/x11/X11EdgeStrip.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "backends/x11/X11WindowActivation.h"
#include "backends/x11/X11WindowHints.h"
#include "backends/x11/XInputPointerMonitor.h"
#include "support/SessionChoice.h"

namespace {

std::unique_ptr<RunningApplicationsSource> runningApplications(const SessionChoice& choice,
                                                               WaylandConnection* wayland) {
    switch (choice.runningPrograms) {
    case SessionChoice::RunningPrograms::ewmh:
        return std::make_unique<EwmhRunningApplications>();
    case SessionChoice::RunningPrograms::wlrToplevels:
        if (wayland)
            return std::make_unique<WlrToplevels>(*wayland);
        break;
    case SessionChoice::RunningPrograms::plasmaWindows:
        if (wayland)
            return std::make_unique<PlasmaWindows>(*wayland);
        break;
    case SessionChoice::RunningPrograms::none:
        break;
    }
    return std::make_unique<UnavailableRunningApplications>();
}

std::unique_ptr<PointerMonitor> pointerMonitor(const SessionChoice& choice, Scheduler& scheduler,
                                               WindowHints& hints) {
    switch (choice.pointerWatch) {
    case SessionChoice::PointerWatch::x11RawMotion:
        return std::make_unique<XInputPointerMonitor>();
    case SessionChoice::PointerWatch::edgeStrips:
        return std::make_unique<EdgeStripPointerMonitor>(
            scheduler, [&hints] { return std::make_unique<EdgeStripWindow>(hints); });
    case SessionChoice::PointerWatch::x11EdgeStrips:
        return std::make_unique<EdgeStripPointerMonitor>(
            scheduler, [] { return std::make_unique<X11EdgeStrip>(); });
    case SessionChoice::PointerWatch::none:
        break;
    }
    return std::make_unique<NoPointerMonitor>();
}

} // namespace

Platform::Platform(const SessionChoice& choice, WaylandConnection* wayland)
    : runningApplications(::runningApplications(choice, wayland)),
      hotKeyBackend(
          choice.hotKeys == SessionChoice::HotKeys::x11Grabs
              ? std::unique_ptr<HotKeyBackend>(std::make_unique<X11HotKeyBackend>(scheduler))
              : std::make_unique<CommandHotKeys>()),
      windowHints(choice.panels == SessionChoice::Panels::layerSurfaces
                      ? std::unique_ptr<WindowHints>(std::make_unique<LayerShellPanels>())
                      : std::make_unique<X11WindowHints>()),
      pointerMonitor(::pointerMonitor(choice, scheduler, *windowHints)),
      windowActivation(std::make_unique<X11WindowActivation>()) {
    if (choice.activationTokens) {
        activationTokens = std::make_unique<XdgActivationTokens>();
        desktop.setActivationTokenSource(
            [tokens = activationTokens.get()] { return tokens->requestToken(); });
    }
}

Platform::~Platform() = default;
