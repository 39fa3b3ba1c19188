#include "runtime/HotKeyManager.h"

#include "platform/Scheduler.h"

#include <limits>

namespace {
// Ids run from 1 up to one below the largest value; a run that uses them all up gets no more
// hot keys rather than handing an old id out again.
constexpr std::uint32_t lastUsableID = std::numeric_limits<std::uint32_t>::max() - 1;
} // namespace

HotKeyManager::HotKeyManager(HotKeyBackend& backend, Scheduler& scheduler)
    : backend_(backend), scheduler_(scheduler) {}

HotKeyManager::~HotKeyManager() {
    if (eventHandlerInstalled)
        backend_.setPressHandler({});
    for (const auto handle : std::as_const(hotKeyRefs))
        backend_.release(handle);
}

void HotKeyManager::registerHotKey(const QUuid& dockID, std::uint32_t keyCode,
                                   std::uint32_t modifiers, std::function<void()> handler) {
    installEventHandlerIfNeeded();
    unregister(dockID);
    if (nextHotKeyID > lastUsableID)
        return;
    const std::uint32_t id = nextHotKeyID++;
    const auto handle = backend_.grab(keyCode, modifiers, id);
    if (!handle)
        return;
    hotKeyRefs.insert(dockID, *handle);
    handlers.insert(dockID, std::move(handler));
    idsByHotKeyID[id] = dockID;
}

void HotKeyManager::unregister(const QUuid& dockID) {
    if (const auto found = hotKeyRefs.find(dockID); found != hotKeyRefs.end()) {
        backend_.release(*found);
        hotKeyRefs.erase(found);
    }
    handlers.remove(dockID);
    std::erase_if(idsByHotKeyID, [&](const auto& entry) { return entry.second == dockID; });
}

void HotKeyManager::installEventHandlerIfNeeded() {
    if (eventHandlerInstalled)
        return;
    eventHandlerInstalled = true;
    // The press arrives inside the window system's event dispatch; the dock's action runs later,
    // as a task of its own, and finds its handler only then, so that a chord unregistered in the
    // meantime does nothing.
    backend_.setPressHandler([this](std::uint32_t id) {
        scheduler_.post(lifetime_.guard([this, id] { handleHotKey(id); }));
    });
}

void HotKeyManager::handleHotKey(std::uint32_t id) {
    const auto dock = idsByHotKeyID.find(id);
    if (dock == idsByHotKeyID.end())
        return;
    const auto handler = handlers.constFind(dock->second);
    if (handler == handlers.constEnd() || !*handler)
        return;
    // A copy, because the action may well unregister its own dock.
    const auto action = *handler;
    action();
}
