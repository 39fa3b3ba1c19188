// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/CoalescedTask.h"
#include "platform/HotKeyBackend.h"

#include <QAbstractNativeEventFilter>

#include <xcb/xcb.h>

#include <map>
#include <optional>
#include <vector>

// Global hot keys on X11: passive key grabs on the root window through Qt's own xcb connection,
// with presses picked out of Qt's native event stream.
class X11HotKeyBackend final : public HotKeyBackend, private QAbstractNativeEventFilter {
public:
    // Uses the xcb connection of the running QGuiApplication; without one (another platform
    // plugin) every grab is refused. Grabs again on a later pass after the keymap changed.
    explicit X11HotKeyBackend(Scheduler& scheduler);
    ~X11HotKeyBackend() override;
    X11HotKeyBackend(const X11HotKeyBackend&) = delete;
    X11HotKeyBackend& operator=(const X11HotKeyBackend&) = delete;

    void setPressHandler(PressHandler handler) override;
    std::optional<Handle> grab(std::uint32_t keyCode, std::uint32_t modifiers,
                               std::uint32_t hotKeyId, const Label& label) override;
    void release(Handle handle) override;
    bool rebind(Handle handle, std::uint32_t hotKeyId, const Label& label) override;

    // The X modifier mask for a Carbon mask: command = Super (Mod4), option = Alt (Mod1),
    // control = Control, shift = Shift. Nothing when the mask has any other bit.
    static std::optional<std::uint16_t> xModifiers(std::uint32_t carbonModifiers);

    // How many times this backend has waited for the server so far (grab checks, keymap
    // queries): what a store change costs in round trips, for the benchmark.
    std::uint64_t roundTrips() const { return roundTrips_; }

private:
    struct Registration {
        std::uint32_t hotKeyId = 0;
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool handleKeyPress(const xcb_key_press_event_t& event);
    void handleKeyRelease(const xcb_key_release_event_t& event);
    bool isMappingChange(const xcb_generic_event_t& event) const;
    void regrabAll();
    void learnKeymap();

    bool grabVariants(const Registration& registration);
    void ungrabVariants(const Registration& registration);
    std::vector<std::uint16_t> lockVariants() const;
    std::uint16_t findNumLockMask();
    std::uint16_t ignoredLockMask() const;

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::uint8_t xkbFirstEvent_ = 0;
    std::uint16_t numLockMask_ = XCB_MOD_MASK_2;
    bool keymapLearned_ = false;
    std::map<Handle, Registration> registrations_;
    Handle nextHandle_ = 1;
    PressHandler pressHandler_;
    // A keymap change arrives as a burst of notifications: regrab once, after the burst.
    CoalescedTask regrab_;
    std::uint64_t roundTrips_ = 0;

    // Holding a chord repeats its key press; only the first press of a hold counts. Kept per
    // key, not per grab: each press changes the store, which registers the chord again.
    xcb_keycode_t lastKeycode_ = 0;
    xcb_timestamp_t lastPressTime_ = 0;
    std::optional<xcb_timestamp_t> releasedAt_;
};
