// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/DefaultApplications.h"

// The desktop's default applications and installed entries, as GIO reads them from
// mimeapps.list and the XDG data directories (GIO watches those and reads them again when they
// change).
class GioDefaultApplications final : public DefaultApplications {
public:
    std::optional<QString> defaultFor(const QString& contentType) const override;
    std::optional<QString> installed(const QString& desktopId) const override;
    std::vector<InstalledApplication> applications() const override;
};
