// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/wayland/DispatchedChanges.h"

#include "backends/wayland/WaylandConnection.h"

#include <utility>

DispatchedChanges::DispatchedChanges(WaylandConnection& wayland)
    : dispatched_(QObject::connect(&wayland, &WaylandConnection::dispatched, &wayland, [this] {
          if (std::exchange(dirty_, false))
              changed_.emit();
      })) {}

DispatchedChanges::~DispatchedChanges() {
    // The connection outlives us and dispatches on.
    QObject::disconnect(dispatched_);
}
