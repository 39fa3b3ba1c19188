// SPDX-License-Identifier: GPL-3.0-or-later
#include "backends/x11/X11HotKeyBackend.h"

#include "backends/x11/MacKeyCodeMap.h"
#include "backends/x11/XcbConnection.h"
#include "models/HotKeyBinding.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QtGui/qguiapplication_platform.h>

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
Q_LOGGING_CATEGORY(lcHotKeys, "moorline.x11", QtWarningMsg)

constexpr std::uint32_t carbonCommand = HotKeyBinding::cmdKey;
constexpr std::uint32_t carbonShift = HotKeyBinding::shiftKey;
constexpr std::uint32_t carbonOption = HotKeyBinding::optionKey;
constexpr std::uint32_t carbonControl = HotKeyBinding::controlKey;

constexpr xcb_keysym_t numLockKeysym = 0xff7f;
constexpr std::uint8_t xkbMapNotify = 1;
constexpr std::uint8_t xkbNewKeyboardNotify = 0;
constexpr std::uint16_t allModifierBits = 0xff;
// Repeats of a held key come every few tens of milliseconds; a press later than this after the
// last one is a new press even if its release went missing.
constexpr xcb_timestamp_t repeatWindowMs = 1000;

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using XcbReply = std::unique_ptr<T, FreeDeleter>;
} // namespace

X11HotKeyBackend::X11HotKeyBackend(Scheduler& scheduler)
    : regrab_(scheduler, [this] { regrabAll(); }) {
    connection_ = XcbConnection::qt();
    if (!connection_) {
        qCDebug(lcHotKeys) << "no X11 connection: global hot keys are unavailable";
        return;
    }
    root_ = XcbConnection::rootWindow(connection_);
    qGuiApp->installNativeEventFilter(this);
}

void X11HotKeyBackend::learnKeymap() {
    // At the first grab, not at start: most docks have no hot key, and every question to the
    // server before the first frame is a wait.
    if (keymapLearned_)
        return;
    keymapLearned_ = true;
    // Qt asks for XKB's own keymap notifications, and the server then spares it the core
    // MappingNotify, so both are watched. Its answer comes with the keymap's, in one round trip.
    const char xkbName[] = "XKEYBOARD";
    const auto xkbCookie = xcb_query_extension(connection_, std::strlen(xkbName), xkbName);
    numLockMask_ = findNumLockMask();
    XcbReply<xcb_query_extension_reply_t> xkb(
        xcb_query_extension_reply(connection_, xkbCookie, nullptr));
    if (xkb && xkb->present)
        xkbFirstEvent_ = xkb->first_event;
}

X11HotKeyBackend::~X11HotKeyBackend() {
    if (!connection_)
        return;
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
    for (const auto& [handle, registration] : registrations_)
        ungrabVariants(registration);
    xcb_flush(connection_);
}

void X11HotKeyBackend::setPressHandler(PressHandler handler) {
    pressHandler_ = std::move(handler);
}

std::optional<std::uint16_t> X11HotKeyBackend::xModifiers(std::uint32_t carbonModifiers) {
    constexpr std::uint32_t known = carbonCommand | carbonShift | carbonOption | carbonControl;
    if (carbonModifiers & ~known)
        return std::nullopt;
    std::uint16_t mask = 0;
    if (carbonModifiers & carbonCommand)
        mask |= XCB_MOD_MASK_4;
    if (carbonModifiers & carbonOption)
        mask |= XCB_MOD_MASK_1;
    if (carbonModifiers & carbonControl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & carbonShift)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

std::optional<HotKeyBackend::Handle> X11HotKeyBackend::grab(std::uint32_t keyCode,
                                                            std::uint32_t modifiers,
                                                            std::uint32_t hotKeyId, const Label&) {
    const auto keycode = MacKeyCodeMap::xKeycode(keyCode);
    const auto mask = xModifiers(modifiers);
    if (!connection_ || !keycode || !mask) {
        qCDebug(lcHotKeys) << "no X equivalent for key" << keyCode << "modifiers" << modifiers;
        return std::nullopt;
    }
    const Registration registration{hotKeyId, *keycode, *mask};
    // X lets a client grab its own chord twice, the second grab silently taking over the first;
    // two registrations of one chord would then share a single grab.
    for (const auto& [handle, other] : registrations_) {
        if (other.keycode == registration.keycode && other.modifiers == registration.modifiers)
            return std::nullopt;
    }
    learnKeymap();
    if (!grabVariants(registration))
        return std::nullopt;
    const Handle handle = nextHandle_++;
    registrations_.emplace(handle, registration);
    return handle;
}

void X11HotKeyBackend::release(Handle handle) {
    const auto found = registrations_.find(handle);
    if (found == registrations_.end())
        return;
    ungrabVariants(found->second);
    xcb_flush(connection_);
    registrations_.erase(found);
}

bool X11HotKeyBackend::rebind(Handle handle, std::uint32_t hotKeyId, const Label&) {
    const auto found = registrations_.find(handle);
    if (found == registrations_.end())
        return false;
    found->second.hotKeyId = hotKeyId;
    return true;
}

bool X11HotKeyBackend::grabVariants(const Registration& registration) {
    // The server matches modifier state exactly, so Caps Lock and Num Lock each need a grab of
    // their own or the chord dies whenever one of them is on.
    std::vector<xcb_void_cookie_t> cookies;
    for (const auto variant : lockVariants()) {
        cookies.push_back(
            xcb_grab_key_checked(connection_, 0, root_, registration.modifiers | variant,
                                 registration.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // The first check waits for the server; by then it has answered all of them.
    ++roundTrips_;
    bool refused = false;
    for (const auto cookie : cookies) {
        if (XcbReply<xcb_generic_error_t> error{xcb_request_check(connection_, cookie)}) {
            // BadAccess: another client holds the chord.
            qCDebug(lcHotKeys) << "grab of keycode" << registration.keycode << "modifiers"
                               << registration.modifiers << "refused, error" << error->error_code;
            refused = true;
        }
    }
    if (refused) {
        // Ungrabbing touches only this client's grabs, so releasing every variant is safe.
        ungrabVariants(registration);
        xcb_flush(connection_);
    }
    return !refused;
}

void X11HotKeyBackend::ungrabVariants(const Registration& registration) {
    for (const auto variant : lockVariants())
        xcb_ungrab_key(connection_, registration.keycode, root_, registration.modifiers | variant);
}

std::vector<std::uint16_t> X11HotKeyBackend::lockVariants() const {
    std::vector<std::uint16_t> variants{0, XCB_MOD_MASK_LOCK};
    if (numLockMask_ && numLockMask_ != XCB_MOD_MASK_LOCK) {
        variants.push_back(numLockMask_);
        variants.push_back(numLockMask_ | XCB_MOD_MASK_LOCK);
    }
    return variants;
}

std::uint16_t X11HotKeyBackend::ignoredLockMask() const {
    return XCB_MOD_MASK_LOCK | numLockMask_;
}

std::uint16_t X11HotKeyBackend::findNumLockMask() {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    ++roundTrips_;
    XcbReply<xcb_get_keyboard_mapping_reply_t> keyboard(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
    XcbReply<xcb_get_modifier_mapping_reply_t> modifiers(xcb_get_modifier_mapping_reply(
        connection_, xcb_get_modifier_mapping(connection_), nullptr));
    if (!keyboard || !modifiers || keyboard->keysyms_per_keycode == 0)
        return XCB_MOD_MASK_2;

    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
    const int keysymCount = xcb_get_keyboard_mapping_keysyms_length(keyboard.get());
    const auto isNumLock = [&](xcb_keycode_t keycode) {
        if (keycode < setup->min_keycode)
            return false;
        const int first = (keycode - setup->min_keycode) * keyboard->keysyms_per_keycode;
        for (int i = first; i < first + keyboard->keysyms_per_keycode && i < keysymCount; ++i) {
            if (keysyms[i] == numLockKeysym)
                return true;
        }
        return false;
    };

    // Eight modifiers, each with the same number of keycode slots.
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(modifiers.get());
    const int perModifier = modifiers->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int slot = 0; slot < perModifier; ++slot) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + slot];
            if (keycode != 0 && isNumLock(keycode))
                return static_cast<std::uint16_t>(1u << modifier);
        }
    }
    return 0;
}

bool X11HotKeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_KEY_PRESS:
        return handleKeyPress(*reinterpret_cast<const xcb_key_press_event_t*>(event));
    case XCB_KEY_RELEASE:
        handleKeyRelease(*reinterpret_cast<const xcb_key_release_event_t*>(event));
        return false;
    default:
        if (isMappingChange(*event))
            regrab_.request();
        return false;
    }
}

bool X11HotKeyBackend::handleKeyPress(const xcb_key_press_event_t& event) {
    if (event.event != root_)
        return false;
    const std::uint16_t state = event.state & allModifierBits & ~ignoredLockMask();
    const auto found = std::find_if(registrations_.begin(), registrations_.end(), [&](auto& entry) {
        return entry.second.keycode == event.detail && entry.second.modifiers == state;
    });
    if (found == registrations_.end())
        return false;
    // The server repeats a held key either as further presses or, for clients without
    // detectable auto-repeat, as release-press pairs sharing one timestamp.
    const bool repeat = lastKeycode_ == event.detail &&
                        event.time - lastPressTime_ < repeatWindowMs &&
                        (!releasedAt_ || *releasedAt_ == event.time);
    lastKeycode_ = event.detail;
    lastPressTime_ = event.time;
    releasedAt_.reset();
    if (!repeat && pressHandler_) {
        const auto handler = pressHandler_;
        handler(found->second.hotKeyId, event.time);
    }
    return true;
}

void X11HotKeyBackend::handleKeyRelease(const xcb_key_release_event_t& event) {
    if (event.detail == lastKeycode_)
        releasedAt_ = event.time;
}

bool X11HotKeyBackend::isMappingChange(const xcb_generic_event_t& event) const {
    const std::uint8_t type = event.response_type & ~0x80;
    if (type == XCB_MAPPING_NOTIFY)
        return true;
    // XKB packs all its events under one type and tells them apart by the second byte.
    if (xkbFirstEvent_ && type == xkbFirstEvent_) {
        const std::uint8_t xkbType = event.pad0;
        return xkbType == xkbMapNotify || xkbType == xkbNewKeyboardNotify;
    }
    return false;
}

void X11HotKeyBackend::regrabAll() {
    // Nothing grabbed yet: the first grab reads the keymap as it is then.
    if (!keymapLearned_)
        return;
    // Num Lock may have moved to another modifier, which changes the variants to hold.
    for (const auto& [handle, registration] : registrations_)
        ungrabVariants(registration);
    numLockMask_ = findNumLockMask();
    // A chord another client took meanwhile is forgotten, so that the next registration of it
    // asks the server again instead of keeping a grab that is not there.
    std::erase_if(registrations_, [this](const auto& entry) {
        if (grabVariants(entry.second))
            return false;
        qCDebug(lcHotKeys) << "lost hot key" << entry.second.hotKeyId << "on keymap change";
        return true;
    });
    xcb_flush(connection_);
}
