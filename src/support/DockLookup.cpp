// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DockLookup.h"

#include <algorithm>

std::optional<QUuid> DockLookup::find(const std::vector<Dock>& docks, const QString& nameOrId) {
    const QString text = nameOrId.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    const QUuid id = QUuid::fromString(text);
    const auto first = [&](auto matches) -> std::optional<QUuid> {
        const auto it = std::find_if(docks.begin(), docks.end(), matches);
        return it == docks.end() ? std::nullopt : std::optional(it->id);
    };
    if (!id.isNull())
        if (auto found = first([&](const Dock& dock) { return dock.id == id; }))
            return found;
    if (auto found = first([&](const Dock& dock) { return dock.name == nameOrId; }))
        return found;
    return first(
        [&](const Dock& dock) { return dock.name.compare(text, Qt::CaseInsensitive) == 0; });
}
