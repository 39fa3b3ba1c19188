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

TEST_F(AppMatchCacheTest, ReadsTheEntriesOnceWhileNothingNewAppears) {
    const std::vector queries{query("pid:1", "XTerm"), query("pid:2", "Unknown")};
    EXPECT_EQ(ids(cache.matchAll(queries)), (QStringList{"xterm", "-"}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ids(cache.matchAll(queries)), (QStringList{"xterm", "-"}));
    EXPECT_EQ(cache.readCount(), 1);
}

TEST_F(AppMatchCacheTest, ReadsAgainWhenAnUnknownApplicationAppears) {
    cache.matchAll({query("pid:1", "XTerm")});
    installed.push_back(entry("newapp", "NewApp"));
    EXPECT_EQ(ids(cache.matchAll({query("pid:1", "XTerm"), query("pid:3", "NewApp")})),
              (QStringList{"xterm", "newapp"}));
    EXPECT_EQ(cache.readCount(), 2);
}

TEST_F(AppMatchCacheTest, AnApplicationThatStaysUnknownIsLookedUpOnce) {
    cache.matchAll({query("pid:1", "XTerm")});
    cache.matchAll({query("pid:4", "Mystery")});
    cache.matchAll({query("pid:4", "Mystery")});
    cache.matchAll({query("pid:1", "XTerm"), query("pid:4", "Mystery")});
    EXPECT_EQ(cache.readCount(), 2);
    // Started again, it is a new process and so worth one more look.
    cache.matchAll({query("pid:5", "Mystery")});
    EXPECT_EQ(cache.readCount(), 3);
}

TEST_F(AppMatchCacheTest, IconsFromAMissingFileOrNoNameAreNull) {
    AppMatchEntry e = entry("x", "X");
    EXPECT_TRUE(cache.iconOf(e).isNull());
    e.icon = QStringLiteral("/nonexistent/icon.png");
    EXPECT_TRUE(cache.iconOf(e).isNull());
}
