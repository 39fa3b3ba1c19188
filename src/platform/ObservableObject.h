// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Signal.h"

// An object whose published fields tell observers before every assignment, also when the value
// does not change. Views subscribe to objectWillChange and re-render on a later pass of the loop.
class ObservableObject {
public:
    ObservableObject() = default;
    ObservableObject(const ObservableObject&) = delete;
    ObservableObject& operator=(const ObservableObject&) = delete;
    virtual ~ObservableObject() = default;

    Subscription onObjectWillChange(std::function<void()> action) {
        return objectWillChange_.connect([action = std::move(action)] { action(); });
    }
    void sendObjectWillChange() const { objectWillChange_.emit(); }

private:
    Signal<> objectWillChange_;
};
