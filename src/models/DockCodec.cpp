// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockCodec.h"

#include "models/DockJsonReader.h"
#include "models/DockJsonStreamWriter.h"
#include "models/DockJsonWriter.h"

#include <new>

namespace {

using Items = DockJsonReader::Items;

const QString outOfMemory = QStringLiteral("$: too large to read in the memory available");

template <typename Reading> DockCodec::Decoded guarded(const Reading& reading) {
    try {
        return reading();
    } catch (const std::bad_alloc&) {
        return {{}, outOfMemory};
    }
}

DockCodec::Decoded read(const QByteArray& json, Items items,
                        const DockJsonReader::ItemSink& sink = {}) {
    return guarded([&] { return DockJsonReader(json).read(items, sink); });
}

} // namespace

std::optional<QByteArray> DockCodec::encode(const std::vector<Dock>& docks) {
    return DockJsonWriter::write(docks);
}

DockCodec::Decoded DockCodec::decode(const QByteArray& json) {
    return read(json, Items::kept);
}

DockCodec::Decoded DockCodec::decodeFirst(const QByteArray& json, std::size_t itemsPerTab) {
    return guarded([&] { return DockJsonReader(json).readFirst(itemsPerTab); });
}

DockCodec::Summary DockCodec::check(const QByteArray& json) {
    Summary summary;
    const Decoded decoded = read(json, Items::checked, [&summary](auto, auto, const DockItem&) {
        ++summary.items;
        return true;
    });
    if (!decoded.ok())
        return {0, 0, 0, decoded.error};
    summary.docks = decoded.docks.size();
    for (const Dock& dock : decoded.docks)
        summary.tabs += dock.tabs.size();
    return summary;
}

QString DockCodec::reformat(const QByteArray& json,
                            const std::function<bool(QByteArrayView text)>& write) {
    try {
        DockJsonReader reader(json);
        const Decoded skeleton = reader.read(Items::checked);
        if (!skeleton.ok())
            return skeleton.error;
        DockJsonStreamWriter writer(skeleton.docks, write);
        const Decoded streamed = reader.read(
            Items::streamed, [&writer](std::size_t dock, std::size_t tab, const DockItem& item) {
                return writer.item(dock, tab, item);
            });
        if (streamed.ok())
            writer.finish();
        return streamed.error;
    } catch (const std::bad_alloc&) {
        return outOfMemory;
    }
}
