// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

class QScreen;
class QWindow;
struct wl_display;
struct wl_output;
struct wl_seat;
struct wl_surface;

// The Wayland objects behind Qt's own windows and screens, read through Qt's QPA native
// interface: the one place that reaches below Qt's public API. Each answers null when Qt does
// not run on Wayland.
namespace QtWaylandHandles {

wl_display* display();
// The window's current surface: Qt makes a new one each time the window is shown.
wl_surface* surface(QWindow* window);
wl_output* output(QScreen* screen);
// Qt's seat and the serial of the latest input event on it. Only ask when the compositor
// offers a seat: Qt assumes one.
wl_seat* seat();
std::uint32_t lastInputSerial();

} // namespace QtWaylandHandles
