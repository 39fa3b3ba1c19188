// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <vector>

// The monitors of a session started with XSession::Options::dummyMonitors: Xorg's dummy outputs
// DUMMY0, DUMMY1... switched on, off and placed with xrandr, as a user does with real ones.
namespace DummyMonitors {

// Makes every output look like a plugged-in monitor, once, before Qt connects: it offers the
// sizes the tests use (1280x800, 1024x768, 1280x1024) and reports itself connected. The driver
// lists no modes for an output that was never on, and calls it connected only after its first
// mode was set and the server probed it again; Qt 6.4 keeps the size a monitor first had when
// its output reads as disconnected.
void prepareOutputs();

// Switches on one output per rectangle (X coordinates, y down; sizes from prepareOutputs()) and
// the rest off; the first one is the primary monitor. Answers once Qt's screens have the new
// geometries.
bool arrange(const std::vector<QRect>& monitors);

} // namespace DummyMonitors
