// docks.json at the size of a heavy user: about 10 MB, 20,000 text clippings and 20 custom
// icons of 100 KB. Prints the time and throughput of reading it into records and writing it.

#include "models/DockCodec.h"

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <random>

namespace {

QString clippingText(std::mt19937& random) {
    static const QString words[] = {u"the"_qs,
                                    u"dock"_qs,
                                    u"/home/me/Documents/report.pdf"_qs,
                                    u"\"quoted\""_qs,
                                    u"café"_qs,
                                    u"naïve"_qs,
                                    u"https://example.org/a/b?c=d"_qs,
                                    u"line\nbreak"_qs,
                                    u"tab\t"_qs,
                                    u"emoji 😀"_qs,
                                    u"C:\\path"_qs,
                                    u"clipping"_qs};
    QString text;
    const int length = 130 + static_cast<int>(random() % 100);
    while (text.size() < length) {
        text += words[random() % std::size(words)];
        text += u' ';
    }
    return text;
}

std::vector<Dock> heavyDocks() {
    std::mt19937 random(7);
    Dock clippings = Dock::makeDefault(DockKind::clippings, u"Clippings"_qs);
    auto& items = clippings.tabs[0].items;
    items.reserve(20000);
    for (int i = 0; i < 20000; ++i)
        items.push_back(DockItem::makeClipping(clippingText(random)));

    Dock icons = Dock::makeDefault(DockKind::items, u"Icons"_qs);
    for (int i = 0; i < 20; ++i) {
        DockItem item = DockItem::makeDocklet(DockletKind::clock, u"Clock"_qs);
        QByteArray icon(100 * 1024, Qt::Uninitialized);
        for (char& byte : icon)
            byte = static_cast<char>(random());
        item.customIconData = icon;
        icons.tabs[0].items.push_back(item);
    }
    return {clippings, icons};
}

const std::vector<Dock>& docks() {
    static const std::vector<Dock> docks = heavyDocks();
    return docks;
}

const QByteArray& json() {
    static const QByteArray json = DockCodec::encode(docks()).value();
    return json;
}

void report(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * json().size());
    state.counters["MB"] = static_cast<double>(json().size()) / 1e6;
}

void decode(benchmark::State& state) {
    const QByteArray& input = json();
    for (auto _ : state) {
        DockCodec::Decoded decoded = DockCodec::decode(input);
        if (!decoded.ok())
            state.SkipWithError("the document does not read");
        benchmark::DoNotOptimize(decoded);
    }
    report(state);
}

void encode(benchmark::State& state) {
    const std::vector<Dock>& input = docks();
    for (auto _ : state) {
        std::optional<QByteArray> encoded = DockCodec::encode(input);
        benchmark::DoNotOptimize(encoded);
    }
    report(state);
}

// simdjson's parse alone, for scale: what decoding adds on top is building the records.
void parseOnly(benchmark::State& state) {
    const QByteArray& input = json();
    for (auto _ : state) {
        simdjson::dom::parser parser;
        simdjson::dom::element root;
        if (parser.parse(input.constData(), static_cast<std::size_t>(input.size())).get(root))
            state.SkipWithError("the document does not parse");
        benchmark::DoNotOptimize(root);
    }
    report(state);
}

} // namespace

BENCHMARK(parseOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(decode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(encode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
