// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/AppMatchCache.h"

#include <gtest/gtest.h>

namespace {

class AppMatchCacheTest : public ::testing::Test {
protected:
    static AppMatchEntry entry(const QString& id, const QString& startupClass) {
        AppMatchEntry e;
        e.id = id;
        e.localizedName = id;
        e.startupWMClass = startupClass;
        return e;
    }

    static AppMatchCache::Query query(const QString& key, const QString& wmClass) {
        return {key, wmClass.toLower(), wmClass, std::nullopt};
    }

    std::vector<AppMatchEntry> installed{entry("xterm", "XTerm")};
    AppMatchCache cache{[this] { return installed; }};
};

QStringList ids(const std::vector<const AppMatchEntry*>& answers) {
    QStringList out;
    for (const auto* answer : answers)
        out << (answer ? answer->id : QStringLiteral("-"));
    return out;
}

} // namespace

TEST_F(AppMatchCacheTest, ReadsTheEntriesAgainOnlyForAnApplicationNotSeenBefore) {
    const std::vector queries{query("pid:1", "XTerm"), query("pid:2", "Unknown")};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ids(cache.matchAll(queries)), (QStringList{"xterm", "-"}));
    EXPECT_EQ(cache.readCount(), 1);
    installed.push_back(entry("newapp", "NewApp"));
    EXPECT_EQ(ids(cache.matchAll({query("pid:1", "XTerm"), query("pid:3", "NewApp")})),
              (QStringList{"xterm", "newapp"}));
    EXPECT_EQ(cache.readCount(), 2);
    // One that stays unknown is looked up once; started again, it is a new process.
    cache.matchAll({query("pid:4", "Mystery")});
    cache.matchAll({query("pid:1", "XTerm"), query("pid:4", "Mystery")});
    EXPECT_EQ(cache.readCount(), 3);
    cache.matchAll({query("pid:5", "Mystery")});
    EXPECT_EQ(cache.readCount(), 4);
    // Icons from no name or a missing file are null.
    AppMatchEntry e = entry("x", "X");
    EXPECT_TRUE(cache.iconOf(e).isNull());
    e.icon = QStringLiteral("/nonexistent/icon.png");
    EXPECT_TRUE(cache.iconOf(e).isNull());
}
