// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The folder for the single-instance lock and socket. It must be the user's alone: in a shared
// folder, another user could create the lock and socket first, keep Moorline from starting and
// receive its messages.
namespace InstanceFolder {

// $XDG_RUNTIME_DIR when it is usable, else "moorline-runtime" in the user's cache folder
// ($XDG_CACHE_HOME or ~/.cache), made if missing; absent when neither is private, with the
// reason in words for the user in `problem`.
std::optional<QString> choose(QString* problem = nullptr);

// A directory, not a symlink, owned by us, with no access for group or others (mode 0700).
bool isPrivate(const QString& path);

} // namespace InstanceFolder
