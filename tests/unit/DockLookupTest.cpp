// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/DockLookup.h"

#include <gtest/gtest.h>

namespace {

TEST(DockLookup, FindsByIdThenExactNameThenNameIgnoringCase) {
    std::vector<Dock> docks{Dock::makeDefault(DockKind::items, u"Work"_qs),
                            Dock::makeDefault(DockKind::items, u"work"_qs),
                            Dock::makeDefault(DockKind::items, u"Tools"_qs)};
    const struct {
        QString text;
        std::optional<QUuid> expected;
    } cases[] = {
        {docks[2].id.toString(), docks[2].id},
        {docks[2].id.toString(QUuid::WithoutBraces), docks[2].id},
        {u"work"_qs, docks[1].id},
        {u"WORK"_qs, docks[0].id},
        {u" tools "_qs, docks[2].id},
        {u"Nothing"_qs, std::nullopt},
        {QString(), std::nullopt},
        {QUuid::createUuid().toString(), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DockLookup::find(docks, c.text), c.expected) << c.text.toStdString();
}

} // namespace
