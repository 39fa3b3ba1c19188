// SPDX-License-Identifier: GPL-3.0-or-later
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

// Decodes, and checks that the readings that keep no records, or no items, agree.
DockCodec::Decoded decode(const QByteArray& json) {
    DockCodec::Decoded decoded = DockCodec::decode(json);
    EXPECT_EQ(DockCodec::check(json).error, decoded.error) << json.left(200).constData();
    EXPECT_EQ(DockCodec::decodeFirst(json, 0).error, decoded.error) << json.left(200).constData();
    return decoded;
}

Dock onlyDock(const QByteArray& json) {
    const auto decoded = decode(json);
    EXPECT_TRUE(decoded.ok()) << qPrintable(decoded.error);
    return decoded.ok() ? decoded.docks.at(0) : Dock{};
}

DockItem onlyItem(const QByteArray& json) {
    const Dock dock = onlyDock(json);
    return dock.tabs.empty() ? DockItem{} : dock.tabs.at(0).items.at(0);
}

} // namespace

TEST(DockCodecReader, RefusesTheWholeFileAtTheFirstProblem) {
    const QByteArray item = "$[0].tabs[0].items[0]";
    const QByteArray dockId = R"("6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B")";
    const QByteArray path = R"("path":"/home/me/notes.txt")";
    const struct {
        QByteArray from, to, error;
    } cases[] = {
        // Missing and duplicate keys (a key is compared unescaped).
        {R"("createdAt":12.5)", R"("createdat":12.5)", item + R"(: missing key "createdAt")"},
        {R"(,"screenEdgeForAutoHide":"left")", "", R"($[0]: missing key "screenEdgeForAutoHide")"},
        {R"("name":"Main",)", "", R"($[0].tabs[0]: missing key "name")"},
        {R"("width":180,)", "", R"($[0].position: missing key "width")"},
        {R"("cornerRadius":16)", R"("radius":16)",
         R"($[0].appearance: missing key "cornerRadius")"},
        {R"("name":"Dock")", R"("name":"Dock","n\u0061me":"Other")",
         R"($[0]: duplicate key "name")"},
        {path, path + ',' + path, item + R"(: duplicate key "path")"},
        // Enumeration texts.
        {R"("kind":"items")", R"("kind":"Items")", R"($[0].kind: unknown value "Items")"},
        {R"("style":"tabbedPalette")", R"("style":"palette")",
         R"($[0].style: unknown value "palette")"},
        {R"("layout":"grid")", R"("layout":"")", R"($[0].layout: unknown value "")"},
        {R"("left")", R"("Left")", R"($[0].screenEdgeForAutoHide: unknown value "Left")"},
        {R"("kind":"file")", R"("kind":"File")", item + R"(.kind: unknown value "File")"},
        {path, path + R"(,"docklet":"Clock")", item + R"(.docklet: unknown value "Clock")"},
        // Wrong JSON types.
        {R"("orientation":"vertical")", R"("orientation":1)",
         R"($[0].orientation: expected a string)"},
        {R"("x":60)", R"("x":"60")", R"($[0].position.x: expected a number)"},
        {R"("x":60)", R"("x":null)", R"($[0].position.x: expected a number)"},
        {R"("opacity":0.9)", R"("opacity":true)", R"($[0].appearance.opacity: expected a number)"},
        {R"("showLabels":true)", R"("showLabels":"yes")",
         R"($[0].appearance.showLabels: expected a boolean)"},
        {R"("autoHide":false)", R"("autoHide":0)", R"($[0].autoHide: expected a boolean)"},
        {R"("name":"Dock")", R"("name":null)", R"($[0].name: expected a string)"},
        {path, R"("path":["/"])", item + R"(.path: expected a string)"},
        {"\"items\":[" + fileItem + ']', R"("items":{})",
         R"($[0].tabs[0].items: expected an array)"},
        {R"("hotKey":{})", R"("hotKey":null)", R"($[0].hotKey: expected an object)"},
        {"[" + fileItem, "[7", item + ": expected an object"},
        {path, R"("customIconData":7)", item + ".customIconData: expected a string"},
    };
    for (const auto& [from, to, error] : cases) {
        const auto decoded = decode(document(from, to));
        EXPECT_EQ(decoded.error, QString::fromUtf8(error)) << to.constData();
        EXPECT_TRUE(decoded.docks.empty());
    }
    // Integers that do not fit, however written.
    const auto columns = [](const char* text) {
        return decode(document(R"("columns":4)", QByteArray("\"columns\":") + text)).error;
    };
    const auto keyCode = [](const char* text) {
        const QByteArray to = QByteArray(R"("hotKey":{"keyCode":)") + text + '}';
        return decode(document(R"("hotKey":{})", to)).error;
    };
    for (const char* text : {"4.5", "1.000000000000000000001", "5e-1", "\"4\"", "true"})
        EXPECT_EQ(columns(text), u"$[0].columns: expected an integer"_qs) << text;
    for (const char* text : {"9223372036854775808", "-9.3e18", "1e300"})
        EXPECT_EQ(columns(text), u"$[0].columns: integer out of range"_qs) << text;
    for (const char* text : {"-1", "-1.0", "4294967296", "4.294967296e9"})
        EXPECT_EQ(keyCode(text), u"$[0].hotKey.keyCode: integer out of range"_qs) << text;
    for (const char* text : {"40.5", "\"40\""})
        EXPECT_EQ(keyCode(text), u"$[0].hotKey.keyCode: expected an integer"_qs) << text;
    // UUIDs: only the 8-4-4-4-12 form.
    for (const char* id :
         {"{6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B}", "6F1C2A3B4D5E4F608A9B0C1D2E3F4A5B",
          "6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5G", "6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B0",
          "6F1C2A3B-4D5E-4F60-8A9B0C1D2E3F-4A5B"})
        EXPECT_EQ(decode(document(dockId, '"' + QByteArray(id) + '"')).error,
                  u"$[0].id: malformed UUID \"%1\""_qs.arg(QLatin1StringView(id)));
    EXPECT_EQ(decode(document(R"("id":"AAAAAAAA)", R"("id":1,"x":"AAAAAAAA)")).error,
              item + ".id: expected a string");
    // Base64 is strict about its alphabet, padding and length.
    for (const char* icon :
         {"QUI", "QU=I", "Q-_D", "QUJD\\n", "Q===", "QR==", "QUJ=", "====", "QUJD QUJD"}) {
        const QByteArray to = QByteArray(R"("customIconData":")") + icon + '"';
        EXPECT_EQ(decode(document(path, to)).error, item + ".customIconData: not valid Base64")
            << icon;
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
    QByteArray json = DockCodec::encode({dock, second, dock}).value();
    json.replace(R"(,"createdAt":99.75)", "");
    EXPECT_EQ(decode(json).error, u"$[1].tabs[1].items[3]: missing key \"createdAt\""_qs);
}

TEST(DockCodecReader, ReadsIntegersHoweverWritten) {
    const struct {
        const char* text;
        std::int64_t value;
    } cases[] = {{"4.0", 4},
                 {"1e0", 1},
                 {"1e2", 100},
                 {"0.4e1", 4},
                 {"400e-2", 4},
                 {"-0.0", 0},
                 {"0e999", 0},
                 {"2.50E+1", 25},
                 {"-3.00", -3},
                 {"-9223372036854775808.0", INT64_MIN},
                 {"9.223372036854775807e18", INT64_MAX}};
    for (const auto& [text, value] : cases) {
        const Dock dock = onlyDock(document(R"("columns":4)", QByteArray("\"columns\":") + text));
        EXPECT_EQ(dock.columns, value) << text;
    }
    const Dock hotKey = onlyDock(
        document(R"("hotKey":{})", R"("hotKey":{"keyCode":4.294967295e9,"modifiers":4.352e3})"));
    EXPECT_EQ(hotKey.hotKey, (HotKeyBinding{0xFFFFFFFFu, 4352u}));
}

TEST(DockCodecReader, RefusesWhatIsNotADockArray) {
    EXPECT_EQ(decode("{}").error, u"$: expected an array"_qs);
    EXPECT_EQ(decode("[1]").error, u"$[0]: expected an object"_qs);
    EXPECT_EQ(decode("[null]").error, u"$[0]: expected an object"_qs);
    // Not JSON at all, wherever it shows: also under a key the reader ignores, and also when a
    // problem of the records comes first.
    for (const QByteArray& bad :
         {QByteArray(""), QByteArray("[,]"), QByteArray("[{}"), QByteArray("[] []"),
          QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF[]"), document().append(','),
          document(R"("name":"notes")", "\"name\":\"no\xFFtes\""),
          document(R"("name":"notes")", R"("name":"\ud800")"),
          document(R"("name":"notes")", R"("name":"\q")"), document(R"("x":60)", R"("x":1e400)"),
          document(R"("x":60)", R"("x":NaN)"), document(R"("columns":4)", R"("columns":4x)"),
          document(R"("autoHide":false)", R"("autoHide":fals)"),
          document(R"("kind":"items")", R"("kind":"Items","more":[1,tru])"),
          document(R"("x":60)", R"("x":60,"z":{"a" 1})"),
          document(R"("x":60)", R"("x":60,"z":["\u12"])"),
          document(R"("x":60)", R"("x":60,"z":nul)"), document(R"("x":60)", R"("x":60,"z":-)")}) {
        const auto decoded = decode(bad);
        EXPECT_TRUE(decoded.error.startsWith(u"$: not valid JSON ("_qs))
            << bad.constData() << " -> " << qPrintable(decoded.error);
    }
    // Located by line and column; Qt takes a raw tab inside a string, so simdjson's own wording
    // is kept then.
    EXPECT_EQ(decode("[\n  {\"a\": 1,\n   \"b\" 2}\n]").error,
              u"$: not valid JSON (line 3, column 9: missing name separator)"_qs);
    EXPECT_EQ(decode("[\"a\tb\"]").error,
              u"$: not valid JSON (Within strings, some characters must be escaped, we found "
              "unescaped characters)"_qs);
}

TEST(DockCodecReader, ReadsNullAndMissingOptionalValuesAlikeAsAbsent) {
    const DockItem withNulls =
        onlyItem(document(R"("path":"/home/me/notes.txt")",
                          R"("path":null,"urlString":null,"docklet":null,"textContent":null,)"
                          R"("customIconData":null)"));
    EXPECT_FALSE(withNulls.path || withNulls.urlString || withNulls.docklet ||
                 withNulls.textContent || withNulls.customIconData);
    EXPECT_EQ(onlyItem(document(R"("path":"/home/me/notes.txt",)", "")), withNulls);
    for (const char* hotKey :
         {R"({})", R"({"keyCode":null})", R"({"keyCode":null,"modifiers":null})"})
        EXPECT_EQ(onlyDock(document(R"("hotKey":{})", QByteArray("\"hotKey\":") + hotKey)).hotKey,
                  HotKeyBinding{})
            << hotKey;
    EXPECT_EQ(onlyDock(document(R"("hotKey":{})", R"("hotKey":{"keyCode":0})")).hotKey,
              (HotKeyBinding{0, std::nullopt}));
}

TEST(DockCodecReader, ReadsEveryWayJsonMayWriteTheSameDocument) {
    const std::vector<Dock> expected = decode(document()).docks;
    const QByteArray reordered =
        R"([{"screenEdgeForAutoHide":"left","hotKey":{"extra":[1,{"a":null}]},"isVisible":true,)"
        R"("alwaysOnTop":true,"autoHide":false,"future":{"x":"\u0079"},"appearance":{)"
        R"("cornerRadius":16,"showLabels":true,"tintBlue":0.17,"tintGreen":0.14,"tintRed":0.13,)"
        R"("opacity":0.9,"iconSize":48,"glass":true},"columns":4,"position":{"height":420,)"
        R"("width":180,"y":120,"x":60,"z":0},"style":"tabbedPalette","orientation":"vertical",)"
        R"("layout":"grid","selectedTabIndex":0,"tabs":[{"items":[{"createdAt":12.5,)"
        R"("path":"\/home\/me\/notes.txt","name":"notes","kind":"file",)"
        R"("id":"aaaaaaaa-0000-4000-8000-000000000001","tag":3}],"name":"Main",)"
        R"("\u0069d":"11111111-2222-4333-8444-555555555555"}],"kind":"items","name":"Dock",)"
        R"("id":"6F1c2a3B-4d5E-4F60-8a9B-0C1d2E3f4A5b","ID":"nonsense"}])";
    ASSERT_EQ(expected.size(), 1u);
    EXPECT_EQ(decode(reordered).docks, expected);
    EXPECT_EQ(decode("\xEF\xBB\xBF" + document()).docks, expected);
    for (const char* empty : {"[]", " [ ] \n", "\xEF\xBB\xBF[]"})
        EXPECT_TRUE(decode(empty).ok()) << empty;
    const auto numbers = decode(document(R"("x":60)", R"("x":-0.0)")
                                    .replace(R"("y":120)", R"("y":18446744073709551615)")
                                    .replace(R"("width":180)", R"("width":-9223372036854775808)")
                                    .replace(R"("height":420)", R"("height":4.2E+2)"));
    ASSERT_TRUE(numbers.ok()) << qPrintable(numbers.error);
    const DockPosition& position = numbers.docks[0].position;
    EXPECT_TRUE(position.x == 0 && std::signbit(position.x));
    EXPECT_EQ(position, (DockPosition{-0.0, 18446744073709551615.0, -9223372036854775808.0, 420}));
}

TEST(DockCodecReader, ReadsStringsWithEveryEscape) {
    const DockItem item = onlyItem(document(
        R"("name":"notes")", R"("name":"\u00e9\ud83d\ude00\"\\\n\u0000","textContent":"")"));
    EXPECT_EQ(item.name, QString::fromUtf8("é😀\"\\\n") + QChar(0));
    EXPECT_EQ(item.textContent, QString(u""_qs));
    const DockItem shortOnes =
        onlyItem(document(R"("name":"notes")", R"("name":"a\"b\\c\/d\be\ff\ng\rh\ti\/\/")"));
    EXPECT_EQ(shortOnes.name, u"a\"b\\c/d\be\ff\ng\rh\ti//"_qs);
    const DockItem icon = onlyItem(
        document(R"("path":"/home/me/notes.txt")", R"("customIconData":"AP\/+","path":"/")"));
    EXPECT_EQ(icon.customIconData, QByteArray("\x00\xff\xfe", 3));
    // A byte order mark inside a string is text: QString::fromUtf8 alone would drop it.
    EXPECT_EQ(
        onlyItem(document(R"("name":"notes")", "\"name\":\"\xEF\xBB\xBF\xEF\xBB\xBFx\"")).name,
        QString(QChar(0xFEFF)) + QChar(0xFEFF) + u"x"_qs);
}
