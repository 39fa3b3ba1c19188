// The process-wide hot key manager, wired to the X11 backend and the event-loop scheduler. It
// lives here rather than beside the manager so that the core library never depends on X11.

#include "platform/QtScheduler.h"
#include "backends/x11/X11HotKeyBackend.h"
#include "runtime/HotKeyManager.h"

HotKeyManager& HotKeyManager::shared() {
    // Never destroyed: at exit the X connection is already gone, and the grabs end with the
    // process anyway.
    static auto* const backend = new X11HotKeyBackend;
    static auto* const manager = new HotKeyManager(*backend, QtScheduler::shared());
    return *manager;
}
