#pragma once

#include "platform/QtScheduler.h"
#include "backends/desktop/GioDefaultApplications.h"
#include "backends/desktop/GioWorkspace.h"
#include "backends/linux/LinuxSystemStatistics.h"
#include "backends/linux/LocalFileSystem.h"
#include "backends/x11/EwmhRunningApplications.h"

// The real Linux implementations of the platform interfaces, chosen in this one place. Made once
// the application object exists (the X11 ones use its connection).
struct Platform {
    QtScheduler& scheduler = QtScheduler::shared();
    LocalFileSystem fileSystem;
    GioDefaultApplications defaultApplications;
    GioWorkspace workspace;
    EwmhRunningApplications runningApplications;
    LinuxSystemStatistics systemStatistics;
};
