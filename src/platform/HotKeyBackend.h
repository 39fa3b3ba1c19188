// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

// The window system's global-shortcut service as the hot key manager needs it: grab a chord
// under a caller-chosen id, move it to another id, release it, and hear which id was pressed.
class HotKeyBackend {
public:
    // Opaque token for one live grab, handed back to release() and rebind().
    using Handle = std::uint64_t;
    using PressHandler = std::function<void(std::uint32_t hotKeyId)>;

    virtual ~HotKeyBackend() = default;

    // Sets the one receiver of presses; an empty handler stops delivery. Presses arrive on the
    // main thread, from the event loop; a chord held down is one press, however long it is held
    // and however often its grab is rebound meanwhile.
    virtual void setPressHandler(PressHandler handler) = 0;
    // Grabs the chord (macOS virtual key code, Carbon modifier mask) system-wide, reporting its
    // presses under `hotKeyId`. Answers nothing when the chord cannot be had: another client
    // holds it, it is already held under another id, or it has no equivalent here.
    virtual std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                                       std::uint32_t hotKeyId) = 0;
    // Gives the grab up at once; the chord no longer fires. Unknown handles are ignored.
    virtual void release(Handle handle) = 0;
    // Keeps the grab but reports its presses under `hotKeyId` from now on, without asking the
    // window system anything. Answers false, changing nothing, when the handle holds no grab
    // (released, unknown, or lost when the keyboard map changed).
    virtual bool rebind(Handle handle, std::uint32_t hotKeyId) = 0;
    // Whether grabbed chords fire whichever program has the keyboard. False on a Wayland
    // session, where a dock's hot key is a compositor binding that runs "moorline --toggle".
    virtual bool firesEverywhere() const { return true; }
};
