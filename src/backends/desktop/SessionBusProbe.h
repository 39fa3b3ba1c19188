// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <chrono>

// Whether a D-Bus address leads to a bus that answers, asked with a deadline. Qt and GIO wait
// 25 s for every answer of a bus daemon that is stopped or hung, several times while a program
// starts; asked first, such a bus can be left alone from the start.
namespace SessionBusProbe {

// True when the first bus of the address answers the start of the handshake within `timeout`,
// or when it is reached in a way this cannot ask (TCP, autolaunch); false for "disabled:", an
// address with no bus behind it, or one that does not answer in time.
bool answers(const QByteArray& address, std::chrono::milliseconds timeout);

} // namespace SessionBusProbe
