// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// Which desktop entries the user's desktop names for a role, and where installed entries are.
class DefaultApplications {
public:
    virtual ~DefaultApplications() = default;

    // Path of the desktop entry the desktop uses by default for a content type
    // ("x-scheme-handler/https", "inode/directory", ...), if any.
    virtual std::optional<QString> defaultFor(const QString& contentType) const = 0;
    // Path of an installed desktop entry by its id ("firefox-esr.desktop"), if any.
    virtual std::optional<QString> installed(const QString& desktopId) const = 0;
};
