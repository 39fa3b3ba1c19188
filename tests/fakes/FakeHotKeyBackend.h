#pragma once

#include "platform/HotKeyBackend.h"

#include <set>
#include <utility>
#include <vector>

// A hot-key service in memory, with the X11 backend's contract: a chord held under one handle
// is refused to a second grab, release() gives it up at once, rebind() moves a live grab to
// another id. Records what was grabbed and released, refuses the chords a test names, loses
// grabs on demand, and presses ids on demand.
class FakeHotKeyBackend final : public HotKeyBackend {
public:
    struct Grab {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t hotKeyID = 0;
        Handle handle = 0;
        bool operator==(const Grab&) const = default;
    };

    void setPressHandler(PressHandler handler) override;
    std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                               std::uint32_t hotKeyID) override;
    void release(Handle handle) override;
    bool rebind(Handle handle, std::uint32_t hotKeyID) override;

    // Makes later grabs of this chord fail, as when another program holds it.
    void refuse(std::uint32_t keyCode, std::uint32_t modifiers);
    // Drops the live grab of this chord without a release, as when another program takes the
    // chord while the keyboard map changes.
    void lose(std::uint32_t keyCode, std::uint32_t modifiers);
    // Delivers a press of `hotKeyID` the way the window system would, whether or not it is
    // grabbed. Answers false when no press handler is set.
    bool press(std::uint32_t hotKeyID);
    // Presses whatever live grab holds the chord; answers false when none does.
    bool pressChord(std::uint32_t keyCode, std::uint32_t modifiers);

    // Every grab attempt, refused ones included, in order.
    const std::vector<Grab>& attempts() const { return attempts_; }
    // The grabs alive now, in the order they were made.
    const std::vector<Grab>& live() const { return live_; }
    // Every handle released, in order, unknown ones included.
    const std::vector<Handle>& released() const { return released_; }
    // How many times a non-empty press handler was set.
    int handlerInstalls() const { return handlerInstalls_; }
    bool hasPressHandler() const { return static_cast<bool>(pressHandler_); }

private:
    PressHandler pressHandler_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused_;
    std::vector<Grab> attempts_;
    std::vector<Grab> live_;
    std::vector<Handle> released_;
    Handle nextHandle_ = 100;
    int handlerInstalls_ = 0;
};
