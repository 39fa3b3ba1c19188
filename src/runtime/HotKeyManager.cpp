// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/HotKeyManager.h"

#include "platform/Scheduler.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {
// Ids run from 1 up to one below the largest value; a run that uses them all up gets no more
// hot keys rather than handing an old id out again.
constexpr std::uint32_t lastUsableId = std::numeric_limits<std::uint32_t>::max() - 1;
} // namespace

HotKeyManager::HotKeyManager(HotKeyBackend& backend, Scheduler& scheduler)
    : backend_(backend), scheduler_(scheduler) {}

HotKeyManager::~HotKeyManager() {
    if (eventHandlerInstalled)
        backend_.setPressHandler({});
    for (const auto& registration : std::as_const(hotKeyRefs))
        backend_.release(registration.handle);
    releaseGivenUp();
}

void HotKeyManager::registerHotKey(const QUuid& dockId, std::uint32_t keyCode,
                                   std::uint32_t modifiers, std::function<void()> handler) {
    installEventHandlerIfNeeded();
    unregister(dockId);
    if (nextHotKeyId > lastUsableId)
        return;
    const std::uint32_t id = nextHotKeyId++;
    if (suspensions_ == 0) {
        const auto handle = keepOrGrab(keyCode, modifiers, id);
        if (!handle)
            return;
        hotKeyRefs.insert(dockId, {*handle, keyCode, modifiers});
    }
    handlers.insert(dockId, std::move(handler));
    idsByHotKeyId[id] = dockId;
    chords_.insert(dockId, {keyCode, modifiers, id});
}

void HotKeyManager::unregister(const QUuid& dockId) {
    if (const auto found = hotKeyRefs.find(dockId); found != hotKeyRefs.end()) {
        releaseLater(*found);
        hotKeyRefs.erase(found);
    }
    handlers.remove(dockId);
    chords_.remove(dockId);
    std::erase_if(idsByHotKeyId, [&](const auto& entry) { return entry.second == dockId; });
}

Subscription HotKeyManager::suspend() {
    if (suspensions_++ == 0) {
        // Every grab goes back at once, the ones given up in this pass too, so that the
        // recorder hears the chords our docks hold.
        for (const auto& registration : std::as_const(hotKeyRefs))
            backend_.release(registration.handle);
        hotKeyRefs.clear();
        releaseGivenUp();
    }
    return Subscription(lifetime_.guard([this] { resume(); }));
}

void HotKeyManager::resume() {
    if (--suspensions_ > 0)
        return;
    // In the order of the ids: a chord two docks want goes back to the one that had it first.
    const auto ids = idsByHotKeyId;
    for (const auto& [id, dockId] : ids) {
        const Chord chord = chords_.value(dockId);
        if (const auto handle = backend_.grab(chord.keyCode, chord.modifiers, chord.id))
            hotKeyRefs.insert(dockId, {*handle, chord.keyCode, chord.modifiers});
        else
            unregister(dockId);
    }
}

std::optional<HotKeyBackend::Handle>
HotKeyManager::keepOrGrab(std::uint32_t keyCode, std::uint32_t modifiers, std::uint32_t id) {
    // A chord given up earlier in this pass is still held: moving it to the new id leaves no
    // moment in which another program could take it, and costs no wait for the window system.
    const auto kept = std::find_if(givenUp_.begin(), givenUp_.end(), [&](const auto& given) {
        return given.keyCode == keyCode && given.modifiers == modifiers;
    });
    if (kept != givenUp_.end()) {
        const HotKeyBackend::Handle handle = kept->handle;
        givenUp_.erase(kept);
        if (backend_.rebind(handle, id))
            return handle;
        // Lost meanwhile (another program took it when the keyboard map changed): try afresh.
    }
    return backend_.grab(keyCode, modifiers, id);
}

void HotKeyManager::releaseLater(const Registration& registration) {
    givenUp_.push_back(registration);
    release_.request();
}

void HotKeyManager::releaseGivenUp() {
    for (const auto& registration : std::exchange(givenUp_, {}))
        backend_.release(registration.handle);
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
    const auto dock = idsByHotKeyId.find(id);
    if (dock == idsByHotKeyId.end())
        return;
    const auto handler = handlers.constFind(dock->second);
    if (handler == handlers.constEnd() || !*handler)
        return;
    // A copy, because the action may well unregister its own dock.
    const auto action = *handler;
    action();
}
