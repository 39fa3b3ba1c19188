#include "fakes/FakeHotKeyBackend.h"

#include <algorithm>

void FakeHotKeyBackend::setPressHandler(PressHandler handler) {
    if (handler)
        ++handlerInstalls_;
    pressHandler_ = std::move(handler);
}

std::optional<HotKeyBackend::Handle>
FakeHotKeyBackend::grab(std::uint32_t keyCode, std::uint32_t modifiers, std::uint32_t hotKeyID) {
    Grab attempt{keyCode, modifiers, hotKeyID, 0};
    const bool held = std::any_of(live_.begin(), live_.end(), [&](const Grab& grab) {
        return grab.keyCode == keyCode && grab.modifiers == modifiers;
    });
    if (held || refused_.count({keyCode, modifiers})) {
        attempts_.push_back(attempt);
        return std::nullopt;
    }
    attempt.handle = nextHandle_++;
    attempts_.push_back(attempt);
    live_.push_back(attempt);
    return attempt.handle;
}

void FakeHotKeyBackend::release(Handle handle) {
    released_.push_back(handle);
    std::erase_if(live_, [&](const Grab& grab) { return grab.handle == handle; });
}

bool FakeHotKeyBackend::rebind(Handle handle, std::uint32_t hotKeyID) {
    const auto found = std::find_if(live_.begin(), live_.end(),
                                    [&](const Grab& grab) { return grab.handle == handle; });
    if (found == live_.end())
        return false;
    found->hotKeyID = hotKeyID;
    return true;
}

void FakeHotKeyBackend::lose(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::erase_if(live_, [&](const Grab& grab) {
        return grab.keyCode == keyCode && grab.modifiers == modifiers;
    });
}

void FakeHotKeyBackend::refuse(std::uint32_t keyCode, std::uint32_t modifiers) {
    refused_.insert({keyCode, modifiers});
}

bool FakeHotKeyBackend::press(std::uint32_t hotKeyID) {
    if (!pressHandler_)
        return false;
    // A copy: the receiver may replace the handler while it runs.
    const auto handler = pressHandler_;
    handler(hotKeyID);
    return true;
}

bool FakeHotKeyBackend::pressChord(std::uint32_t keyCode, std::uint32_t modifiers) {
    const auto found = std::find_if(live_.begin(), live_.end(), [&](const Grab& grab) {
        return grab.keyCode == keyCode && grab.modifiers == modifiers;
    });
    if (found == live_.end())
        return false;
    return press(found->hotKeyID);
}
