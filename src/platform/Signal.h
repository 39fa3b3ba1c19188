// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Subscription.h"

#include <cstdint>
#include <memory>
#include <vector>

// A synchronous list of callbacks. Connecting returns a Subscription; the callbacks may connect
// or disconnect (themselves included) while they are being called, and the Signal may be
// destroyed before its subscriptions without harm.
template <typename... Args> class Signal {
public:
    using Slot = std::function<void(const Args&...)>;

    Subscription connect(Slot slot) {
        const std::uint64_t id = slots_->nextId++;
        slots_->entries.push_back({id, std::make_shared<Slot>(std::move(slot))});
        std::weak_ptr<Slots> weak = slots_;
        return Subscription([weak, id] {
            if (auto slots = weak.lock())
                std::erase_if(slots->entries, [id](const Entry& e) { return e.id == id; });
        });
    }

    void emit(const Args&... args) const {
        // Keep both the list and each callback alive across calls that may unsubscribe.
        const auto slots = slots_;
        if (slots->entries.empty())
            return;
        if (slots->entries.size() == 1) {
            const auto slot = slots->entries.front().slot;
            (*slot)(args...);
            return;
        }
        std::vector<std::weak_ptr<Slot>> pending;
        pending.reserve(slots->entries.size());
        for (const Entry& e : slots->entries)
            pending.push_back(e.slot);
        for (const auto& weak : pending)
            if (const auto slot = weak.lock())
                (*slot)(args...);
    }

    std::size_t size() const { return slots_->entries.size(); }

private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<Slot> slot;
    };
    struct Slots {
        std::uint64_t nextId = 1;
        std::vector<Entry> entries;
    };
    std::shared_ptr<Slots> slots_ = std::make_shared<Slots>();
};
