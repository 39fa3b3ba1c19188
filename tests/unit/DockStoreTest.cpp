// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/DockStore.h"
#include "fakes/DockStoreTesting.h"
#include "fakes/FakeDefaultApplications.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeWorker.h"
#include "fakes/VirtualScheduler.h"
#include "models/DockCodec.h"
#include "store/DockFileRead.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString dataDir = u"/home/u/.local/share/Moorline"_qs;
const QString file = dataDir + u"/docks.json"_qs;

class DockStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<DockStore> makeStore() {
        return std::make_unique<DockStore>(
            DockStore::Dependencies{fs, clock, apps, dataDir, nullptr, &worker});
    }
    // A store that reads these docks from its file.
    std::unique_ptr<DockStore> storeWith(const std::vector<Dock>& docks) {
        fs.addFile(file, *DockCodec::encode(docks));
        return makeStore();
    }
    static bool isSavePending(const std::unique_ptr<DockStore>& store) {
        return DockStoreTesting::isSavePending(*store);
    }
    // The files set aside beside docks.json.
    QStringList asides() const {
        QStringList names;
        for (auto it = fs.files.begin(); it != fs.files.end(); ++it)
            if (it.key().startsWith(file + u".unreadable-"_qs))
                names << it.key();
        return names;
    }
    std::vector<Dock> savedDocks() const {
        auto decoded = DockCodec::decode(fs.files.value(file));
        EXPECT_TRUE(decoded.ok()) << decoded.error.toStdString();
        return decoded.docks;
    }

    FakeFileSystem fs;
    VirtualScheduler clock;
    FakeWorker worker{clock};
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
    EXPECT_EQ(docks[0].position, (DockPosition{60, 120, 276, 420}));
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
    // Read at once, and as at start, where only the first items of a tab become records.
    for (const bool atStart : {false, true}) {
        fs.files.clear();
        fs.addFile(file, json);
        DockFileRead read(file, [json] { return std::optional(json); });
        auto store = std::make_unique<DockStore>(
            DockStore::Dependencies{fs, clock, apps, dataDir, atStart ? &read : nullptr, &worker});
        EXPECT_EQ(store->docks->size(), 3u) << "the starter docks";
        clock.advance(400ms);
        ASSERT_EQ(asides().size(), 1);
        EXPECT_EQ(fs.files.value(asides()[0]), json) << "kept whole";
    }
}

TEST_F(DockStoreTest, ItemsLeftOutAtStartComeAfterTheFirstFrameOrBeforeAnyChange) {
    Dock tray = Dock::makeDefault(DockKind::clippings, u"Tray"_qs);
    for (int i = 0; i < 5; ++i)
        tray.tabs[0].items.push_back(DockItem::makeClipping(u"clipping %1"_qs.arg(i)));
    const Dock other = dockWithTabs(2, 0);
    const QByteArray json = DockCodec::encode({tray, other}).value();
    enum class Then { finish, changeWhileReading, changeAtOnce };
    for (const Then then : {Then::finish, Then::changeWhileReading, Then::changeAtOnce}) {
        fs.files.clear();
        fs.addFile(file, json);
        DockFileRead read(
            file, [json] { return std::optional(json); }, 2);
        auto store = std::make_unique<DockStore>(
            DockStore::Dependencies{fs, clock, apps, dataDir, &read, &worker});
        ASSERT_EQ(store->docks->at(0).tabs[0].items.size(), 2u);
        std::vector<DockChange> heard;
        auto observer = store->observeChanges([&](const DockChange& c) { heard.push_back(c); });
        if (then != Then::changeAtOnce)
            store->finishLoading();
        if (then == Then::finish) {
            clock.runPending();
            EXPECT_EQ(store->docks->at(0).tabs, tray.tabs);
            ASSERT_EQ(heard.size(), 1u);
            EXPECT_EQ(std::pair(heard[0].dockId, heard[0].facets),
                      std::pair(tray.id, DockFacets(DockFacet::content)));
            EXPECT_FALSE(isSavePending(store)) << "nothing changed on disk";
            continue;
        }
        // A change waits for the whole tab, and its save writes every item as it was read.
        store->addItem(DockItem::makeClipping(u"new"_qs), tray.id);
        clock.advance(400ms);
        Dock changed = tray;
        changed.tabs[0].items.push_back(store->docks->at(0).tabs[0].items.back());
        EXPECT_EQ(fs.files.value(file), DockCodec::encode({changed, other}).value());
    }
}

TEST_F(DockStoreTest, AFailedSaveStaysPendingIsRetriedWithBackOffAndWrittenAtQuit) {
    auto store = storeWith({});
    fs.failWrites = true;
    store->addDock(DockKind::items);
    clock.advance(400ms);
    EXPECT_TRUE(isSavePending(store));
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
    EXPECT_FALSE(isSavePending(store));
    EXPECT_TRUE(store->saveProblem->isEmpty());

    // At quit, a failed save is tried once more.
    fs.failWrites = true;
    store->addDock(DockKind::clippings);
    clock.advance(400ms);
    fs.failWrites = false;
    store->flushPendingSave();
    EXPECT_EQ(savedDocks().size(), 2u);
}

TEST_F(DockStoreTest, ASaveOnTheWorkerIsNeverOvertakenAndQuitWaitsForIt) {
    auto store = storeWith({});
    worker.hold(); // a slow disk
    store->addDock(DockKind::items);
    clock.advance(400ms);
    ASSERT_EQ(worker.queued(), 1u);
    // Changes meanwhile wait for the save under way, then are written after it.
    store->addDock(DockKind::clippings);
    clock.advance(400ms);
    EXPECT_EQ(worker.queued(), 1u);
    worker.release();
    clock.runPending();
    EXPECT_EQ(fs.writeCount, 2);
    EXPECT_EQ(savedDocks().size(), 2u);
    EXPECT_FALSE(isSavePending(store));

    // At quit, the save under way ends first, then what came after it is written.
    worker.hold();
    store->addDock(DockKind::items);
    clock.advance(400ms);
    store->addDock(DockKind::items);
    store->flushPendingSave();
    EXPECT_EQ(fs.writeCount, 4);
    EXPECT_EQ(savedDocks().size(), 4u);
    EXPECT_FALSE(isSavePending(store));
    worker.release();
    clock.advance(10s);
    EXPECT_EQ(fs.writeCount, 4);
}

TEST_F(DockStoreTest, NeverWritesAFileTooLargeToReadBackAndSaysSo) {
    auto store = storeWith({Dock::makeDefault(DockKind::items, u"D"_qs)});
    const QUuid dockId = store->docks->at(0).id;
    fs.readLimit = fs.files.value(file).size() + 1000;
    const DockItem large = DockItem::makeClipping(QString(2000, u'x'));
    store->addItem(large, dockId);
    clock.advance(400ms);
    EXPECT_EQ(fs.writeAttempts, 0);
    EXPECT_TRUE(store->saveProblem->contains(u"not saved"_qs)) << qPrintable(*store->saveProblem);
    clock.advance(120s); // no retry can make it smaller
    EXPECT_EQ(fs.writeAttempts, 0);
    store->removeItem(large.id, dockId);
    clock.advance(400ms);
    EXPECT_EQ(fs.writeCount, 1);
    EXPECT_TRUE(store->saveProblem->isEmpty());
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

struct FacetCase {
    const char* name;
    void (*edit)(Dock&);
    DockFacets facets;
};

// Each field of a dock belongs to one facet (the item operations' are below).
const FacetCase facetCases[] = {
    {"name", [](Dock& d) { d.name = u"N"_qs; }, DockFacet::listing},
    {"visibility", [](Dock& d) { d.isVisible = false; }, DockFacet::listing},
    {"opacity", [](Dock& d) { d.appearance.opacity = 0.5; }, DockFacet::appearance},
    {"style", [](Dock& d) { d.style = DockStyle::bar; }, DockFacet::appearance},
    {"frame", [](Dock& d) { d.position.x = 7; }, DockFacet::frame},
    {"hot key", [](Dock& d) { d.hotKey.keyCode = 1; }, DockFacet::hotKey},
    {"auto-hide", [](Dock& d) { d.autoHide = true; }, DockFacet::behaviour},
    {"selected tab", [](Dock& d) { d.selectedTabIndex = 1; }, DockFacet::content},
    {"frame and name", [](Dock& d) { d.position.y = 9, d.name = u"M"_qs; },
     DockFacet::frame | DockFacet::listing},
};

// A change tells exactly the facets it changed of exactly its dock, raises their revisions and
// no others, and saves; on a missing dock, or changing nothing, it does nothing.
TEST_F(DockStoreTest, AChangeTellsWhatItChangedOfWhichDockAndNothingElse) {
    for (const FacetCase& c : facetCases) {
        SCOPED_TRACE(c.name);
        const Dock a = dockWithTabs(2, 0);
        const Dock b = dockWithTabs(1, 0);
        auto store = storeWith({a, b});
        clock.advance(1s);
        std::vector<DockChange> heard;
        auto observer = store->observeChanges([&](const DockChange& c) { heard.push_back(c); });
        store->mutateDock(QUuid::createUuid(), c.edit);
        EXPECT_TRUE(heard.empty());
        EXPECT_FALSE(isSavePending(store));

        const auto others = ~c.facets & allDockFacets;
        const auto touched = store->revision(a.id, c.facets);
        const auto untouched = store->revision(a.id, others);
        const auto other = store->revision(b.id);
        const auto list = store->listRevision();
        store->mutateDock(a.id, c.edit);
        ASSERT_EQ(heard.size(), 1u);
        EXPECT_EQ(heard[0].dockId, a.id);
        EXPECT_EQ(heard[0].facets, c.facets);
        EXPECT_GT(store->revision(a.id, c.facets), touched);
        EXPECT_EQ(store->revision(a.id, others), untouched);
        EXPECT_EQ(store->revision(b.id), other);
        EXPECT_EQ(store->listRevision() > list, bool(c.facets & DockFacet::listing));
        EXPECT_TRUE(isSavePending(store));

        // The same again changes nothing.
        clock.advance(1s);
        heard.clear();
        store->mutateDock(a.id, c.edit);
        EXPECT_TRUE(heard.empty());
        EXPECT_FALSE(isSavePending(store));
    }
}

TEST_F(DockStoreTest, TheListTellsAdditionsRemovalsAndReadingsWithEveryFacet) {
    auto store = storeWith({dockWithTabs(1, 0)});
    std::vector<DockChange> heard;
    auto observer = store->observeChanges([&](const DockChange& c) { heard.push_back(c); });
    const auto list = store->listRevision();
    store->addDock(DockKind::items);
    const QUuid added = store->docks->back().id;
    store->removeDock(added);
    EXPECT_EQ(store->revision(added), 0u);
    DockStoreTesting::setDocks(*store, {});
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0].dockId, added);
    EXPECT_EQ(heard[1].dockId, added);
    EXPECT_TRUE(heard[2].dockId.isNull());
    for (const DockChange& c : heard)
        EXPECT_EQ(c.facets, allDockFacets);
    EXPECT_GT(store->listRevision(), list);
    // removeDock saves even when nothing matched, and tells nobody.
    clock.advance(1s);
    store->removeDock(QUuid::createUuid());
    EXPECT_TRUE(isSavePending(store));
    EXPECT_EQ(heard.size(), 3u);
    // An id cannot be changed through mutateDock.
    store->addDock(DockKind::items);
    const QUuid id = store->docks->back().id;
    store->mutateDock(id, [](Dock& d) { d.id = QUuid::createUuid(); });
    EXPECT_NE(store->dock(id), nullptr);
}

// Two docks: "A:abcde|B:xy" (tab A selected) and "P:pq" (a selected index out of range);
// items named by one letter.
class DockStoreItemsTest : public DockStoreTest {
public:
    DockStoreItemsTest() {
        Dock first = Dock::makeDefault(DockKind::items, u"1"_qs);
        first.tabs = {tab(u"A"_qs, "abcde"), tab(u"B"_qs, "xy")};
        Dock second = Dock::makeDefault(DockKind::items, u"2"_qs);
        second.tabs = {tab(u"P"_qs, "pq")};
        second.selectedTabIndex = 5; // hand-edited: no such tab
        one = first.id;
        two = second.id;
        store = storeWith({first, second});
        clock.advance(1s);
    }
    DockTab tab(const QString& name, const char* items) {
        DockTab made = DockTab::make(name);
        for (const char* c = items; *c; ++c) {
            made.items.push_back(DockItem::makeClipping(QString(QLatin1Char(*c))));
            ids.insert(QLatin1Char(*c), made.items.back().id);
        }
        return made;
    }
    QUuid tabId(bool second, std::size_t index) const {
        return store->dock(second ? two : one)->tabs[index].id;
    }
    std::vector<QUuid> items(const char* names) const {
        std::vector<QUuid> found;
        for (const char* c = names; *c; ++c)
            found.push_back(ids.value(QLatin1Char(*c), QUuid::createUuid()));
        return found;
    }
    static DockItem clip() { return DockItem::makeClipping(u"z"_qs); }
    // Both docks as text: each tab's name, a star when selected, its items' names.
    QString layout() const {
        QStringList docks;
        for (const Dock& dock : *store->docks) {
            QStringList tabs;
            for (std::size_t i = 0; i < dock.tabs.size(); ++i) {
                const bool selected = dock.selectedTabIndex == std::int64_t(i);
                QString text =
                    dock.tabs[i].name + (selected && dock.tabs.size() > 1 ? u"*:"_qs : u":"_qs);
                for (const DockItem& item : dock.tabs[i].items)
                    text += item.name;
                tabs << text;
            }
            docks << tabs.join(u'|');
        }
        return docks.join(u" / "_qs);
    }

    QHash<QChar, QUuid> ids;
    QUuid one, two;
    std::unique_ptr<DockStore> store;
};

using ItemsOperation = std::function<void(DockStore&, const DockStoreItemsTest&)>;

// Items of the first dock into a tab of the first or the second dock.
ItemsOperation move(const char* names, bool toSecond, std::size_t tab, std::int64_t index) {
    return [=](DockStore& s, const DockStoreItemsTest& t) {
        s.moveItems(t.items(names), t.one, toSecond ? t.two : t.one, t.tabId(toSecond, tab), index);
    };
}
ItemsOperation insert(const char* name, bool toSecond, std::size_t tab, std::int64_t index) {
    return [=](DockStore& s, const DockStoreItemsTest& t) {
        std::vector<DockItem> items;
        for (const char* c = name; *c; ++c)
            items.push_back(DockItem::makeClipping(QString(QLatin1Char(*c))));
        s.insertItems(items, toSecond ? t.two : t.one, t.tabId(toSecond, tab), index);
    };
}

struct ItemsCase {
    const char* name;
    ItemsOperation run;
    // The docks afterwards; empty when nothing changes (and nothing is saved).
    const char* expected;
};

const ItemsCase itemsCases[] = {
    // Within one tab the index is a place in the tab as it was before the move.
    {"forward", move("b", false, 0, 4), "A*:acdbe|B:xy / P:pq"},
    {"backward", move("d", false, 0, 1), "A*:adbce|B:xy / P:pq"},
    {"several keep their order", move("db", false, 0, 5), "A*:acebd|B:xy / P:pq"},
    {"index past the end", move("a", false, 0, 99), "A*:bcdea|B:xy / P:pq"},
    {"negative index", move("e", false, 0, -3), "A*:eabcd|B:xy / P:pq"},
    {"already in place", move("bc", false, 0, 1), ""},
    {"from two tabs into one", move("xb", false, 1, 1), "A*:acde|B:bxy / P:pq"},
    {"to another dock", move("c", true, 0, 1), "A*:abde|B:xy / P:pcq"},
    {"unknown ids are left out", move("?c", false, 0, 0), "A*:cabde|B:xy / P:pq"},
    {"insert in the middle, in order", insert("mn", true, 0, 1), "A*:abcde|B:xy / P:pmnq"},
    {"insert past the end", insert("m", false, 1, 40), "A*:abcde|B:xym / P:pq"},
    {"select a tab", [](auto& s, auto& t) { s.selectTab(t.one, t.tabId(false, 1)); },
     "A:abcde|B*:xy / P:pq"},
    {"rename a tab, empty as given",
     [](auto& s, auto& t) { s.renameTab(t.two, t.tabId(true, 0), {}); }, "A*:abcde|B:xy / :pq"},
    {"add to the selected tab", [](auto& s, auto& t) { s.addItem(t.clip(), t.one); },
     "A*:abcdez|B:xy / P:pq"},
    {"add to a tab by index", [](auto& s, auto& t) { s.addItem(t.clip(), t.one, 1); },
     "A*:abcde|B:xyz / P:pq"},
    {"update an item",
     [](auto& s, auto& t) {
         DockItem item = s.dock(t.one)->tabs[0].items[2];
         item.name = u"C"_qs;
         s.updateItem(item, t.one);
     },
     "A*:abCde|B:xy / P:pq"},
    {"remove an item", [](auto& s, auto& t) { s.removeItem(t.items("c")[0], t.one); },
     "A*:abde|B:xy / P:pq"},
    {"add a tab", [](auto& s, auto& t) { s.addTab(t.two, u"T"_qs); }, "A*:abcde|B:xy / P:pq|T:"},
    {"remove a tab", [](auto& s, auto& t) { s.removeTab(t.tabId(false, 1), t.one); },
     "A:abcde / P:pq"},
    // Ids, tabs and places that are not there: nothing happens, nothing is saved.
    {"what is not there",
     [](auto& s, auto& t) {
         s.moveItems(t.items("?"), t.one, t.one, t.tabId(false, 0), 0);
         s.moveItems(t.items("a"), t.one, t.one, QUuid::createUuid(), 0);
         s.insertItems({}, t.one, t.tabId(false, 1), 0);
         s.selectTab(t.one, QUuid::createUuid());
         s.renameTab(t.one, t.tabId(true, 0), u"Q"_qs);
         s.addItem(t.clip(), t.one, 2);
         s.addItem(t.clip(), t.one, -1);
         // The selected tab out of range: no fallback to another.
         s.addItem(t.clip(), t.two);
         // A dock that is not there.
         const QUuid gone = QUuid::createUuid();
         s.moveItems(t.items("a"), gone, t.one, t.tabId(false, 0), 0);
         s.moveItems(t.items("a"), t.one, gone, t.tabId(false, 0), 0);
         s.insertItems({t.clip()}, gone, t.tabId(false, 0), 0);
         s.addItem(t.clip(), gone);
         s.removeItem(t.items("a")[0], gone);
         s.addTab(gone, u"T"_qs);
         s.removeTab(t.tabId(false, 0), gone);
         s.selectTab(gone, t.tabId(false, 0));
         s.renameTab(gone, t.tabId(false, 0), u"Q"_qs);
     },
     ""},
};

class DockStoreItemsCases : public DockStoreItemsTest,
                            public ::testing::WithParamInterface<ItemsCase> {};

// Each is one change of the list and one save, or nothing at all, and tells the content of each
// dock it changed.
TEST_P(DockStoreItemsCases, ChangeTheDocksAsTheContractSays) {
    const ItemsCase& c = GetParam();
    const QString before = layout();
    int changes = 0;
    auto stream = store->docks.sink([&](const auto&) { ++changes; });
    changes = 0;
    std::vector<DockChange> heard;
    auto observer = store->observeChanges([&](const DockChange& c) { heard.push_back(c); });
    const int writes = fs.writeCount;
    c.run(*store, *this);
    const QString after = layout();
    const bool changed = *c.expected;
    EXPECT_EQ(after, changed ? QString::fromUtf8(c.expected) : before);
    clock.advance(1s);
    EXPECT_EQ(fs.writeCount - writes, changed ? 1 : 0);
    EXPECT_EQ(changes, changed ? 1 : changes);
    std::size_t docksChanged = 0;
    for (int i = 0; i < 2; ++i)
        docksChanged += before.section(u" / "_qs, i, i) != after.section(u" / "_qs, i, i);
    ASSERT_EQ(heard.size(), docksChanged);
    for (const DockChange& change : heard)
        EXPECT_EQ(change.facets, DockFacet::content);
}

INSTANTIATE_TEST_SUITE_P(DockStore, DockStoreItemsCases, ::testing::ValuesIn(itemsCases),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(DockStoreTest, AFileIsTakenAsItIsAndABurstOfNewDocksGivesOneWriteAfterTheLast) {
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
    // Each new dock is named by its kind, its frame stepped from the last, wrapping after six.
    const auto& docks = *store->docks;
    EXPECT_EQ(docks[0].name, u"New Dock"_qs);
    EXPECT_EQ(docks[0].position, (DockPosition{60, 120, 276, 420}));
    EXPECT_EQ(docks[2].position, (DockPosition{108, 168, 276, 420}));
    store->addDock(DockKind::items);
    EXPECT_EQ(docks[6].position, (DockPosition{60, 120, 276, 420}));
    store->addDock(DockKind::applicationSwitcher);
    EXPECT_EQ(store->docks->back().name, u"Application Dock"_qs);
    EXPECT_EQ(store->docks->back().position.x, 360 + 24 * 1);
}

TEST_F(DockStoreTest, ItemsGoFromEveryTabAndRemovingATabKeepsTheLastAndLowersTheSelection) {
    Dock dock = dockWithTabs(2, 0);
    const DockItem shared = DockItem::makeClipping(u"shared"_qs);
    const DockItem other = DockItem::makeClipping(u"other"_qs);
    dock.tabs[0].items = {shared, other, shared};
    dock.tabs[1].items = {shared};
    Dock one = dockWithTabs(1, 0);
    Dock three = dockWithTabs(3, 2);
    Dock four = dockWithTabs(4, 1);
    auto store = storeWith({dock, one, three, four});

    DockItem renamed = shared;
    renamed.name = u"renamed"_qs;
    store->updateItem(renamed, dock.id);
    EXPECT_EQ(store->dock(dock.id)->tabs[0].items,
              (std::vector<DockItem>{renamed, other, shared})); // first match per tab
    EXPECT_EQ(store->dock(dock.id)->tabs[1].items, std::vector<DockItem>{renamed});

    store->removeItem(shared.id, dock.id);
    EXPECT_EQ(store->dock(dock.id)->tabs[0].items, std::vector<DockItem>{other});
    EXPECT_TRUE(store->dock(dock.id)->tabs[1].items.empty());

    clock.advance(1s);

    store->removeTab(one.tabs[0].id, one.id);
    EXPECT_EQ(store->dock(one.id)->tabs.size(), 1u);
    EXPECT_FALSE(isSavePending(store));

    store->removeTab(three.tabs[2].id, three.id);
    EXPECT_EQ(store->dock(three.id)->selectedTabIndex, 1);

    store->removeTab(four.tabs[0].id, four.id);
    EXPECT_EQ(store->dock(four.id)->selectedTabIndex, 1);
    EXPECT_EQ(store->dock(four.id)->currentTab().id, four.tabs[2].id);

    store->addTab(four.id, QString());
    EXPECT_EQ(store->dock(four.id)->tabs.back().name, QString());
    EXPECT_EQ(store->dock(four.id)->selectedTabIndex, 1);
}
