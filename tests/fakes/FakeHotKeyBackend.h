// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/HotKeyBackend.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

// A hot-key service in memory, with the X11 backend's contract: a chord held under one handle
// is refused to a second grab, release() gives it up at once, rebind() moves a live grab to
// another id. Records every grab attempt, refuses the chords a test names, loses grabs, presses
// ids and answers grabs later on demand, as a shortcut service that asks the user does.
class FakeHotKeyBackend final : public HotKeyBackend {
public:
    struct Grab {
        std::uint32_t keyCode = 0;
        std::uint32_t modifiers = 0;
        std::uint32_t hotKeyId = 0;
        Handle handle = 0;
        Label label;
    };

    void setPressHandler(PressHandler handler) override { pressHandler_ = std::move(handler); }
    std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                               std::uint32_t hotKeyId, const Label& label) override {
        ++calls_;
        attempts_.push_back({keyCode, modifiers, hotKeyId, 0, label});
        if (liveGrabOf(keyCode, modifiers) != live_.end() || refused_.count({keyCode, modifiers}))
            return std::nullopt;
        attempts_.back().handle = nextHandle_++;
        live_.push_back(attempts_.back());
        return attempts_.back().handle;
    }
    void release(Handle handle) override {
        ++calls_;
        std::erase_if(live_, [&](const Grab& grab) { return grab.handle == handle; });
    }
    bool rebind(Handle handle, std::uint32_t hotKeyId, const Label& label) override {
        ++calls_;
        const auto found = std::ranges::find(live_, handle, &Grab::handle);
        if (found != live_.end()) {
            found->hotKeyId = hotKeyId;
            found->label = label;
        }
        return found != live_.end();
    }
    void setAnswerHandler(AnswerHandler handler) override { answerHandler_ = std::move(handler); }

    bool firesEverywhere() const override { return everywhere; }

    // False: a Wayland session, where a compositor binding runs the toggle command.
    bool everywhere = true;

    // Makes later grabs of this chord fail, as when another program holds it.
    void refuse(std::uint32_t keyCode, std::uint32_t modifiers) {
        refused_.insert({keyCode, modifiers});
    }
    // Drops the live grab of this chord without a release, as when another program takes the
    // chord while the keyboard map changes.
    void lose(std::uint32_t keyCode, std::uint32_t modifiers) {
        if (const auto found = liveGrabOf(keyCode, modifiers); found != live_.end())
            live_.erase(found);
    }
    // Delivers a press of `hotKeyId` the way the window system would, whether or not it is
    // grabbed. Answers false when no press handler is set.
    bool press(std::uint32_t hotKeyId, std::uint32_t userTime = 0) {
        if (!pressHandler_)
            return false;
        // A copy: the receiver may replace the handler while it runs.
        const auto handler = pressHandler_;
        handler(hotKeyId, userTime);
        return true;
    }
    // Answers the live grab of `hotKeyId` later, as a service that asks the user does.
    bool answer(std::uint32_t hotKeyId, const Answer& answer) {
        const auto found = std::ranges::find(live_, hotKeyId, &Grab::hotKeyId);
        if (found == live_.end() || !answerHandler_)
            return false;
        answerHandler_(found->handle, answer);
        return true;
    }
    // Presses whatever live grab holds the chord; answers false when none does.
    bool pressChord(std::uint32_t keyCode, std::uint32_t modifiers, std::uint32_t userTime = 0) {
        const auto found = liveGrabOf(keyCode, modifiers);
        return found != live_.end() && press(found->hotKeyId, userTime);
    }

    // Every grab attempt, refused ones included, in order.
    const std::vector<Grab>& attempts() const { return attempts_; }
    // The grabs alive now, in the order they were made.
    const std::vector<Grab>& live() const { return live_; }
    bool hasPressHandler() const { return static_cast<bool>(pressHandler_); }
    // Grabs, releases and rebinds so far: on X11 each is a request to the server or a change of
    // what the program holds there.
    std::size_t calls() const { return calls_; }

private:
    std::vector<Grab>::iterator liveGrabOf(std::uint32_t keyCode, std::uint32_t modifiers) {
        return std::ranges::find_if(live_, [&](const Grab& grab) {
            return grab.keyCode == keyCode && grab.modifiers == modifiers;
        });
    }

    PressHandler pressHandler_;
    AnswerHandler answerHandler_;
    std::set<std::pair<std::uint32_t, std::uint32_t>> refused_;
    std::vector<Grab> attempts_;
    std::vector<Grab> live_;
    Handle nextHandle_ = 100;
    std::size_t calls_ = 0;
};
