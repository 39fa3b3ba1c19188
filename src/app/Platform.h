#pragma once

#include "platform/QtScheduler.h"
#include "platform/desktop/GioDefaultApplications.h"
#include "platform/linux/LocalFileSystem.h"

// The real Linux implementations of the platform interfaces, chosen in this one place.
struct Platform {
    QtScheduler scheduler;
    LocalFileSystem fileSystem;
    GioDefaultApplications defaultApplications;
};
