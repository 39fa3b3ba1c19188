// SPDX-License-Identifier: GPL-3.0-or-later
#include "integration/support/XSession.h"
#include "models/DockCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString tool = QStringLiteral(MOORLINE_BINARY_DIR "/moorline-docks");

class DockTool : public ::testing::Test {
protected:
    QString file(const QString& name, const QByteArray& contents) {
        const QString path = directory_.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents);
        return path;
    }

    static std::vector<Dock> sampleDocks() {
        Dock items = Dock::makeDefault(DockKind::items, u"Dock"_qs);
        items.tabs.push_back(DockTab::make(u"Second"_qs));
        items.tabs[0].items.push_back(DockItem::makeClipping(u"say \"hi\"\n/ é 😀"_qs));
        items.tabs[1].items.push_back(DockItem::makeDocklet(DockletKind::clock, u"Clock"_qs));
        items.tabs[1].items.back().customIconData = QByteArray("\x00\xff\xfe", 3);
        items.hotKey = {40, 0x1100};
        return {items, Dock::makeDefault(DockKind::clippings, u"Clippings"_qs)};
    }

    QTemporaryDir directory_;
};

} // namespace

TEST_F(DockTool, ReportsTheFirstProblemOfAnUnreadableFile) {
    QByteArray json = DockCodec::encode(sampleDocks()).value();
    json.replace(R"("kind":"clippings")", R"("kind":"Clippings")");
    const QString path = file(u"bad.json"_qs, json);
    const auto checked = Session::run(tool, {u"check"_qs, path});
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.out, (path + u": $[1].kind: unknown value \"Clippings\"\n"_qs).toUtf8());
    const auto formatted = Session::run(tool, {u"format"_qs, path});
    EXPECT_EQ(formatted.exitCode, 1);
    EXPECT_TRUE(formatted.out.isEmpty());
    EXPECT_EQ(formatted.err, checked.out);
    const auto notJson = Session::run(tool, {u"check"_qs, file(u"empty.json"_qs, "")});
    EXPECT_EQ(notJson.exitCode, 1);
    EXPECT_TRUE(notJson.out.contains(": $: not valid JSON ("));
    // Past the size Moorline reads, whatever it holds (300 MB of holes cost no disk), from a
    // file or from standard input.
    const QString large = file(u"large.json"_qs, "");
    ASSERT_TRUE(QFile::resize(large, 300 << 20));
    for (const QStringList& arguments :
         {QStringList{u"check"_qs, large}, QStringList{u"format"_qs, large}}) {
        const auto refused = Session::run(tool, arguments);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE((refused.out + refused.err).contains("larger than 268435456 bytes"))
            << refused.out.constData();
    }
}

TEST_F(DockTool, ChecksAReadableFileAndFormatsItToTheWritersCanonicalForm) {
    const std::vector<Dock> docks = sampleDocks();
    const QByteArray canonical = DockCodec::encode(docks).value();
    const auto checked = Session::run(tool, {u"check"_qs, file(u"docks.json"_qs, canonical)});
    EXPECT_EQ(checked.exitCode, 0) << checked.err.constData();
    EXPECT_EQ(checked.out, QByteArray("ok: 2 docks, 3 tabs, 2 items\n"));
    EXPECT_TRUE(checked.err.isEmpty());

    // The same docks, pretty-printed, with unescaped slashes, lower-case ids and unknown keys.
    QByteArray loose = canonical;
    loose.replace("\\/", "/").replace("\"id\":", "\n  \"extra\": [1, 2],\n  \"id\" : ");
    for (const Dock& dock : docks)
        loose.replace(dock.id.toString(QUuid::WithoutBraces).toUpper().toLatin1(),
                      dock.id.toString(QUuid::WithoutBraces).toLatin1());
    ASSERT_NE(loose, canonical);
    const auto result = Session::run(tool, {u"format"_qs, file(u"loose.json"_qs, loose)});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, canonical);
    const auto piped = Session::run(tool, {u"format"_qs, u"-"_qs}, std::chrono::seconds(10), loose);
    EXPECT_EQ(piped.exitCode, 0);
    EXPECT_EQ(piped.out, canonical);
}

TEST_F(DockTool, AnswersUsageAndInputErrorsWithExitCodeTwo) {
    const QString missing = directory_.filePath(u"missing.json"_qs);
    const QList<QStringList> wrong = {{},
                                      {u"check"_qs},
                                      {u"lint"_qs, missing},
                                      {u"check"_qs, missing},
                                      {u"format"_qs, missing},
                                      {u"check"_qs, directory_.path()},
                                      {u"check"_qs, missing, missing}};
    for (const QStringList& arguments : wrong) {
        const auto result = Session::run(tool, arguments);
        EXPECT_EQ(result.exitCode, 2) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_TRUE(result.err.startsWith("moorline-docks: ")) << result.err.constData();
        EXPECT_TRUE(result.err.endsWith("usage: moorline-docks check|format FILE\n"));
    }
    for (const char* help : {"-h", "--help"}) {
        const auto result = Session::run(tool, {QString::fromLatin1(help)});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_TRUE(result.out.startsWith("usage: moorline-docks check|format FILE\n"));
        EXPECT_TRUE(result.err.isEmpty());
    }
}
