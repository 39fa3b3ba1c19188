// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockStore.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/VirtualScheduler.h"
#include "models/DockCodec.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString dataDir = u"/home/u/.local/share/Moorline"_qs;
const QString file = dataDir + u"/docks.json"_qs;

class DockStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<DockStore> makeStore() {
        return std::make_unique<DockStore>(DockStore::Dependencies{fs, clock, apps, dataDir});
    }
    // A store that reads these docks from its file.
    std::unique_ptr<DockStore> storeWith(const std::vector<Dock>& docks) {
        fs.addFile(file, *DockCodec::encode(docks));
        return makeStore();
    }
    std::vector<Dock> savedDocks() const {
        auto decoded = DockCodec::decode(fs.files.value(file));
        EXPECT_TRUE(decoded.ok()) << decoded.error.toStdString();
        return decoded.docks;
    }

    FakeFileSystem fs;
    VirtualScheduler clock;
    FakeDefaultApplications apps;
};

Dock dockWithTabs(int count, std::int64_t selected) {
    Dock dock = Dock::makeDefault(DockKind::items, u"T"_qs);
    dock.tabs.clear();
    for (int i = 0; i < count; ++i)
        dock.tabs.push_back(DockTab::make(QString::number(i)));
    dock.selectedTabIndex = selected;
    return dock;
}

} // namespace

TEST_F(DockStoreTest, WithoutAFileSeedsTheStarterDocksAndWritesThem) {
    const QString firefox = u"/usr/share/applications/firefox-esr.desktop"_qs;
    const QString xterm = u"/usr/share/applications/debian-xterm.desktop"_qs;
    fs.addFile(firefox, "", u"Firefox ESR"_qs);
    fs.addFile(xterm, "", u"XTerm"_qs);
    // Defaults first, then well-known entries, each application once, then the docklets.
    apps.defaults.insert(u"x-scheme-handler/https"_qs, firefox);
    apps.defaults.insert(u"x-scheme-handler/mailto"_qs, firefox);
    apps.entries.insert(u"debian-xterm.desktop"_qs, xterm);
    apps.entries.insert(u"firefox.desktop"_qs, u"/unused"_qs);
    auto store = makeStore();
    const auto& docks = *store->docks;
    ASSERT_EQ(docks.size(), 3u);
    EXPECT_EQ(docks[0].name, u"Dock"_qs);
    EXPECT_EQ(docks[0].position, (DockPosition{60, 120, 180, 420}));
    EXPECT_EQ(docks[1].kind, DockKind::applicationSwitcher);
    EXPECT_EQ(docks[1].name, u"Application Dock"_qs);
    EXPECT_EQ(docks[2].kind, DockKind::clippings);
    EXPECT_EQ(docks[2].name, u"Clippings"_qs);
    ASSERT_EQ(docks[0].tabs.size(), 1u);
    EXPECT_EQ(docks[0].tabs[0].name, u"Main"_qs);
    QStringList items;
    for (const DockItem& item : docks[0].tabs[0].items)
        items << storedString(item.kind) + u' ' + item.name + u' ' + item.path.value_or(u"-"_qs) +
                     u' ' + (item.docklet ? storedString(*item.docklet) : u"-"_qs);
    EXPECT_EQ(items,
              (QStringList{u"application Firefox ESR "_qs + firefox + u" -"_qs,
                           u"application XTerm "_qs + xterm + u" -"_qs,
                           u"docklet Separator - separator"_qs, u"docklet Clock - clock"_qs,
                           u"docklet Disk Space - diskSpace"_qs, u"docklet Trash - trash"_qs}));
    EXPECT_EQ(store->filePath(), file);
    clock.advance(400ms);
    EXPECT_EQ(savedDocks(), *store->docks);
}

TEST_F(DockStoreTest, WhatCannotBeReadIsMovedAsideByRenameBeforeTheStarterDocksReplaceIt) {
    const auto asides = [&] {
        QStringList names;
        for (auto it = fs.files.begin(); it != fs.files.end(); ++it)
            if (it.key().startsWith(file + u".unreadable-"_qs))
                names << it.key();
        return names;
    };
    const QByteArray broken = "[{\"id\":\"not a dock\"}]";
    fs.addFile(file, broken);
    auto first = makeStore();
    clock.advance(400ms);
    ASSERT_EQ(asides().size(), 1);
    EXPECT_EQ(fs.files.value(asides()[0]), broken);
    EXPECT_TRUE(
        QRegularExpression(u"\\.unreadable-\\d{8}-\\d{6}$"_qs).match(asides()[0]).hasMatch());
    EXPECT_EQ(savedDocks().size(), 3u);

    // A folder where the file should be, in the same second: it cannot be copied, only renamed,
    // and it does not take the name of the first.
    fs.remove(file);
    fs.addDirectory(file);
    auto store = makeStore();
    clock.advance(400ms);
    EXPECT_FALSE(fs.isDirectory(file));
    EXPECT_EQ(savedDocks().size(), 3u);
    EXPECT_TRUE(store->saveProblem->isEmpty());
    EXPECT_EQ(fs.files.value(asides()[0]), broken);

    // When even the rename fails the file stays, the user hears of it once, and the next
    // change tries again.
    fs.files.insert(file, "garbage");
    auto second = makeStore();
    fs.failRenames = true;
    int told = 0;
    auto problem = second->saveProblem.sink([&](const QString& p) { told += !p.isEmpty(); });
    clock.advance(10s);
    EXPECT_EQ(fs.files.value(file), QByteArray("garbage"));
    EXPECT_EQ(told, 1);
    fs.failRenames = false;
    second->addDock(DockKind::items);
    clock.advance(400ms);
    EXPECT_EQ(savedDocks().size(), 4u);
    EXPECT_TRUE(second->saveProblem->isEmpty());
}

TEST_F(DockStoreTest, ABadItemAtTheEndOfABigTabKeepsTheWholeFileAside) {
    Dock tray = Dock::makeDefault(DockKind::clippings, u"Tray"_qs);
    for (int i = 0; i < 20000; ++i)
        tray.tabs[0].items.push_back(DockItem::makeClipping(u"clipping %1"_qs.arg(i)));
    QByteArray json = DockCodec::encode({tray}).value();
    // The last item's kind is one nobody knows.
    const qsizetype kind = json.lastIndexOf(R"("kind":"clippingText")");
    json.replace(kind, 21, R"("kind":"clippingTxt")");
    fs.addFile(file, json);
    auto store = makeStore();
    EXPECT_EQ(store->docks->size(), 3u) << "the starter docks";
    clock.advance(400ms);
    QStringList asides;
    for (auto it = fs.files.begin(); it != fs.files.end(); ++it)
        if (it.key().startsWith(file + u".unreadable-"_qs))
            asides << it.key();
    ASSERT_EQ(asides.size(), 1);
    EXPECT_EQ(fs.files.value(asides[0]), json) << "kept whole";
}

TEST_F(DockStoreTest, AFailedSaveStaysPendingIsRetriedWithBackOffAndWrittenAtQuit) {
    auto store = storeWith({});
    fs.failWrites = true;
    store->addDock(DockKind::items);
    clock.advance(400ms);
    EXPECT_TRUE(store->isSavePending());
    EXPECT_TRUE(store->saveProblem->contains(file));
    // Retries after 2 s, then 4 s, 8 s...: three more attempts in the next 29 s.
    fs.writeAttempts = 0;
    clock.advance(29s);
    EXPECT_EQ(fs.writeAttempts, 3);
    // Writing works again: the next retry saves and the problem is over, with nothing lost,
    // even though the data folder was deleted meanwhile (or dropped on the trash docklet).
    fs.failWrites = false;
    fs.remove(dataDir);
    clock.advance(60s);
    EXPECT_EQ(savedDocks().size(), 1u);
    EXPECT_FALSE(store->isSavePending());
    EXPECT_TRUE(store->saveProblem->isEmpty());

    // At quit, a failed save is tried once more.
    fs.failWrites = true;
    store->addDock(DockKind::clippings);
    clock.advance(400ms);
    fs.failWrites = false;
    store->flushPendingSave();
    EXPECT_EQ(savedDocks().size(), 2u);
}

TEST_F(DockStoreTest, LaterDocksWithAnIdAlreadyTakenGetFreshIdsAndAreSaved) {
    const Dock first = Dock::makeDefault(DockKind::items, u"A"_qs);
    Dock twin = Dock::makeDefault(DockKind::clippings, u"B"_qs);
    twin.id = first.id;
    auto store = storeWith({first, twin, twin});
    const auto& docks = *store->docks;
    ASSERT_EQ(docks.size(), 3u);
    EXPECT_EQ(docks[0].id, first.id);
    EXPECT_NE(docks[1].id, first.id);
    EXPECT_NE(docks[2].id, docks[1].id);
    EXPECT_EQ(docks[1].name, u"B"_qs);
    clock.advance(400ms);
    EXPECT_EQ(savedDocks(), docks);
}

TEST_F(DockStoreTest, EveryOperationRaisesItsDocksRevisionOnlyAndOnAMissingDockDoesNothing) {
    Dock a = dockWithTabs(2, 0);
    const Dock b = dockWithTabs(1, 0);
    const DockItem item = DockItem::makeClipping(u"x"_qs);
    a.tabs[0].items = {item};
    auto store = storeWith({a, b});
    int willChange = 0;
    auto sub = store->onObjectWillChange([&] { ++willChange; });
    const std::vector<std::pair<const char*, std::function<void(const QUuid&)>>> operations = {
        {"update",
         [&](const QUuid& id) {
             Dock dock = *store->dock(a.id);
             dock.id = id;
             store->update(dock);
         }},
        {"mutateDock",
         [&](const QUuid& id) { store->mutateDock(id, [](Dock& d) { d.columns = 2; }); }},
        {"setVisible", [&](const QUuid& id) { store->setVisible(id, false); }},
        {"addItem", [&](const QUuid& id) { store->addItem(item, id, 1); }},
        {"updateItem", [&](const QUuid& id) { store->updateItem(item, id); }},
        {"removeItem", [&](const QUuid& id) { store->removeItem(item.id, id); }},
        {"addTab", [&](const QUuid& id) { store->addTab(id, u"T"_qs); }},
        {"removeTab", [&](const QUuid& id) { store->removeTab(a.tabs[1].id, id); }},
    };
    for (const auto& [name, operation] : operations) {
        clock.advance(1s);
        willChange = 0;
        operation(QUuid::createUuid());
        EXPECT_EQ(willChange, 0) << name;
        EXPECT_FALSE(store->isSavePending()) << name;
        const auto before = store->revision(a.id);
        const auto other = store->revision(b.id);
        operation(a.id);
        EXPECT_GT(store->revision(a.id), before) << name;
        EXPECT_EQ(store->revision(b.id), other) << name;
    }
    // An id cannot be changed through mutateDock.
    store->mutateDock(a.id, [](Dock& d) { d.id = QUuid::createUuid(); });
    EXPECT_NE(store->dock(a.id), nullptr);
    EXPECT_FALSE(store->dock(a.id)->isVisible);
    store->removeDock(a.id);
    EXPECT_EQ(store->revision(a.id), 0u);
    // removeDock saves even when nothing matched.
    clock.advance(1s);
    store->removeDock(QUuid::createUuid());
    EXPECT_TRUE(store->isSavePending());
}

TEST_F(DockStoreTest, AFileIsTakenAsItIsAndABurstOfChangesGivesOneWriteAfterTheLast) {
    auto store = storeWith({});
    EXPECT_TRUE(store->docks->empty());
    store->flushPendingSave();
    clock.advance(10s);
    EXPECT_EQ(fs.writeCount, 0);
    for (int i = 0; i < 5; ++i) {
        store->addDock(DockKind::items);
        clock.advance(100ms);
    }
    clock.advance(299ms);
    EXPECT_EQ(fs.writeCount, 0);
    clock.advance(1ms);
    EXPECT_EQ(fs.writeCount, 1);
    EXPECT_EQ(savedDocks().size(), 5u);
    // A flush writes at once, and the delayed save then finds nothing to do.
    store->addDock(DockKind::clippings);
    store->flushPendingSave();
    EXPECT_EQ(fs.writeCount, 2);
    clock.advance(1s);
    EXPECT_EQ(fs.writeCount, 2);
    EXPECT_EQ(savedDocks().at(5).name, u"Clippings Dock"_qs);
}

TEST_F(DockStoreTest, AddDockNamesByKindAndStepsTheFrameWrappingAfterSix) {
    auto store = storeWith({});
    for (int i = 0; i < 7; ++i)
        store->addDock(DockKind::items);
    const auto& docks = *store->docks;
    EXPECT_EQ(docks[0].name, u"New Dock"_qs);
    EXPECT_EQ(docks[0].position, (DockPosition{60, 120, 180, 420}));
    EXPECT_EQ(docks[1].position, (DockPosition{84, 144, 180, 420}));
    EXPECT_EQ(docks[2].position, (DockPosition{108, 168, 180, 420}));
    EXPECT_EQ(docks[6].position, (DockPosition{60, 120, 180, 420}));
    store->addDock(DockKind::applicationSwitcher);
    EXPECT_EQ(store->docks->back().name, u"Application Dock"_qs);
    EXPECT_EQ(store->docks->back().position.x, 200 + 24 * 1);
}

TEST_F(DockStoreTest, AddItemGoesToTheGivenOrSelectedTabAndDropsOutOfRange) {
    Dock dock = dockWithTabs(2, 5);
    auto store = storeWith({dock});
    const DockItem item = DockItem::makeClipping(u"a"_qs);
    store->addItem(item, dock.id);
    EXPECT_FALSE(store->isSavePending()); // selected index 5 of 2 tabs: no fallback
    store->addItem(item, dock.id, -1);
    store->addItem(item, dock.id, 2);
    EXPECT_FALSE(store->isSavePending());
    store->addItem(item, dock.id, 1);
    EXPECT_TRUE(store->isSavePending());
    EXPECT_EQ(store->dock(dock.id)->tabs[1].items, std::vector<DockItem>{item});
}

TEST_F(DockStoreTest, RemoveAndUpdateItemReachEveryTab) {
    Dock dock = dockWithTabs(2, 0);
    const DockItem shared = DockItem::makeClipping(u"shared"_qs);
    const DockItem other = DockItem::makeClipping(u"other"_qs);
    dock.tabs[0].items = {shared, other, shared};
    dock.tabs[1].items = {shared};
    auto store = storeWith({dock});

    DockItem renamed = shared;
    renamed.name = u"renamed"_qs;
    store->updateItem(renamed, dock.id);
    EXPECT_EQ(store->dock(dock.id)->tabs[0].items,
              (std::vector<DockItem>{renamed, other, shared})); // first match per tab
    EXPECT_EQ(store->dock(dock.id)->tabs[1].items, std::vector<DockItem>{renamed});

    store->removeItem(shared.id, dock.id);
    EXPECT_EQ(store->dock(dock.id)->tabs[0].items, std::vector<DockItem>{other});
    EXPECT_TRUE(store->dock(dock.id)->tabs[1].items.empty());
}

TEST_F(DockStoreTest, RemoveTabKeepsTheLastTabAndOnlyLowersTheSelection) {
    Dock one = dockWithTabs(1, 0);
    Dock three = dockWithTabs(3, 2);
    Dock four = dockWithTabs(4, 1);
    auto store = storeWith({one, three, four});

    store->removeTab(one.tabs[0].id, one.id);
    EXPECT_EQ(store->dock(one.id)->tabs.size(), 1u);
    EXPECT_FALSE(store->isSavePending());

    store->removeTab(three.tabs[2].id, three.id);
    EXPECT_EQ(store->dock(three.id)->selectedTabIndex, 1);

    store->removeTab(four.tabs[0].id, four.id);
    EXPECT_EQ(store->dock(four.id)->selectedTabIndex, 1);
    EXPECT_EQ(store->dock(four.id)->currentTab().id, four.tabs[2].id);

    store->addTab(four.id, QString());
    EXPECT_EQ(store->dock(four.id)->tabs.back().name, QString());
    EXPECT_EQ(store->dock(four.id)->selectedTabIndex, 1);
}
