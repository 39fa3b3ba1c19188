// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/HotKeyBackend.h"
#include "platform/LifetimeGuard.h"
#include "platform/Signal.h"
#include "platform/Subscription.h"

#include <QHash>
#include <QUuid>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class Scheduler;

// The single owner of the system-wide hot keys: one chord per dock, each press dispatched to the
// dock's action as a separate main-thread task. Knows nothing of docks beyond their ids.
class HotKeyManager {
public:
    // Called with the window system's time of the press (0 where it has none).
    using Handler = std::function<void(std::uint32_t userTime)>;

    HotKeyManager(HotKeyBackend& backend, Scheduler& scheduler);
    ~HotKeyManager();
    HotKeyManager(const HotKeyManager&) = delete;
    HotKeyManager& operator=(const HotKeyManager&) = delete;

    // Registers the chord (macOS virtual key code, Carbon modifier mask) for the dock. A chord
    // the window system refuses leaves the dock without a hot key, silently. `description` is
    // what a shortcut service that lists our shortcuts shows for it (the dock's name).
    void registerHotKey(const QUuid& dockId, std::uint32_t keyCode, std::uint32_t modifiers,
                        Handler handler, const QString& description = {});
    // Removes whatever is registered for the dock; harmless when nothing is. The chord stops
    // firing for the dock at once; the window system gets it back on the next pass of the event
    // loop (or when the manager goes), unless a registration of the same chord in this pass
    // takes the grab over.
    void unregister(const QUuid& dockId);
    // Whether the dock has a hot key that fires now.
    bool isRegistered(const QUuid& dockId) const { return hotKeyRefs.contains(dockId); }
    // Gives every grab back to the window system until the handle is dropped, then takes them
    // again, oldest first, so that a hot key recorder hears the chords our docks hold. Chords
    // registered meanwhile are grabbed at the end; a chord lost to another program by then
    // leaves its dock without a hot key. Suspensions nest.
    [[nodiscard]] Subscription suspend();
    // Whether the registered chords fire whichever program has the keyboard (see HotKeyBackend).
    bool firesEverywhere() const { return backend_.firesEverywhere(); }
    // What a shortcut service that answers later made of the dock's hot key; nothing while it
    // has not answered, where grabs answer at once, or when the dock has no hot key.
    std::optional<HotKeyBackend::Answer> answer(const QUuid& dockId) const;
    // Calls `observer` with a dock's id whenever its hot key is registered, unregistered or
    // answered.
    [[nodiscard]] Subscription observeHotKeys(std::function<void(const QUuid&)> observer) {
        return hotKeyChanges_.connect(std::move(observer));
    }

private:
    // A live grab and the chord it holds.
    struct Registration {
        HotKeyBackend::Handle handle = 0;
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
    };

    std::optional<HotKeyBackend::Handle> keepOrGrab(std::uint32_t keyCode, std::uint32_t modifiers,
                                                    std::uint32_t id,
                                                    const HotKeyBackend::Label& label);
    static HotKeyBackend::Label labelOf(const QUuid& dockId, const QString& description);
    void release(HotKeyBackend::Handle handle);
    void takeAnswer(HotKeyBackend::Handle handle, const HotKeyBackend::Answer& answer);
    void releaseLater(const Registration& registration);
    void releaseGivenUp();
    void installEventHandlerIfNeeded();
    void handleHotKey(std::uint32_t id, std::uint32_t userTime);
    void resume();

    struct Chord {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t id = 0;
        QString description;
    };

    HotKeyBackend& backend_;
    Scheduler& scheduler_;

    QHash<QUuid, Registration> hotKeyRefs;
    QHash<QUuid, Handler> handlers;
    bool eventHandlerInstalled = false;
    std::uint32_t nextHotKeyId = 1;
    std::map<std::uint32_t, QUuid> idsByHotKeyId;
    // The chord of every dock with a handler, grabbed or waiting for a suspension to end.
    QHash<QUuid, Chord> chords_;
    int suspensions_ = 0;
    // The later answers of a shortcut service, by grab, as long as the grab is held.
    std::map<HotKeyBackend::Handle, HotKeyBackend::Answer> answers_;
    Signal<QUuid> hotKeyChanges_;

    // Grabs unregistered in this pass and not yet released, on the next pass: a chord
    // registered again meanwhile (a dock's hot key moved to another dock, a re-registration)
    // takes its grab back without a moment in which another program could take it.
    std::vector<Registration> givenUp_;
    CoalescedTask release_{scheduler_, [this] { releaseGivenUp(); }};

    LifetimeGuard lifetime_;
};
