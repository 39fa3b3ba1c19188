// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Precision, every Base64 length and byte, and odd text are the round trip's to prove; these
// pin the exact text a reader of the file expects.
namespace {

DockItem item(char n, DockItemKind kind, const QString& name, double createdAt) {
    DockItem item;
    item.id = QUuid::fromString(QLatin1StringView("aaaaaaaa-0000-4000-8000-00000000000") + n);
    item.kind = kind;
    item.name = name;
    item.createdAt = createdAt;
    return item;
}

Dock sampleDock() {
    DockItem app = item('1', DockItemKind::application, u"Firefox"_qs, 700000000.25);
    app.path = u"/usr/share/applications/firefox.desktop"_qs;
    // -0 written as 0 would read back without its sign.
    DockItem clock = item('2', DockItemKind::docklet, u"Clock"_qs, -0.0);
    clock.docklet = DockletKind::clock;
    DockItem clipping = item('3', DockItemKind::clippingText, u"say \"hi\""_qs, -1.5e-7);
    clipping.textContent = QString::fromUtf8("a/b\\c\n\t\x01\x1f\x7f é 😀");
    DockItem site = item('4', DockItemKind::url, u"Site"_qs, 1e21);
    site.urlString = u"https://example.org/?q=1"_qs;
    site.customIconData = QByteArray("\x00\xff\xfe", 3);

    Dock dock = Dock::makeDefault(DockKind::items, u"Dock"_qs);
    dock.id = QUuid::fromString(u"6f1c2a3b-4d5e-4f60-8a9b-0c1d2e3f4a5b"_qs);
    dock.tabs = {DockTab{QUuid::fromString(u"11111111-2222-4333-8444-555555555555"_qs),
                         u"Main"_qs,
                         {app, clock, clipping, site}}};
    dock.selectedTabIndex = -1;
    dock.layout = DockLayout::list;
    dock.orientation = DockOrientation::horizontal;
    dock.style = DockStyle::bar;
    dock.position = {60, 120.5, 180, 420};
    dock.autoHide = true;
    dock.alwaysOnTop = false;
    dock.hotKey = {40, HotKeyBinding::controlKey | HotKeyBinding::cmdKey};
    dock.screenEdgeForAutoHide = ScreenEdge::bottom;
    return dock;
}

QByteArray encoded(const std::vector<Dock>& docks) {
    return DockCodec::encode(docks).value_or(QByteArray("<not encodable>"));
}

} // namespace

TEST(DockCodecWriter, WritesTheCanonicalCompactForm) {
    const QByteArray expected =
        R"([{"id":"6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B","name":"Dock","kind":"items","tabs":[)"
        R"({"id":"11111111-2222-4333-8444-555555555555","name":"Main","items":[)"
        R"({"id":"AAAAAAAA-0000-4000-8000-000000000001","kind":"application","name":"Firefox",)"
        R"("path":"\/usr\/share\/applications\/firefox.desktop","createdAt":700000000.25},)"
        R"({"id":"AAAAAAAA-0000-4000-8000-000000000002","kind":"docklet","name":"Clock",)"
        R"("docklet":"clock","createdAt":-0.0},)"
        R"({"id":"AAAAAAAA-0000-4000-8000-000000000003","kind":"clippingText",)"
        R"("name":"say \"hi\"","textContent":"a\/b\\c\n\t\u0001\u001F)"
        "\x7f é 😀"
        R"(","createdAt":-1.5e-07},)"
        R"({"id":"AAAAAAAA-0000-4000-8000-000000000004","kind":"url","name":"Site",)"
        R"("urlString":"https:\/\/example.org\/?q=1","customIconData":"AP\/+","createdAt":1e+21}]}],)"
        R"("selectedTabIndex":-1,"layout":"list","orientation":"horizontal","style":"bar",)"
        R"("position":{"x":60,"y":120.5,"width":180,"height":420},"columns":4,)"
        R"("appearance":{"iconSize":48,"opacity":0.9,"tintRed":0.13,"tintGreen":0.14,)"
        R"("tintBlue":0.17,"showLabels":true,"cornerRadius":16},"autoHide":true,)"
        R"("alwaysOnTop":false,"isVisible":true,"hotKey":{"keyCode":40,"modifiers":4352},)"
        R"("screenEdgeForAutoHide":"bottom"}])";
    EXPECT_EQ(encoded({sampleDock()}), expected);
    EXPECT_EQ(encoded({}), QByteArray("[]"));
}

TEST(DockCodecWriter, WritesHotKeysWithOnlyThePresentFields) {
    Dock dock = Dock::makeDefault(DockKind::clippings, u"C"_qs);
    EXPECT_TRUE(encoded({dock}).contains(R"("hotKey":{},"screenEdgeForAutoHide":"left"})"));
    dock.hotKey.modifiers = 256;
    EXPECT_TRUE(encoded({dock}).contains(R"("hotKey":{"modifiers":256},)"));
    dock.hotKey = {0xFFFFFFFFu, std::nullopt};
    EXPECT_TRUE(encoded({dock}).contains(R"("hotKey":{"keyCode":4294967295},)"));
}

TEST(DockCodecWriter, RefusesDoublesThatAreNotFiniteAndReplacesLoneSurrogates) {
    for (double bad : {std::numeric_limits<double>::infinity(), -HUGE_VAL, std::nan("")}) {
        Dock dock = sampleDock();
        dock.tabs[0].items[2].createdAt = bad;
        EXPECT_FALSE(DockCodec::encode({sampleDock(), dock})) << bad;
    }
    Dock dock = sampleDock();
    dock.name = QString(QChar(0xD83D)) + u"x"_qs + QChar(0xDE00);
    EXPECT_TRUE(encoded({dock}).contains("\"name\":\"\xEF\xBF\xBDx\xEF\xBF\xBD\""));
}
