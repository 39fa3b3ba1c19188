// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/AppMatchIndex.h"

#include <QSet>

#include <algorithm>

AppMatchIndex::AppMatchIndex(std::vector<AppMatchEntry> entries) : entries_(std::move(entries)) {
    // Shown entries first, so that a hidden helper entry never hides the one a menu offers.
    std::stable_partition(entries_.begin(), entries_.end(),
                          [](const AppMatchEntry& e) { return e.isShown; });

    // A program that several entries start (an interpreter, env, flatpak) names none of them.
    // An entry that states its window class is known by that alone: "xterm -class Foo" is not
    // every xterm.
    const auto byProgram = [](const AppMatchEntry& entry) {
        return !entry.runsInTerminal && entry.startupWMClass.isEmpty();
    };
    QHash<QString, int> programUsers;
    for (const AppMatchEntry& entry : entries_) {
        if (!byProgram(entry))
            continue;
        for (const QString& program :
             QSet<QString>(entry.executables.begin(), entry.executables.end()))
            ++programUsers[program];
    }

    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const AppMatchEntry& entry = entries_[i];
        addFirst(byStartupClass_, entry.startupWMClass, i);
        const QString id = entry.id.toCaseFolded();
        addFirst(byId_, id, i);
        // Reverse-DNS ids ("org.kde.konsole") are also known by their last part.
        if (const qsizetype dot = id.lastIndexOf(QLatin1Char('.')); dot >= 0)
            addFirst(byId_, id.mid(dot + 1), i);
        addFirst(byName_, entry.localizedName.toCaseFolded(), i);
        addFirst(byName_, entry.untranslatedName.toCaseFolded(), i);
        if (byProgram(entry))
            for (const QString& program : entry.executables)
                if (programUsers.value(program) == 1)
                    addFirst(byExecutable_, program, i);
    }
}

void AppMatchIndex::addFirst(QHash<QString, std::size_t>& map, const QString& key,
                             std::size_t index) {
    if (!key.isEmpty() && !map.contains(key))
        map.insert(key, index);
}

std::optional<std::size_t> AppMatchIndex::find(const QHash<QString, std::size_t>& map,
                                               const QString& key) {
    if (key.isEmpty())
        return std::nullopt;
    const auto found = map.constFind(key);
    if (found == map.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<std::size_t> AppMatchIndex::match(const QString& wmInstance, const QString& wmClass,
                                                const std::optional<QString>& executable) const {
    if (auto found = find(byStartupClass_, wmClass))
        return found;
    if (auto found = find(byStartupClass_, wmInstance))
        return found;
    const QString foldedClass = wmClass.toCaseFolded();
    const QString foldedInstance = wmInstance.toCaseFolded();
    for (const auto* map : {&byId_, &byName_}) {
        if (auto found = find(*map, foldedClass))
            return found;
        if (auto found = find(*map, foldedInstance))
            return found;
    }
    if (executable)
        return find(byExecutable_, *executable);
    return std::nullopt;
}
