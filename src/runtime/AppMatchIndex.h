// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "runtime/AppMatchEntry.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Finds the desktop entry of a running application: by StartupWMClass, then by WM_CLASS against
// entry ids and names (ignoring case), then by the process's executable against the entries'
// programs (of entries that state no window class and need no terminal, and only a program that
// one entry alone starts). Entries that menus show win over hidden ones.
class AppMatchIndex {
public:
    AppMatchIndex() = default;
    explicit AppMatchIndex(std::vector<AppMatchEntry> entries);

    // The index into entries() of the matching entry, if any.
    std::optional<std::size_t> match(const QString& wmInstance, const QString& wmClass,
                                     const std::optional<QString>& executable) const;

    const std::vector<AppMatchEntry>& entries() const { return entries_; }

private:
    static void addFirst(QHash<QString, std::size_t>& map, const QString& key, std::size_t index);
    static std::optional<std::size_t> find(const QHash<QString, std::size_t>& map,
                                           const QString& key);

    std::vector<AppMatchEntry> entries_;
    QHash<QString, std::size_t> byStartupClass_;
    QHash<QString, std::size_t> byId_;   // folded to lower case
    QHash<QString, std::size_t> byName_; // folded to lower case
    QHash<QString, std::size_t> byExecutable_;
};
