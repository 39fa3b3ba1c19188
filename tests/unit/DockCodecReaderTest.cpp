#include "models/DockCodec.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QByteArray fileItem =
    R"({"id":"AAAAAAAA-0000-4000-8000-000000000001","kind":"file","name":"notes",)"
    R"("path":"/home/me/notes.txt","createdAt":12.5})";

const QByteArray dockText =
    R"({"id":"6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B","name":"Dock","kind":"items","tabs":[)"
    R"({"id":"11111111-2222-4333-8444-555555555555","name":"Main","items":[)" +
    fileItem +
    R"(]}],"selectedTabIndex":0,"layout":"grid","orientation":"vertical",)"
    R"("style":"tabbedPalette","position":{"x":60,"y":120,"width":180,"height":420},)"
    R"("columns":4,"appearance":{"iconSize":48,"opacity":0.9,"tintRed":0.13,)"
    R"("tintGreen":0.14,"tintBlue":0.17,"showLabels":true,"cornerRadius":16},)"
    R"("autoHide":false,"alwaysOnTop":true,"isVisible":true,"hotKey":{},)"
    R"("screenEdgeForAutoHide":"left"})";

// The valid one-dock document with its first `from` replaced by `to`.
QByteArray document(const QByteArray& from = {}, const QByteArray& to = {}) {
    QByteArray text = dockText;
    if (!from.isEmpty()) {
        const qsizetype at = text.indexOf(from);
        EXPECT_GE(at, 0) << from.constData();
        text.replace(at, from.size(), to);
    }
    return '[' + text + ']';
}

DockCodec::Decoded decode(const QByteArray& json) {
    return DockCodec::decode(json);
}

DockItem onlyItem(const QByteArray& json) {
    const auto decoded = decode(json);
    EXPECT_TRUE(decoded.ok()) << qPrintable(decoded.error);
    if (!decoded.ok())
        return {};
    return decoded.docks.at(0).tabs.at(0).items.at(0);
}

} // namespace

TEST(DockCodecReader, ReadsTheValidDocument) {
    const auto decoded = decode(document());
    ASSERT_TRUE(decoded.ok()) << qPrintable(decoded.error);
    ASSERT_EQ(decoded.docks.size(), 1u);
    const Dock& dock = decoded.docks[0];
    EXPECT_EQ(dock.id, QUuid::fromString(u"6f1c2a3b-4d5e-4f60-8a9b-0c1d2e3f4a5b"));
    EXPECT_EQ(dock.position, (DockPosition{60, 120, 180, 420}));
    EXPECT_EQ(dock.appearance, DockAppearance{});
    EXPECT_EQ(dock.hotKey, HotKeyBinding{});
    const DockItem& item = dock.tabs.at(0).items.at(0);
    EXPECT_EQ(item.kind, DockItemKind::file);
    EXPECT_EQ(item.path, u"/home/me/notes.txt"_qs);
    EXPECT_FALSE(item.urlString || item.docklet || item.textContent || item.customIconData);
    EXPECT_EQ(item.createdAt, 12.5);
    EXPECT_TRUE(decode("[]").ok());
    EXPECT_TRUE(decode(" [ ] \n").ok());
}

TEST(DockCodecReader, RefusesTheWholeFileAtTheFirstProblem) {
    const QByteArray itemPlace = "$[0].tabs[0].items[0]";
    const QByteArray itemId = R"("id":"AAAAAAAA-0000-4000-8000-000000000001")";
    const QByteArray dockId = R"("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B")";
    const QByteArray path = R"("path":"/home/me/notes.txt")";
    const struct {
        QByteArray from, to, error;
    } cases[] = {
        // Missing and duplicate keys.
        {R"("createdAt":12.5)", R"("createdat":12.5)", itemPlace + R"(: missing key "createdAt")"},
        {R"(,"screenEdgeForAutoHide":"left")", "", R"($[0]: missing key "screenEdgeForAutoHide")"},
        {R"("name":"Main",)", "", R"($[0].tabs[0]: missing key "name")"},
        {R"("width":180,)", "", R"($[0].position: missing key "width")"},
        {R"("cornerRadius":16)", R"("radius":16)",
         R"($[0].appearance: missing key "cornerRadius")"},
        {R"("name":"Dock")", R"("name":"Dock","name":"Other")", R"($[0]: duplicate key "name")"},
        {path, path + ',' + path, itemPlace + R"(: duplicate key "path")"},
        // Enumeration texts.
        {R"("kind":"items")", R"("kind":"Items")", R"($[0].kind: unknown value "Items")"},
        {R"("style":"tabbedPalette")", R"("style":"palette")",
         R"($[0].style: unknown value "palette")"},
        {R"("layout":"grid")", R"("layout":"")", R"($[0].layout: unknown value "")"},
        {R"("orientation":"vertical")", R"("orientation":1)",
         R"($[0].orientation: expected a string)"},
        {R"("left")", R"("Left")", R"($[0].screenEdgeForAutoHide: unknown value "Left")"},
        {R"("kind":"file")", R"("kind":"File")", itemPlace + R"(.kind: unknown value "File")"},
        {path, path + R"(,"docklet":"Clock")", itemPlace + R"(.docklet: unknown value "Clock")"},
        // Wrong JSON types.
        {R"("x":60)", R"("x":"60")", R"($[0].position.x: expected a number)"},
        {R"("x":60)", R"("x":null)", R"($[0].position.x: expected a number)"},
        {R"("opacity":0.9)", R"("opacity":true)", R"($[0].appearance.opacity: expected a number)"},
        {R"("showLabels":true)", R"("showLabels":"yes")",
         R"($[0].appearance.showLabels: expected a boolean)"},
        {R"("autoHide":false)", R"("autoHide":0)", R"($[0].autoHide: expected a boolean)"},
        {R"("name":"Dock")", R"("name":null)", R"($[0].name: expected a string)"},
        {path, R"("path":5)", itemPlace + R"(.path: expected a string)"},
        {path, R"("path":["/"])", itemPlace + R"(.path: expected a string)"},
        {"\"items\":[" + fileItem + ']', R"("items":{})",
         R"($[0].tabs[0].items: expected an array)"},
        {R"("hotKey":{})", R"("hotKey":null)", R"($[0].hotKey: expected an object)"},
        {R"("hotKey":{})", R"("hotKey":[])", R"($[0].hotKey: expected an object)"},
        {"[" + fileItem, "[7", itemPlace + ": expected an object"},
        // Integers that do not fit.
        {R"("selectedTabIndex":0)", R"("selectedTabIndex":1.0)",
         R"($[0].selectedTabIndex: expected an integer)"},
        {R"("columns":4)", R"("columns":4.5)", R"($[0].columns: expected an integer)"},
        {R"("columns":4)", R"("columns":"4")", R"($[0].columns: expected an integer)"},
        {R"("columns":4)", R"("columns":9223372036854775808)",
         R"($[0].columns: integer out of range)"},
        {R"("hotKey":{})", R"("hotKey":{"keyCode":-1})",
         R"($[0].hotKey.keyCode: integer out of range)"},
        {R"("hotKey":{})", R"("hotKey":{"keyCode":1,"modifiers":4294967296})",
         R"($[0].hotKey.modifiers: integer out of range)"},
        {R"("hotKey":{})", R"("hotKey":{"keyCode":40.0})",
         R"($[0].hotKey.keyCode: expected an integer)"},
        {R"("hotKey":{})", R"("hotKey":{"modifiers":"256"})",
         R"($[0].hotKey.modifiers: expected an integer)"},
        // UUIDs.
        {dockId, R"("{6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B}")",
         R"($[0].id: malformed UUID "{6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B}")"},
        {dockId, R"("6F1C2A3B4D5E4F608A9B0C1D2E3F4A5B")",
         R"($[0].id: malformed UUID "6F1C2A3B4D5E4F608A9B0C1D2E3F4A5B")"},
        {dockId, R"("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5G")",
         R"($[0].id: malformed UUID "6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5G")"},
        {dockId, R"("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B0")",
         R"($[0].id: malformed UUID "6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B0")"},
        {dockId, R"("6F1C2A3B-4D5E-4F60-8A9B0C1D2E3F-4A5B")",
         R"($[0].id: malformed UUID "6F1C2A3B-4D5E-4F60-8A9B0C1D2E3F-4A5B")"},
        {itemId, R"("id":123)", itemPlace + ".id: expected a string"},
        // Base64.
        {path, R"("customIconData":"QUI")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"QU=I")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"Q-_D")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"QUJD\n")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"Q===")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"QR==")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"QUJ=")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"====")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":"QUJD QUJD")", itemPlace + ".customIconData: not valid Base64"},
        {path, R"("customIconData":7)", itemPlace + ".customIconData: expected a string"},
    };
    for (const auto& [from, to, error] : cases) {
        const auto decoded = decode(document(from, to));
        EXPECT_EQ(decoded.error, QString::fromUtf8(error)) << to.constData();
        EXPECT_TRUE(decoded.docks.empty());
    }
}

TEST(DockCodecReader, NamesTheDockTabAndItemOfAProblem) {
    Dock dock = Dock::makeDefault(DockKind::items, u"D"_qs);
    dock.tabs.push_back(DockTab::make(u"Second"_qs));
    for (double createdAt : {1.0, 2.0, 3.0, 4.0}) {
        dock.tabs[1].items.push_back(DockItem::makeDocklet(DockletKind::trash, u"T"_qs));
        dock.tabs[1].items.back().createdAt = createdAt;
    }
    Dock second = dock;
    second.tabs[1].items[3].createdAt = 99.75;
    QByteArray json = DockCodec::encode({dock, second}).value();
    json.replace(R"(,"createdAt":99.75)", "");
    EXPECT_EQ(decode(json).error, u"$[1].tabs[1].items[3]: missing key \"createdAt\""_qs);
}

TEST(DockCodecReader, NamesTheLaterDockWhenOnlyItIsWrong) {
    const QByteArray json = '[' + dockText + ',' + dockText + ',' +
                            QByteArray(dockText).replace(R"("kind":"items")", R"("kind":"Items")") +
                            ']';
    EXPECT_EQ(decode(json).error, u"$[2].kind: unknown value \"Items\""_qs);
}

TEST(DockCodecReader, RefusesWhatIsNotADockArray) {
    EXPECT_EQ(decode("{}").error, u"$: expected an array"_qs);
    EXPECT_EQ(decode("[1]").error, u"$[0]: expected an object"_qs);
    EXPECT_EQ(decode("[null]").error, u"$[0]: expected an object"_qs);
    for (const QByteArray& bad :
         {QByteArray(""), QByteArray("[,]"), QByteArray("[{}"), QByteArray("[] []"),
          document().append(','), document(R"("name":"notes")", "\"name\":\"no\xFFtes\""),
          document(R"("name":"notes")", R"("name":"\ud800")"),
          document(R"("x":60)", R"("x":1e400)"), document(R"("x":60)", R"("x":NaN)")}) {
        const auto decoded = decode(bad);
        EXPECT_TRUE(decoded.error.startsWith(u"$: not valid JSON ("_qs))
            << bad.constData() << " -> " << qPrintable(decoded.error);
    }
}

TEST(DockCodecReader, TreatsMissingAndNullOptionalItemKeysAlikeAsAbsent) {
    const DockItem withNulls =
        onlyItem(document(R"("path":"/home/me/notes.txt")",
                          R"("path":null,"urlString":null,"docklet":null,"textContent":null,)"
                          R"("customIconData":null)"));
    EXPECT_FALSE(withNulls.path || withNulls.urlString || withNulls.docklet ||
                 withNulls.textContent || withNulls.customIconData);
    const DockItem without = onlyItem(document(R"("path":"/home/me/notes.txt",)", ""));
    EXPECT_EQ(without, withNulls);
}

TEST(DockCodecReader, ReadsEmptyAndNullHotKeysAsNoHotKey) {
    for (const char* hotKey : {R"({})", R"({"keyCode":null})", R"({"modifiers":null})",
                               R"({"keyCode":null,"modifiers":null})"}) {
        const auto decoded = decode(document(R"("hotKey":{})", QByteArray("\"hotKey\":") + hotKey));
        ASSERT_TRUE(decoded.ok()) << hotKey;
        EXPECT_EQ(decoded.docks[0].hotKey, HotKeyBinding{}) << hotKey;
    }
    const auto partial = decode(document(R"("hotKey":{})", R"("hotKey":{"keyCode":0})"));
    ASSERT_TRUE(partial.ok());
    EXPECT_EQ(partial.docks[0].hotKey, (HotKeyBinding{0, std::nullopt}));
    const auto full =
        decode(document(R"("hotKey":{})", R"("hotKey":{"modifiers":4352,"keyCode":4294967295})"));
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full.docks[0].hotKey, (HotKeyBinding{0xFFFFFFFFu, 4352u}));
}

TEST(DockCodecReader, ReadsUuidsInEitherCase) {
    const auto lower = decode(
        document("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B", "6f1c2a3b-4d5e-4f60-8a9b-0c1d2e3f4a5b"));
    const auto mixed = decode(
        document("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B", "6F1c2a3B-4d5E-4F60-8a9B-0C1d2E3f4A5b"));
    ASSERT_TRUE(lower.ok() && mixed.ok());
    EXPECT_EQ(lower.docks, decode(document()).docks);
    EXPECT_EQ(mixed.docks, decode(document()).docks);
}

TEST(DockCodecReader, ReadsSlashesEscapedOrNot) {
    const DockItem escaped = onlyItem(document("/home/me/notes.txt", R"(\/home\/me\/notes.txt)"));
    EXPECT_EQ(escaped.path, u"/home/me/notes.txt"_qs);
    EXPECT_EQ(escaped, onlyItem(document()));
    const DockItem icon = onlyItem(
        document(R"("path":"/home/me/notes.txt")", R"("customIconData":"AP\/+","path":"/")"));
    EXPECT_EQ(icon.customIconData, QByteArray("\x00\xff\xfe", 3));
    const DockItem plainIcon = onlyItem(
        document(R"("path":"/home/me/notes.txt")", R"("customIconData":"AP/+","path":"/")"));
    EXPECT_EQ(plainIcon, icon);
}

TEST(DockCodecReader, ReadsEscapesAndIntegersForDoubles) {
    const DockItem item = onlyItem(document(
        R"("name":"notes")", R"("name":"\u00e9\ud83d\ude00\"\\\n\u0000","textContent":"")"));
    EXPECT_EQ(item.name, QString::fromUtf8("é😀\"\\\n") + QChar(0));
    EXPECT_EQ(item.textContent, QString(u""_qs));
    const auto numbers = decode(document(R"("x":60)", R"("x":-0.0)")
                                    .replace(R"("y":120)", R"("y":18446744073709551615)")
                                    .replace(R"("width":180)", R"("width":-9223372036854775808)")
                                    .replace(R"("height":420)", R"("height":4.2E+2)"));
    ASSERT_TRUE(numbers.ok()) << qPrintable(numbers.error);
    const DockPosition& position = numbers.docks[0].position;
    EXPECT_TRUE(position.x == 0 && std::signbit(position.x));
    EXPECT_EQ(position.y, 18446744073709551615.0);
    EXPECT_EQ(position.width, -9223372036854775808.0);
    EXPECT_EQ(position.height, 420.0);
    const auto extremes =
        decode(document(R"("selectedTabIndex":0)", R"("selectedTabIndex":-9223372036854775808)"));
    ASSERT_TRUE(extremes.ok());
    EXPECT_EQ(extremes.docks[0].selectedTabIndex, INT64_MIN);
}

TEST(DockCodecReader, IgnoresUnknownKeysAndKeyOrder) {
    const QByteArray reordered =
        R"([{"screenEdgeForAutoHide":"left","hotKey":{"extra":[1,{"a":null}]},"isVisible":true,)"
        R"("alwaysOnTop":true,"autoHide":false,"future":{"x":"y"},"appearance":{"cornerRadius":16,)"
        R"("showLabels":true,"tintBlue":0.17,"tintGreen":0.14,"tintRed":0.13,"opacity":0.9,)"
        R"("iconSize":48,"glass":true},"columns":4,"position":{"height":420,"width":180,"y":120,)"
        R"("x":60,"z":0},"style":"tabbedPalette","orientation":"vertical","layout":"grid",)"
        R"("selectedTabIndex":0,"tabs":[{"items":[{"createdAt":12.5,"path":"/home/me/notes.txt",)"
        R"("name":"notes","kind":"file","id":"aaaaaaaa-0000-4000-8000-000000000001","tag":3}],)"
        R"("name":"Main","\u0069d":"11111111-2222-4333-8444-555555555555"}],"kind":"items",)"
        R"("name":"Dock","id":"6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B","ID":"nonsense"}])";
    const auto decoded = decode(reordered);
    ASSERT_TRUE(decoded.ok()) << qPrintable(decoded.error);
    EXPECT_EQ(decoded.docks, decode(document()).docks);
}

TEST(DockCodecReader, KeepsALeadingByteOrderMarkInAString) {
    // QString::fromUtf8 would drop it; found by the round trip of random clippings.
    const DockItem item =
        onlyItem(document(R"("name":"notes")", "\"name\":\"\xEF\xBB\xBF\xEF\xBB\xBFx\""));
    EXPECT_EQ(item.name, QString(QChar(0xFEFF)) + QChar(0xFEFF) + u"x"_qs);
}

TEST(DockCodecReader, LocatesSyntaxErrorsByLineAndColumn) {
    EXPECT_EQ(decode("[\n  {\"a\": 1,\n   \"b\" 2}\n]").error,
              u"$: not valid JSON (line 3, column 9: missing name separator)"_qs);
    // Qt takes a raw tab inside a string; simdjson's own wording is kept then.
    EXPECT_EQ(decode("[\"a\tb\"]").error,
              u"$: not valid JSON (Within strings, some characters must be escaped, we found "
              "unescaped characters)"_qs);
}
