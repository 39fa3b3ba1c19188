// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Published.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Counter : ObservableObject {
    Published<std::vector<int>, Counter> values{*this};
    void set(std::vector<int> v) { values.set(std::move(v)); }
    template <typename F> void mutate(F&& f) { values.mutate(std::forward<F>(f)); }
};
} // namespace

TEST(Observation, WillChangeComesBeforeEveryNewValueAndSubscribersSeeIt) {
    Counter counter;
    std::vector<std::string> events;
    auto willChange = counter.onObjectWillChange(
        [&] { events.push_back("will:" + std::to_string(counter.values->size())); });
    auto stream = counter.values.sink([&](const std::vector<int>& v) {
        // Reading the field back inside the action sees the new value.
        events.push_back("sink:" + std::to_string(v.size()) + "/" +
                         std::to_string(counter.values->size()));
    });
    counter.set({1, 2});
    counter.set({1, 2}); // an equal value is announced all the same
    counter.mutate([](std::vector<int>& v) { v.push_back(3); });
    EXPECT_EQ(events, (std::vector<std::string>{"sink:0/0", "will:0", "sink:2/2", "will:2",
                                                "sink:2/2", "will:2", "sink:3/3"}));
}

TEST(Observation, DroppingTheHandleEndsTheSubscriptionEvenFromInsideTheCall) {
    Counter counter;
    int calls = 0;
    Subscription self;
    int otherCalls = 0;
    self = counter.values.sink([&](const std::vector<int>&) {
        ++calls;
        if (calls == 2)
            self.cancel();
    });
    auto other = counter.values.sink([&](const std::vector<int>&) { ++otherCalls; });
    counter.set({1});
    counter.set({2});
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(otherCalls, 3);
    other = Subscription();
    counter.set({3});
    EXPECT_EQ(otherCalls, 3);

    // A handle may outlive its publisher: dropping it then touches nothing that is gone (the
    // address sanitizer would tell).
    Subscription late;
    {
        Counter gone;
        late = gone.values.sink([](const std::vector<int>&) {});
    }
    late.cancel();
    EXPECT_FALSE(late.isActive());
}
