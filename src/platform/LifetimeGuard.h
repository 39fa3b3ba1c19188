// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

// Lets an owner hand out actions that hold it weakly: a guarded action does nothing once the
// guard (a member of the owner) has been destroyed.
class LifetimeGuard {
public:
    LifetimeGuard() = default;
    LifetimeGuard(const LifetimeGuard&) = delete;
    LifetimeGuard& operator=(const LifetimeGuard&) = delete;

    template <typename F> auto guard(F&& action) const {
        return [alive = std::weak_ptr<const bool>(alive_),
                action = std::forward<F>(action)](auto&&... args) mutable {
            if (alive.lock())
                action(std::forward<decltype(args)>(args)...);
        };
    }

private:
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};
