#pragma once

#include "platform/QtScheduler.h"
#include "platform/desktop/GioDefaultApplications.h"
#include "platform/desktop/GioWorkspace.h"
#include "platform/linux/LinuxSystemStatistics.h"
#include "platform/linux/LocalFileSystem.h"
#include "platform/x11/EwmhRunningApplications.h"

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
