// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockCodec.h"
#include "models/DockJsonPlace.h"
#include "models/DockJsonValueReader.h"

#include <simdjson.h>

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>

// Reads docks.json strictly and all-or-nothing with simdjson's On-Demand API: no document tree,
// and records made straight from the bytes. The first problem (missing or duplicate key, wrong
// JSON type, unknown enumeration text, integer that does not fit, malformed UUID or Base64)
// fails the whole file and is reported with its place; a file that is not JSON at all is
// reported as such, whatever else is wrong with it.
class DockJsonReader {
public:
    // What becomes of the items: kept in their tabs; only checked (their strings are not even
    // converted); or read whole and handed to a sink, one at a time, and dropped.
    enum class Items { kept, checked, streamed };
    // Called for each item, with the indices of its dock and tab; false stops the reading.
    using ItemSink = std::function<bool(std::size_t dock, std::size_t tab, const DockItem& item)>;

    // Keeps a view of `json`, which must outlive the reader: in place when it has room after
    // its bytes, else of a copy.
    explicit DockJsonReader(const QByteArray& json);
    DockJsonReader(const DockJsonReader&) = delete;
    DockJsonReader& operator=(const DockJsonReader&) = delete;

    // Reads the whole text. A second reading starts again from the index of the first (simdjson
    // does not index the text twice). A reading that a sink stopped answers no docks and an
    // empty error. Throws std::bad_alloc when memory runs out, simdjson's included.
    DockCodec::Decoded read(Items items, const ItemSink& sink = {});
    // A reading that keeps only the first `itemsPerTab` items of each tab, and checks the others
    // as strictly (DockCodec::Decoded::itemsLeftOut counts them).
    DockCodec::Decoded readFirst(std::size_t itemsPerTab);

private:
    using Value = simdjson::ondemand::value;
    using Array = simdjson::ondemand::array;

    bool readDocks(simdjson::ondemand::document& document, std::vector<Dock>& docks);
    bool readDock(Value& value, const DockJsonPlace& place, Dock& dock);
    bool readTabs(Value& value, const DockJsonPlace& place, std::vector<DockTab>& tabs);
    bool readTab(Value& value, const DockJsonPlace& place, DockTab& tab);
    bool readItems(Value& value, const DockJsonPlace& place, std::vector<DockItem>& items);
    bool readItem(Value& value, const DockJsonPlace& place, DockItem& item);
    bool readPosition(Value& value, const DockJsonPlace& place, DockPosition& position);
    bool readAppearance(Value& value, const DockJsonPlace& place, DockAppearance& appearance);
    bool readHotKey(Value& value, const DockJsonPlace& place, HotKeyBinding& hotKey);

    template <typename Record>
    bool readList(Array& array, const DockJsonPlace& place, std::vector<Record>& records,
                  bool (DockJsonReader::*readRecord)(Value&, const DockJsonPlace&, Record&));
    // Calls visit(index, value, place) for every field whose key is keys[index]; other keys are
    // ignored. A key given twice is refused: which of two values is meant cannot be known.
    template <typename Keys, typename Visit>
    bool readFields(Value& value, const DockJsonPlace& place, const Keys& keys,
                    std::uint32_t required, Visit&& visit);
    template <typename Keys>
    bool keyIndex(simdjson::ondemand::field& field, const DockJsonPlace& place, const Keys& keys,
                  std::size_t hint, std::size_t& index);

    simdjson::padded_string copy_;
    simdjson::padded_string_view input_;
    QByteArray file_;         // what texts kept as read refer to
    qsizetype fileStart_ = 0; // where the input starts in it (after a byte order mark)
    simdjson::ondemand::parser parser_;
    simdjson::ondemand::document document_;
    std::optional<simdjson::error_code> indexed_; // once the first reading has begun

    // The state of one reading.
    DockJsonValueReader values_;
    Items items_ = Items::kept;
    const ItemSink* sink_ = nullptr;
    std::size_t dock_ = 0; // indices of the dock and tab being read, for the sink
    std::size_t tab_ = 0;
    bool stopped_ = false;
    std::size_t keptPerTab_ = SIZE_MAX;
    std::size_t leftOut_ = 0;
};
