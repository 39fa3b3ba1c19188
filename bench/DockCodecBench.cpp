// SPDX-License-Identifier: GPL-3.0-or-later
// docks.json at the size of a heavy user: about 10 MB, 20,000 text clippings and 20 custom
// icons of 100 KB. Prints the time and throughput of reading it into records and writing it,
// warm and in-process. `--write-clippings FILE` writes instead the 12 MB file of 20,000 longer
// clippings that bench/cold-read.sh reads in fresh processes, and `--load FILE` reads a file as
// the store does at start; `clippings` below reads the same text warm.

#include "backends/linux/LocalFileSystem.h"
#include "models/DockCodec.h"

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <QFile>

#include <cstdio>
#include <cstring>
#include <random>

namespace {

QString clippingText(std::mt19937& random, int shortest, int spread) {
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
    const int length = shortest + static_cast<int>(random() % spread);
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
        items.push_back(DockItem::makeClipping(clippingText(random, 130, 100)));

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

// About 400 characters each, as a user who keeps every clipping for a year.
std::vector<Dock> clippingDocks() {
    std::mt19937 random(11);
    Dock clippings = Dock::makeDefault(DockKind::clippings, u"Clippings"_qs);
    auto& items = clippings.tabs[0].items;
    items.reserve(20000);
    for (int i = 0; i < 20000; ++i)
        items.push_back(DockItem::makeClipping(clippingText(random, 350, 100)));
    return {clippings};
}

const QByteArray& clippingsJson() {
    static const QByteArray json = DockCodec::encode(clippingDocks()).value();
    return json;
}

const std::vector<Dock>& docks() {
    static const std::vector<Dock> docks = heavyDocks();
    return docks;
}

const QByteArray& json() {
    static const QByteArray json = DockCodec::encode(docks()).value();
    return json;
}

void report(benchmark::State& state, const QByteArray& input) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * input.size());
    state.counters["MB"] = static_cast<double>(input.size()) / 1e6;
}

void decode(benchmark::State& state, const QByteArray& (*json)()) {
    const QByteArray& input = json();
    for (auto _ : state) {
        DockCodec::Decoded decoded = DockCodec::decode(input);
        if (!decoded.ok())
            state.SkipWithError("the document does not read");
        benchmark::DoNotOptimize(decoded);
    }
    report(state, input);
}

void encode(benchmark::State& state) {
    const std::vector<Dock>& input = docks();
    for (auto _ : state) {
        std::optional<QByteArray> encoded = DockCodec::encode(input);
        benchmark::DoNotOptimize(encoded);
    }
    report(state, json());
}

// simdjson's DOM parse alone, for scale: the reader itself iterates on demand.
void parseOnly(benchmark::State& state, const QByteArray& (*json)()) {
    const QByteArray& input = json();
    for (auto _ : state) {
        simdjson::dom::parser parser;
        simdjson::dom::element root;
        if (parser.parse(input.constData(), static_cast<std::size_t>(input.size())).get(root))
            state.SkipWithError("the document does not parse");
        benchmark::DoNotOptimize(root);
    }
    report(state, input);
}

int writeClippings(const char* fileName) {
    QFile file(QFile::decodeName(fileName));
    if (file.open(QIODevice::WriteOnly) && file.write(clippingsJson()) == clippingsJson().size() &&
        file.flush())
        return 0;
    std::fprintf(stderr, "cannot write %s\n", fileName);
    return 1;
}

} // namespace

BENCHMARK_CAPTURE(parseOnly, icons, json)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(decode, icons, json)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(encode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(parseOnly, clippings, clippingsJson)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(decode, clippings, clippingsJson)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What the store does at start: the file system's read, then the records decoded.
int load(const char* fileName) {
    const std::optional<QByteArray> bytes = LocalFileSystem().readAll(QFile::decodeName(fileName));
    const DockCodec::Decoded decoded = DockCodec::decode(bytes.value_or(QByteArray()));
    std::printf("%zu docks\n", decoded.docks.size());
    return decoded.ok() ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-clippings") == 0)
        return writeClippings(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0)
        return load(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
