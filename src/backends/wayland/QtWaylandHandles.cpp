// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/QtWaylandHandles.h"

#include <QGuiApplication>
#include <qpa/qplatformnativeinterface.h>

namespace {

QPlatformNativeInterface* native() {
    if (QGuiApplication::platformName() != u"wayland"_qs)
        return nullptr;
    return QGuiApplication::platformNativeInterface();
}

} // namespace

wl_display* QtWaylandHandles::display() {
    QPlatformNativeInterface* n = native();
    return n ? static_cast<wl_display*>(n->nativeResourceForIntegration("wl_display")) : nullptr;
}

wl_surface* QtWaylandHandles::surface(QWindow* window) {
    QPlatformNativeInterface* n = native();
    return n && window ? static_cast<wl_surface*>(n->nativeResourceForWindow("surface", window))
                       : nullptr;
}

wl_output* QtWaylandHandles::output(QScreen* screen) {
    QPlatformNativeInterface* n = native();
    return n && screen ? static_cast<wl_output*>(n->nativeResourceForScreen("output", screen))
                       : nullptr;
}

wl_seat* QtWaylandHandles::seat() {
    QPlatformNativeInterface* n = native();
    return n ? static_cast<wl_seat*>(n->nativeResourceForIntegration("wl_seat")) : nullptr;
}

std::uint32_t QtWaylandHandles::lastInputSerial() {
    QPlatformNativeInterface* n = native();
    return n ? std::uint32_t(quintptr(n->nativeResourceForIntegration("serial"))) : 0;
}
