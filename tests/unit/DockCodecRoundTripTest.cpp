// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockCodec.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

namespace {

// Random docks that exercise every corner of the format: all of Unicode (with the characters
// JSON escapes), every byte value in icons, and doubles drawn from their whole bit range.
class RandomDocks {
public:
    explicit RandomDocks(std::uint64_t seed) : random_(seed) {}

    std::vector<Dock> docks() {
        std::vector<Dock> docks(below(4));
        for (Dock& dock : docks)
            fill(dock);
        return docks;
    }

private:
    std::uint64_t below(std::uint64_t bound) { return random_() % bound; }
    bool chance() { return below(2) == 0; }

    template <typename E> E anyCase() {
        const auto& table = EnumCases<E>::table;
        return table[below(std::size(table))].first;
    }

    QUuid uuid() { return QUuid::fromRfc4122(bytes(16)); }

    double number() {
        // Zeros of both signs, the smallest subnormal and normal, the largest, integers past 2^53.
        // clang-format off
        static constexpr double specials[] = {
            0.0, -0.0, 0.1, 48, -1.5, 5e-324, -5e-324, 2.2250738585072014e-308,
            1.7976931348623157e308, -1.7976931348623157e308, 9007199254740993.0,
            1.2345678901234568e20, 18446744073709551616.0, 1e300};
        // clang-format on
        if (chance())
            return specials[below(std::size(specials))];
        for (;;) {
            const double value = std::bit_cast<double>(random_());
            if (std::isfinite(value))
                return value;
        }
    }

    std::int64_t integer() {
        static constexpr std::int64_t specials[] = {0, -1, 1, INT64_MIN, INT64_MAX};
        return chance() ? specials[below(std::size(specials))]
                        : static_cast<std::int64_t>(random_());
    }

    std::optional<std::uint32_t> unsigned32() {
        static constexpr std::uint32_t specials[] = {0, UINT32_MAX};
        if (chance())
            return std::nullopt;
        return chance() ? specials[below(2)] : static_cast<std::uint32_t>(random_());
    }

    QString text() {
        static const QString interesting = QString::fromUtf8("/\"\\\n\t\r\b\f\x01\x1f\x7f é中€") +
                                           QChar(0) + QChar(0x2028) + QChar(0xFFFF) + QChar(0xFEFF);
        QString text;
        for (auto length = below(24); length > 0; --length) {
            // ASCII, a character JSON escapes, or any code point outside the surrogates.
            char32_t code = static_cast<char32_t>(below(0x110000));
            if (code >= 0xD800 && code < 0xE000)
                code = 0x1F600 + (code & 0x3F);
            const auto pick = below(3);
            text += pick == 0   ? QString(QChar(char16_t(below(0x80))))
                    : pick == 1 ? QString(interesting[below(interesting.size())])
                                : QString::fromUcs4(&code, 1);
        }
        return text;
    }

    std::optional<QString> maybeText() { return chance() ? std::optional(text()) : std::nullopt; }

    QByteArray bytes(std::uint64_t size) {
        QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = static_cast<char>(random_());
        return bytes;
    }

    DockItem item() {
        DockItem item;
        item.id = uuid();
        item.kind = anyCase<DockItemKind>();
        item.name = text();
        item.path = maybeText();
        item.urlString = maybeText();
        if (chance())
            item.docklet = anyCase<DockletKind>();
        item.textContent = maybeText();
        if (chance())
            item.customIconData = bytes(below(300));
        item.createdAt = number();
        return item;
    }

    void fill(Dock& dock) {
        dock.id = uuid();
        dock.name = text();
        dock.kind = anyCase<DockKind>();
        dock.tabs.resize(below(4));
        for (DockTab& tab : dock.tabs) {
            tab.id = uuid();
            tab.name = text();
            tab.items.resize(below(6));
            for (DockItem& entry : tab.items)
                entry = item();
        }
        dock.selectedTabIndex = integer();
        dock.layout = anyCase<DockLayout>();
        dock.orientation = anyCase<DockOrientation>();
        dock.style = anyCase<DockStyle>();
        dock.position = {number(), number(), number(), number()};
        dock.columns = integer();
        dock.appearance = {number(), number(), number(), number(), number(), chance(), number()};
        dock.autoHide = chance();
        dock.alwaysOnTop = chance();
        dock.isVisible = chance();
        dock.hotKey = {unsigned32(), unsigned32()};
        dock.screenEdgeForAutoHide = anyCase<ScreenEdge>();
    }

    std::mt19937_64 random_;
};

} // namespace

TEST(DockCodecRoundTrip, ReadsBackWhatItWroteForRandomDocks) {
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
        const std::vector<Dock> docks = RandomDocks(seed).docks();
        const std::optional<QByteArray> json = DockCodec::encode(docks);
        ASSERT_TRUE(json) << seed;
        const auto decoded = DockCodec::decode(*json);
        ASSERT_TRUE(decoded.ok()) << seed << ": " << qPrintable(decoded.error);
        ASSERT_EQ(decoded.docks, docks) << seed;
        // Equal text also proves equal bits where == does not look (the sign of zero).
        ASSERT_EQ(DockCodec::encode(decoded.docks), json) << seed;
        // The first two items of each tab, and a count of the others.
        std::vector<Dock> first = docks;
        std::size_t leftOut = 0;
        for (Dock& dock : first)
            for (DockTab& tab : dock.tabs)
                if (tab.items.size() > 2) {
                    leftOut += tab.items.size() - 2;
                    tab.items.resize(2);
                }
        const auto firstDecoded = DockCodec::decodeFirst(*json, 2);
        ASSERT_EQ(firstDecoded.docks, first) << seed;
        ASSERT_EQ(firstDecoded.itemsLeftOut, leftOut) << seed;
    }
}

TEST(DockCodecRoundTrip, ReformatsWithoutRecordsToTheSameText) {
    for (std::uint64_t seed = 1; seed <= 100; ++seed) {
        const QByteArray json = DockCodec::encode(RandomDocks(seed).docks()).value();
        QByteArray written;
        const QString error = DockCodec::reformat(json, [&written](QByteArrayView text) {
            written += text;
            return true;
        });
        ASSERT_TRUE(error.isEmpty()) << seed << ": " << qPrintable(error);
        ASSERT_EQ(written, json) << seed;
    }
    // Nothing is written from a file that cannot be read, even when its problem comes late.
    QByteArray bad = DockCodec::encode(RandomDocks(3).docks()).value();
    bad.insert(bad.lastIndexOf("\"createdAt\""), "\"kind\":\"x\",");
    bool wrote = false;
    EXPECT_TRUE(DockCodec::reformat(bad, [&wrote](QByteArrayView) {
                    return wrote = true;
                }).endsWith(u"duplicate key \"kind\""_qs));
    EXPECT_FALSE(wrote);
}

TEST(DockCodecRoundTrip, TextsReadWithoutConversionGoBackByteForByte) {
    // A tray of 20,000 clippings: read without making their texts, written back identical.
    std::vector<Dock> docks{Dock::makeDefault(DockKind::clippings, u"Tray"_qs)};
    for (int i = 0; i < 20000; ++i)
        docks[0].tabs[0].items.push_back(
            DockItem::makeClipping(u"clipping %1: a/b \"q\" é 😀\n"_qs.arg(i)));
    const QByteArray json = DockCodec::encode(docks).value();
    const auto decoded = DockCodec::decode(json);
    ASSERT_TRUE(decoded.ok()) << qPrintable(decoded.error);
    const DockText& last = *decoded.docks[0].tabs[0].items.back().textContent;
    EXPECT_TRUE(last.isKeptAsRead());
    EXPECT_EQ(last, u"clipping 19999: a/b \"q\" é 😀\n"_qs);
    EXPECT_EQ(DockCodec::encode(decoded.docks), json);

    // Another writer's spelling of a text stays as written, through a change of its item; a
    // text with \u escapes is read at once and written in our form; formatting makes all ours.
    const struct {
        const char* read;
        const char* saved;
        const char* formatted;
    } cases[] = {
        {"a/b \\\\ \xc3\xa9", "a/b \\\\ \xc3\xa9", "a\\/b \\\\ \xc3\xa9"},
        {R"(a\/b\t\"q\")", R"(a\/b\t\"q\")", R"(a\/b\t\"q\")"},
        {R"(\u00e9\u0041\ud83d\ude00)", "éA😀", "éA😀"},
    };
    const QByteArray empty =
        DockCodec::encode({Dock::makeDefault(DockKind::clippings, u"Tray"_qs)}).value();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.read);
        const auto file = [&empty](const char* text) {
            return QByteArray(empty).replace(
                R"("items":[])",
                QByteArray(R"("items":[{"id":"6F1C2A3B-4D5E-4F60-8A9B-0C1D2E3F4A5B",)"
                           R"("kind":"clippingText","name":"N","textContent":")") +
                    text + R"(","createdAt":0}])");
        };
        auto read = DockCodec::decode(file(c.read));
        ASSERT_TRUE(read.ok()) << qPrintable(read.error);
        read.docks[0].tabs[0].items[0].name = u"Renamed"_qs;
        EXPECT_EQ(DockCodec::encode(read.docks), file(c.saved).replace(R"("N")", R"("Renamed")"));
        QByteArray formatted;
        DockCodec::reformat(file(c.read), [&](QByteArrayView text) {
            formatted += text;
            return true;
        });
        EXPECT_EQ(formatted, file(c.formatted));
    }
}
