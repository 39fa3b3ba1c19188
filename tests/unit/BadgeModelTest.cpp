// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/BadgeModel.h"
#include "fakes/FakeBadgeUpdates.h"
#include "fakes/VirtualScheduler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

AppBadge badge(std::optional<std::int64_t> count, std::optional<double> progress,
               bool urgent = false) {
    return {count, progress, urgent};
}

} // namespace

TEST(BadgeModelTest, TakesWhatSendersSendLeniently) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* what;
        QVariantMap update; // applied after the one before
        AppBadge shown;
    };
    const Case cases[] = {
        {"int64 count, hidden", {{"count", qlonglong(7)}}, {}},
        {"shown", {{"count-visible", true}}, badge(7, {})},
        {"int32", {{"count", 3}}, badge(3, {})},
        {"double, cut", {{"count", 12.9}}, badge(12, {})},
        {"unsigned", {{"count", 5u}}, badge(5, {})},
        {"a string is no count", {{"count", u"9"_qs}}, badge(5, {})},
        {"NaN is no count", {{"count", nan}}, badge(5, {})},
        {"zero shows nothing", {{"count", 0}}, {}},
        {"huge", {{"count", 1e300}}, badge(std::int64_t(1e15), {})},
        {"progress hidden", {{"count", 2}, {"progress", 0.5}}, badge(2, {})},
        {"progress shown (as a number)", {{"progress-visible", 1}}, badge(2, 0.5)},
        {"above one", {{"progress", 1.7}}, badge(2, 1.0)},
        {"below zero, as int", {{"progress", -3}}, badge(2, 0.0)},
        {"NaN progress", {{"progress", nan}}, badge(2, 0.0)},
        {"urgent", {{"urgent", true}, {"count-visible", false}}, badge({}, 0.0, true)},
        {"wrong types change nothing",
         {{"urgent", u"no"_qs}, {"progress-visible", QVariant()}},
         badge({}, 0.0, true)},
    };
    BadgeModel::State state;
    for (const Case& c : cases) {
        BadgeModel::apply(state, c.update);
        EXPECT_EQ(state.visible(), c.shown) << c.what;
    }
}

TEST(BadgeModelTest, FollowsSendersByDesktopIdAndLimitsHowOftenOneIsHeard) {
    FakeBadgeUpdates bus;
    VirtualScheduler scheduler;
    BadgeModel model(bus, scheduler);
    QStringList changes;
    const Subscription heard = model.onChange([&](const QString& id) { changes << id; });
    const QVariantMap shown{{"count", 4}, {"count-visible", true}};

    bus.send(u":1.5"_qs, u"application://mail.desktop"_qs, shown);
    bus.send(u":1.6"_qs, u"chat.desktop"_qs, {{"urgent", true}});
    bus.send(u":1.6"_qs, u"application://no-id"_qs, {{"urgent", true}});
    EXPECT_EQ(changes, (QStringList{u"mail"_qs, u"chat"_qs}));
    EXPECT_EQ(model.badge(u"mail"_qs), badge(4, {}));

    // A hundred updates in a second: heard ten times, the last value shown.
    changes.clear();
    for (int i = 1; i <= 100; ++i) {
        bus.send(u":1.5"_qs, u"mail.desktop"_qs, {{"count", 4 + i}});
        scheduler.advance(std::chrono::milliseconds(10));
    }
    scheduler.advance(BadgeModel::minimumInterval);
    EXPECT_LE(changes.size(), 11);
    EXPECT_GE(changes.size(), 9);
    EXPECT_EQ(model.badge(u"mail"_qs), badge(104, {}));
    changes.clear();
    bus.send(u":1.5"_qs, u"mail.desktop"_qs, {{"count", 104}});
    scheduler.advance(BadgeModel::minimumInterval);
    EXPECT_TRUE(changes.isEmpty()) << "nothing changed, nothing to repaint";

    bus.leave(u":1.5"_qs);
    EXPECT_EQ(changes, QStringList{u"mail"_qs});
    EXPECT_TRUE(model.badge(u"mail"_qs).isEmpty());
    EXPECT_TRUE(model.badge(u"chat"_qs).urgent) << "another sender's entry stays";

    for (int i = 0; i < 2 * BadgeModel::maximumIdsPerSender; ++i)
        bus.send(u":1.7"_qs, QString::number(i) + u".desktop"_qs, {{"urgent", true}});
    EXPECT_FALSE(model.badge(QString::number(BadgeModel::maximumIdsPerSender)).urgent);
}
