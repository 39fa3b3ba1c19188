// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The window system's global-shortcut service as the hot key manager needs it: grab a chord
// under a caller-chosen id, move it to another id, release it, and hear which id was pressed.
class HotKeyBackend {
public:
    // Opaque token for one live grab, handed back to release() and rebind().
    using Handle = std::uint64_t;
    // `userTime`: the window system's time of the key event (0 where it has none), which lets a
    // window the press calls up take the keyboard.
    using PressHandler = std::function<void(std::uint32_t hotKeyId, std::uint32_t userTime)>;

    // How a shortcut service that lists our shortcuts to the user names one: an id that stays
    // the same across starts, and what it does, in the user's words.
    struct Label {
        QString id;
        QString description;
        bool operator==(const Label&) const = default;
    };

    // What a shortcut service that answers later made of a grab.
    struct Answer {
        enum class Status {
            // Bound, to the keys `trigger` names in the service's words; to none yet where it is
            // empty (the user picks them in the desktop's settings).
            bound,
            // The service would not take it.
            refused,
            // There turned out to be no service to ask.
            unavailable,
        };
        Status status = Status::refused;
        QString trigger;
        bool operator==(const Answer&) const = default;
    };
    using AnswerHandler = std::function<void(Handle handle, const Answer& answer)>;

    virtual ~HotKeyBackend() = default;

    // Sets the one receiver of presses; an empty handler stops delivery. Presses arrive on the
    // main thread, from the event loop; a chord held down is one press, however long it is held
    // and however often its grab is rebound meanwhile.
    virtual void setPressHandler(PressHandler handler) = 0;
    // Grabs the chord (macOS virtual key code, Carbon modifier mask) system-wide, reporting its
    // presses under `hotKeyId`. Answers nothing when the chord cannot be had: another client
    // holds it, it is already held under another id, or it has no equivalent here. A service
    // that asks someone else answers a handle at once and tells the answer handler later.
    virtual std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                                       std::uint32_t hotKeyId, const Label& label) = 0;
    // Gives the grab up at once; the chord no longer fires. Unknown handles are ignored.
    virtual void release(Handle handle) = 0;
    // Keeps the grab but reports its presses under `hotKeyId`, and lists it under `label`, from
    // now on. Answers false, changing nothing, when the handle holds no grab (released,
    // unknown, or lost when the keyboard map changed).
    virtual bool rebind(Handle handle, std::uint32_t hotKeyId, const Label& label) = 0;
    // Sets the one receiver of later answers, on the main thread. Backends whose grab answers
    // at once never call it.
    virtual void setAnswerHandler(AnswerHandler) {}
    // Whether grabbed chords fire whichever program has the keyboard. False on a Wayland
    // session, where a compositor binding that runs "moorline --toggle" always works and is
    // offered beside whatever a shortcut service makes of the chord.
    virtual bool firesEverywhere() const { return true; }
};
