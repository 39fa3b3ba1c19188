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
    if (eventHandlerInstalled) {
        backend_.setPressHandler({});
        backend_.setAnswerHandler({});
    }
    for (const auto& registration : std::as_const(hotKeyRefs))
        backend_.release(registration.handle);
    releaseGivenUp();
}

void HotKeyManager::registerHotKey(const QUuid& dockId, std::uint32_t keyCode,
                                   std::uint32_t modifiers, Handler handler,
                                   const QString& description) {
    installEventHandlerIfNeeded();
    unregister(dockId);
    if (nextHotKeyId > lastUsableId)
        return;
    const std::uint32_t id = nextHotKeyId++;
    if (suspensions_ == 0) {
        const auto handle = keepOrGrab(keyCode, modifiers, id, labelOf(dockId, description));
        if (!handle)
            return;
        hotKeyRefs.insert(dockId, {*handle, keyCode, modifiers});
    }
    handlers.insert(dockId, std::move(handler));
    idsByHotKeyId[id] = dockId;
    chords_.insert(dockId, {keyCode, modifiers, id, description});
    hotKeyChanges_.emit(dockId);
}

std::optional<HotKeyBackend::Answer> HotKeyManager::answer(const QUuid& dockId) const {
    const auto registration = hotKeyRefs.constFind(dockId);
    if (registration == hotKeyRefs.constEnd())
        return std::nullopt;
    const auto found = answers_.find(registration->handle);
    return found == answers_.end() ? std::nullopt : std::optional(found->second);
}

HotKeyBackend::Label HotKeyManager::labelOf(const QUuid& dockId, const QString& description) {
    // The dock's id outlives renames and restarts: a service that remembers the keys the user
    // gave a shortcut finds them again.
    return {dockId.toString(QUuid::WithoutBraces), description};
}

void HotKeyManager::release(HotKeyBackend::Handle handle) {
    backend_.release(handle);
    answers_.erase(handle);
}

void HotKeyManager::takeAnswer(HotKeyBackend::Handle handle, const HotKeyBackend::Answer& answer) {
    const auto holder = std::find_if(hotKeyRefs.constBegin(), hotKeyRefs.constEnd(),
                                     [&](const Registration& r) { return r.handle == handle; });
    const bool givenUp = std::any_of(givenUp_.begin(), givenUp_.end(),
                                     [&](const Registration& r) { return r.handle == handle; });
    if (holder == hotKeyRefs.constEnd() && !givenUp)
        return;
    answers_[handle] = answer;
    if (holder != hotKeyRefs.constEnd())
        hotKeyChanges_.emit(holder.key());
}

void HotKeyManager::unregister(const QUuid& dockId) {
    if (const auto found = hotKeyRefs.find(dockId); found != hotKeyRefs.end()) {
        releaseLater(*found);
        hotKeyRefs.erase(found);
    }
    handlers.remove(dockId);
    if (chords_.remove(dockId))
        hotKeyChanges_.emit(dockId);
    std::erase_if(idsByHotKeyId, [&](const auto& entry) { return entry.second == dockId; });
}

Subscription HotKeyManager::suspend() {
    if (suspensions_++ == 0) {
        // Every grab goes back at once, the ones given up in this pass too, so that the
        // recorder hears the chords our docks hold.
        for (const auto& registration : std::as_const(hotKeyRefs))
            release(registration.handle);
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
        if (const auto handle = backend_.grab(chord.keyCode, chord.modifiers, chord.id,
                                              labelOf(dockId, chord.description)))
            hotKeyRefs.insert(dockId, {*handle, chord.keyCode, chord.modifiers});
        else
            unregister(dockId);
    }
}

std::optional<HotKeyBackend::Handle> HotKeyManager::keepOrGrab(std::uint32_t keyCode,
                                                               std::uint32_t modifiers,
                                                               std::uint32_t id,
                                                               const HotKeyBackend::Label& label) {
    // A chord given up earlier in this pass is still held: moving it to the new id leaves no
    // moment in which another program could take it, and costs no wait for the window system.
    const auto kept = std::find_if(givenUp_.begin(), givenUp_.end(), [&](const auto& given) {
        return given.keyCode == keyCode && given.modifiers == modifiers;
    });
    if (kept != givenUp_.end()) {
        const HotKeyBackend::Handle handle = kept->handle;
        givenUp_.erase(kept);
        if (backend_.rebind(handle, id, label))
            return handle;
        // Lost meanwhile (another program took it when the keyboard map changed): try afresh.
        answers_.erase(handle);
    }
    return backend_.grab(keyCode, modifiers, id, label);
}

void HotKeyManager::releaseLater(const Registration& registration) {
    givenUp_.push_back(registration);
    release_.request();
}

void HotKeyManager::releaseGivenUp() {
    for (const auto& registration : std::exchange(givenUp_, {}))
        release(registration.handle);
}

void HotKeyManager::installEventHandlerIfNeeded() {
    if (eventHandlerInstalled)
        return;
    eventHandlerInstalled = true;
    // The press arrives inside the window system's event dispatch; the dock's action runs later,
    // as a task of its own, and finds its handler only then, so that a chord unregistered in the
    // meantime does nothing.
    backend_.setPressHandler([this](std::uint32_t id, std::uint32_t userTime) {
        scheduler_.post(lifetime_.guard([this, id, userTime] { handleHotKey(id, userTime); }));
    });
    backend_.setAnswerHandler(
        [this](HotKeyBackend::Handle handle, const HotKeyBackend::Answer& answer) {
            takeAnswer(handle, answer);
        });
}

void HotKeyManager::handleHotKey(std::uint32_t id, std::uint32_t userTime) {
    const auto dock = idsByHotKeyId.find(id);
    if (dock == idsByHotKeyId.end())
        return;
    const auto handler = handlers.constFind(dock->second);
    if (handler == handlers.constEnd() || !*handler)
        return;
    // A copy, because the action may well unregister its own dock.
    const auto action = *handler;
    action(userTime);
}
