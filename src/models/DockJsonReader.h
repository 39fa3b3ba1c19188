#pragma once

#include "models/DockCodec.h"
#include "models/DockJsonPlace.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace simdjson::dom {
class element;
}

// Reads docks.json strictly and all-or-nothing on top of simdjson's DOM: the first problem
// (missing or duplicate key, wrong JSON type, unknown enumeration text, integer out of range,
// malformed UUID or Base64) fails the whole file and is reported with its place.
class DockJsonReader {
public:
    static DockCodec::Decoded read(const QByteArray& json);

private:
    using Element = simdjson::dom::element;

    DockJsonReader() = default;

    bool readDocks(const Element& root, std::vector<Dock>& docks);
    bool readDock(const Element& value, const DockJsonPlace& place, Dock& dock);
    bool readTabs(const Element& value, const DockJsonPlace& place, std::vector<DockTab>& tabs);
    bool readTab(const Element& value, const DockJsonPlace& place, DockTab& tab);
    bool readItems(const Element& value, const DockJsonPlace& place, std::vector<DockItem>& items);
    bool readItem(const Element& value, const DockJsonPlace& place, DockItem& item);
    bool readPosition(const Element& value, const DockJsonPlace& place, DockPosition& position);
    bool readAppearance(const Element& value, const DockJsonPlace& place,
                        DockAppearance& appearance);
    bool readHotKey(const Element& value, const DockJsonPlace& place, HotKeyBinding& hotKey);

    // Calls visit(index, value, place) for every field whose key is keys[index]; other keys are
    // ignored. A key given twice is refused: which of two values is meant cannot be known.
    template <typename Keys, typename Visit>
    bool readFields(const Element& value, const DockJsonPlace& place, const Keys& keys,
                    std::uint32_t required, Visit&& visit);

    bool readString(const Element& value, const DockJsonPlace& place, QString& out);
    bool readOptionalString(const Element& value, const DockJsonPlace& place,
                            std::optional<QString>& out);
    bool readUuid(const Element& value, const DockJsonPlace& place, QUuid& out);
    template <typename E> bool readEnum(const Element& value, const DockJsonPlace& place, E& out);
    bool readInt64(const Element& value, const DockJsonPlace& place, std::int64_t& out);
    bool readOptionalUInt32(const Element& value, const DockJsonPlace& place,
                            std::optional<std::uint32_t>& out);
    bool readDouble(const Element& value, const DockJsonPlace& place, double& out);
    bool readBool(const Element& value, const DockJsonPlace& place, bool& out);
    bool readOptionalBase64(const Element& value, const DockJsonPlace& place,
                            std::optional<QByteArray>& out);

    bool fail(const DockJsonPlace& place, const QString& problem);

    QString error_;
};
