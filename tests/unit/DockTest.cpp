// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/Dock.h"
#include "fakes/FakeFileSystem.h"
#include "support/DockLookup.h"

#include <gtest/gtest.h>

TEST(Dock, CurrentTabFallsBackToTheFirstThenToAFreshMainTab) {
    Dock dock = Dock::makeDefault(DockKind::items, QStringLiteral("D"));
    dock.tabs.push_back(DockTab::make(QStringLiteral("Second")));
    dock.selectedTabIndex = 1;
    EXPECT_EQ(dock.currentTab().name, QStringLiteral("Second"));
    for (std::int64_t index : {std::int64_t(-1), std::int64_t(2), INT64_MAX}) {
        dock.selectedTabIndex = index;
        EXPECT_EQ(dock.currentTab().id, dock.tabs[0].id) << index;
    }
    dock.tabs.clear();
    const DockTab a = dock.currentTab();
    EXPECT_EQ(a.name, QStringLiteral("Main"));
    EXPECT_TRUE(a.items.empty());
    EXPECT_NE(a.id, dock.currentTab().id);
    EXPECT_TRUE(dock.tabs.empty());
}

struct ClippingCase {
    QString text;
    QString name;
};

TEST(DockItemTest, ClippingNameIsATrimmedOneLineSummaryOfFortyGraphemes) {
    const QString forty(40, QChar(u'x'));
    const QString family =
        QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"); // one cluster
    const std::vector<ClippingCase> cases = {
        {QStringLiteral("  hello\nworld  "), QStringLiteral("hello world")},
        {forty, forty},
        {forty + QStringLiteral("y"), forty + QChar(u'\u2026')},
        {QStringLiteral(" \n\t \n"), QStringLiteral("Clipping")},
        {QString(), QStringLiteral("Clipping")},
        {QStringLiteral("\u00A0\u3000word\u2028"), QStringLiteral("word")},
        {family.repeated(40), family.repeated(40)},
        {family.repeated(41), family.repeated(40) + QChar(u'\u2026')},
        {QStringLiteral("e\u0301").repeated(41),
         QStringLiteral("e\u0301").repeated(40) + QChar(u'\u2026')},
        {QStringLiteral("a\nb\nc"), QStringLiteral("a b c")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DockItem::clippingName(c.text), c.name) << c.text.toStdString();

    const DockItem item = DockItem::makeClipping(QStringLiteral("  two words  "));
    EXPECT_EQ(item.kind, DockItemKind::clippingText);
    EXPECT_EQ(item.textContent, QStringLiteral("  two words  "));
    EXPECT_FALSE(item.path || item.urlString || item.docklet || item.customIconData);
    EXPECT_GT(item.createdAt, 7e8); // after 2023
}

TEST(DockItemTest, FileOrFolderAndApplicationTakeTheirNamesFromTheFileSystem) {
    FakeFileSystem fs;
    fs.addDirectory(QStringLiteral("/home/u/Projects"));
    fs.addFile(QStringLiteral("/usr/share/applications/org.gnome.Terminal.desktop"), "",
               QStringLiteral("Terminal.app"));
    EXPECT_EQ(DockItem::makeFileOrFolder(QStringLiteral("/home/u/Projects"), fs).kind,
              DockItemKind::folder);
    const DockItem missing = DockItem::makeFileOrFolder(QStringLiteral("/nowhere/a b.txt"), fs);
    EXPECT_EQ(missing.kind, DockItemKind::file);
    EXPECT_EQ(missing.name, QStringLiteral("a b.txt"));
    EXPECT_EQ(missing.path, QStringLiteral("/nowhere/a b.txt"));
    const DockItem app = DockItem::makeApplication(
        QStringLiteral("/usr/share/applications/org.gnome.Terminal.desktop"), fs);
    EXPECT_EQ(app.kind, DockItemKind::application);
    EXPECT_EQ(app.name, QStringLiteral("Terminal"));
    EXPECT_FALSE(app.docklet || app.textContent);
    // Only a trailing extension is one: a name with ".app" or ".desktop" inside keeps it.
    const std::pair<const char*, const char*> names[] = {
        {"Snap.app Reader", "Snap.app Reader"},
        {"Snapp Reader.app", "Snapp Reader"},
        {"my.desktop.tool.desktop", "my.desktop.tool"},
        {".app", ".app"}};
    for (const auto& [shown, kept] : names) {
        fs.addFile(QStringLiteral("/a/x.desktop"), "", QString::fromUtf8(shown));
        EXPECT_EQ(DockItem::makeApplication(QStringLiteral("/a/x.desktop"), fs).name,
                  QString::fromUtf8(kept));
    }
}

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
