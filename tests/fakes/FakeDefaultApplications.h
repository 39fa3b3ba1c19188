// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DefaultApplications.h"

#include <QHash>

// Default applications and installed desktop entries as a test sets them.
class FakeDefaultApplications final : public DefaultApplications {
public:
    std::optional<QString> defaultFor(const QString& contentType) const override {
        if (const auto it = defaults.find(contentType); it != defaults.end())
            return *it;
        return std::nullopt;
    }
    std::optional<QString> installed(const QString& desktopId) const override {
        if (const auto it = entries.find(desktopId); it != entries.end())
            return *it;
        return std::nullopt;
    }

    std::vector<InstalledApplication> applications() const override { return menu; }

    QHash<QString, QString> defaults; // content type -> entry path
    QHash<QString, QString> entries;  // desktop id -> entry path
    std::vector<InstalledApplication> menu;
};
