// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// An application the desktop's menus offer.
struct InstalledApplication {
    QString name; // as the menus show it, localised
    QString path; // of its desktop entry
    QStringList categories;

    bool operator==(const InstalledApplication&) const = default;
};

// Which desktop entries the user's desktop names for a role, where installed entries are, and
// which applications the desktop's menus offer.
class DefaultApplications {
public:
    virtual ~DefaultApplications() = default;

    // Path of the desktop entry the desktop uses by default for a content type
    // ("x-scheme-handler/https", "inode/directory", ...), if any.
    virtual std::optional<QString> defaultFor(const QString& contentType) const = 0;
    // Path of an installed desktop entry by its id ("firefox-esr.desktop"), if any.
    virtual std::optional<QString> installed(const QString& desktopId) const = 0;
    // The applications a menu of this desktop shows (not those hidden, marked not to be shown,
    // or meant for other desktops), sorted by name.
    virtual std::vector<InstalledApplication> applications() const = 0;
};
