// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ObservableObject.h"

// A published field of an ObservableObject. Every change, whole or in place, first sends the
// owner's will-change notification, then, with the new value in place, calls the stream's
// subscribers synchronously. A new subscriber is called at once with the current value.
// Everyone may read and subscribe; only `Owner` may change the value, so that an object's
// published state moves only through its own operations.
template <typename T, typename Owner> class Published {
public:
    explicit Published(ObservableObject& owner, T initial = T{})
        : owner_(owner), value_(std::move(initial)) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return value_; }
    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }

    Subscription sink(std::function<void(const T&)> action) {
        action(value_);
        return stream_.connect(std::move(action));
    }

private:
    friend Owner;

    void set(T value) {
        owner_.sendObjectWillChange();
        value_ = std::move(value);
        stream_.emit(value_);
    }

    // Changes the value in place (no copy of a large list); `change` gets a mutable reference.
    template <typename Change> void mutate(Change&& change) {
        owner_.sendObjectWillChange();
        std::forward<Change>(change)(value_);
        stream_.emit(value_);
    }

    ObservableObject& owner_;
    T value_;
    Signal<T> stream_;
};
