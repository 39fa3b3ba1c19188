#include "models/DockJsonReader.h"

#include "models/DockJsonBase64.h"
#include "models/DockJsonSyntax.h"

#include <simdjson.h>

#include <QStringDecoder>

#include <array>
#include <bit>
#include <string_view>

namespace dom = simdjson::dom;
using Type = dom::element_type;

namespace {

// Key names in declaration order; each record's fields are read through the matching enum.
// clang-format off
enum class DockField {
    id, name, kind, tabs, selectedTabIndex, layout, orientation, style, position, columns,
    appearance, autoHide, alwaysOnTop, isVisible, hotKey, screenEdgeForAutoHide,
};
constexpr std::array<std::string_view, 16> dockKeys = {
    "id", "name", "kind", "tabs", "selectedTabIndex", "layout", "orientation", "style", "position",
    "columns", "appearance", "autoHide", "alwaysOnTop", "isVisible", "hotKey",
    "screenEdgeForAutoHide",
};

enum class TabField { id, name, items };
constexpr std::array<std::string_view, 3> tabKeys = {"id", "name", "items"};

enum class ItemField {
    id, kind, name, path, urlString, docklet, textContent, customIconData, createdAt,
};
constexpr std::array<std::string_view, 9> itemKeys = {
    "id", "kind", "name", "path", "urlString", "docklet", "textContent", "customIconData",
    "createdAt",
};

enum class PositionField { x, y, width, height };
constexpr std::array<std::string_view, 4> positionKeys = {"x", "y", "width", "height"};

enum class AppearanceField {
    iconSize, opacity, tintRed, tintGreen, tintBlue, showLabels, cornerRadius,
};
constexpr std::array<std::string_view, 7> appearanceKeys = {
    "iconSize", "opacity", "tintRed", "tintGreen", "tintBlue", "showLabels", "cornerRadius",
};

enum class HotKeyField { keyCode, modifiers };
constexpr std::array<std::string_view, 2> hotKeyKeys = {"keyCode", "modifiers"};
// clang-format on

template <typename Field> constexpr std::uint32_t bit(Field field) {
    return std::uint32_t(1) << static_cast<unsigned>(field);
}
constexpr std::uint32_t allOf(std::size_t count) {
    return (std::uint32_t(1) << count) - 1;
}

constexpr std::uint32_t itemRequired =
    bit(ItemField::id) | bit(ItemField::kind) | bit(ItemField::name) | bit(ItemField::createdAt);

// Index of `key` in `keys`, or keys.size(). Writers keep declaration order, so the key after the
// previous match is tried first.
template <typename Keys>
std::size_t keyIndex(const Keys& keys, std::string_view key, std::size_t hint) {
    if (hint < keys.size() && keys[hint] == key)
        return hint;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (keys[i] == key)
            return i;
    return keys.size();
}

// A value from the file, quoted for a message: shortened, with quotes and control characters
// escaped so that the message stays on one line.
QString quoted(std::string_view text) {
    constexpr qsizetype limit = 40;
    QString value = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const bool shortened = value.size() > limit;
    if (shortened)
        value.truncate(value[limit - 1].isHighSurrogate() ? limit - 1 : limit);
    QString result = QStringLiteral("\"");
    for (const QChar c : value) {
        if (c == u'"' || c == u'\\')
            result += QLatin1Char('\\');
        if (c.unicode() < 0x20)
            result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            result += c;
    }
    if (shortened)
        result += QChar(u'\u2026');
    result += QLatin1Char('"');
    return result;
}

// simdjson has already checked that the text is UTF-8. QString::fromUtf8 drops a leading byte
// order mark, which is part of the text here (a clipping may well start with one).
QString fromUtf8(std::string_view text) {
    const auto size = static_cast<qsizetype>(text.size());
    if (!text.starts_with("\xEF\xBB\xBF"))
        return QString::fromUtf8(text.data(), size);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), size));
}

// The value of each hexadecimal digit, 0x10 or more for any other character.
constexpr std::array<std::uint8_t, 256> hexValues = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(0xF0);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table['a' + i] = static_cast<std::uint8_t>(10 + i);
        table['A' + i] = static_cast<std::uint8_t>(10 + i);
    }
    return table;
}();

// The 36-character 8-4-4-4-12 form in either case, nothing else: QUuid::fromString would also
// take braces and trailing text, and is slow enough to show in a file of 20,000 items. Table
// lookups rather than comparisons, since random digits defeat branch prediction.
std::optional<QUuid> parseUuid(std::string_view text) {
    static constexpr std::array<std::uint8_t, 16> byteAt = {0,  2,  4,  6,  9,  11, 14, 16,
                                                            19, 21, 24, 26, 28, 30, 32, 34};
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    std::array<std::uint8_t, 16> bytes{};
    unsigned invalid = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned high = hexValues[static_cast<unsigned char>(text[byteAt[i]])];
        const unsigned low = hexValues[static_cast<unsigned char>(text[byteAt[i] + 1])];
        invalid |= high | low;
        bytes[i] = static_cast<std::uint8_t>((high << 4) | (low & 0xF));
    }
    if (invalid & 0xF0)
        return std::nullopt;
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), bytes.size()));
}

bool isNumber(Type type) {
    return type == Type::INT64 || type == Type::UINT64 || type == Type::DOUBLE;
}

} // namespace

DockCodec::Decoded DockJsonReader::read(const QByteArray& json) {
    DockCodec::Decoded decoded;
    dom::parser parser;
    dom::element root;
    // simdjson reads a little past the end; a buffer with room to spare is read in place.
    const bool padded = json.capacity() - json.size() >= qsizetype(simdjson::SIMDJSON_PADDING);
    const auto error =
        parser.parse(json.constData(), static_cast<std::size_t>(json.size()), !padded).get(root);
    if (error != simdjson::SUCCESS) {
        decoded.error = QStringLiteral("$: not valid JSON (%1)")
                            .arg(DockJsonSyntax::describe(json, simdjson::error_message(error)));
        return decoded;
    }
    DockJsonReader reader;
    if (!reader.readDocks(root, decoded.docks)) {
        decoded.docks.clear();
        decoded.error = reader.error_;
    }
    return decoded;
}

bool DockJsonReader::readDocks(const Element& root, std::vector<Dock>& docks) {
    const DockJsonPlace place;
    dom::array array;
    if (root.get_array().get(array) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected an array"));
    docks.reserve(array.size());
    std::size_t index = 0;
    for (const dom::element value : array)
        if (!readDock(value, place.at(index++), docks.emplace_back()))
            return false;
    return true;
}

bool DockJsonReader::readDock(const Element& value, const DockJsonPlace& place, Dock& dock) {
    return readFields(value, place, dockKeys, allOf(dockKeys.size()),
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<DockField>(index)) {
                          case DockField::id:
                              return readUuid(field, at, dock.id);
                          case DockField::name:
                              return readString(field, at, dock.name);
                          case DockField::kind:
                              return readEnum(field, at, dock.kind);
                          case DockField::tabs:
                              return readTabs(field, at, dock.tabs);
                          case DockField::selectedTabIndex:
                              return readInt64(field, at, dock.selectedTabIndex);
                          case DockField::layout:
                              return readEnum(field, at, dock.layout);
                          case DockField::orientation:
                              return readEnum(field, at, dock.orientation);
                          case DockField::style:
                              return readEnum(field, at, dock.style);
                          case DockField::position:
                              return readPosition(field, at, dock.position);
                          case DockField::columns:
                              return readInt64(field, at, dock.columns);
                          case DockField::appearance:
                              return readAppearance(field, at, dock.appearance);
                          case DockField::autoHide:
                              return readBool(field, at, dock.autoHide);
                          case DockField::alwaysOnTop:
                              return readBool(field, at, dock.alwaysOnTop);
                          case DockField::isVisible:
                              return readBool(field, at, dock.isVisible);
                          case DockField::hotKey:
                              return readHotKey(field, at, dock.hotKey);
                          case DockField::screenEdgeForAutoHide:
                              return readEnum(field, at, dock.screenEdgeForAutoHide);
                          }
                          return true;
                      });
}

bool DockJsonReader::readTabs(const Element& value, const DockJsonPlace& place,
                              std::vector<DockTab>& tabs) {
    dom::array array;
    if (value.get_array().get(array) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected an array"));
    tabs.reserve(array.size());
    std::size_t index = 0;
    for (const dom::element tab : array)
        if (!readTab(tab, place.at(index++), tabs.emplace_back()))
            return false;
    return true;
}

bool DockJsonReader::readTab(const Element& value, const DockJsonPlace& place, DockTab& tab) {
    return readFields(value, place, tabKeys, allOf(tabKeys.size()),
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<TabField>(index)) {
                          case TabField::id:
                              return readUuid(field, at, tab.id);
                          case TabField::name:
                              return readString(field, at, tab.name);
                          case TabField::items:
                              return readItems(field, at, tab.items);
                          }
                          return true;
                      });
}

bool DockJsonReader::readItems(const Element& value, const DockJsonPlace& place,
                               std::vector<DockItem>& items) {
    dom::array array;
    if (value.get_array().get(array) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected an array"));
    items.reserve(array.size());
    std::size_t index = 0;
    for (const dom::element item : array)
        if (!readItem(item, place.at(index++), items.emplace_back()))
            return false;
    return true;
}

bool DockJsonReader::readItem(const Element& value, const DockJsonPlace& place, DockItem& item) {
    return readFields(value, place, itemKeys, itemRequired,
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<ItemField>(index)) {
                          case ItemField::id:
                              return readUuid(field, at, item.id);
                          case ItemField::kind:
                              return readEnum(field, at, item.kind);
                          case ItemField::name:
                              return readString(field, at, item.name);
                          case ItemField::path:
                              return readOptionalString(field, at, item.path);
                          case ItemField::urlString:
                              return readOptionalString(field, at, item.urlString);
                          case ItemField::docklet:
                              if (field.is_null())
                                  return true;
                              return readEnum(field, at, item.docklet.emplace());
                          case ItemField::textContent:
                              return readOptionalString(field, at, item.textContent);
                          case ItemField::customIconData:
                              return readOptionalBase64(field, at, item.customIconData);
                          case ItemField::createdAt:
                              return readDouble(field, at, item.createdAt);
                          }
                          return true;
                      });
}

bool DockJsonReader::readPosition(const Element& value, const DockJsonPlace& place,
                                  DockPosition& position) {
    return readFields(value, place, positionKeys, allOf(positionKeys.size()),
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<PositionField>(index)) {
                          case PositionField::x:
                              return readDouble(field, at, position.x);
                          case PositionField::y:
                              return readDouble(field, at, position.y);
                          case PositionField::width:
                              return readDouble(field, at, position.width);
                          case PositionField::height:
                              return readDouble(field, at, position.height);
                          }
                          return true;
                      });
}

bool DockJsonReader::readAppearance(const Element& value, const DockJsonPlace& place,
                                    DockAppearance& appearance) {
    return readFields(value, place, appearanceKeys, allOf(appearanceKeys.size()),
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<AppearanceField>(index)) {
                          case AppearanceField::iconSize:
                              return readDouble(field, at, appearance.iconSize);
                          case AppearanceField::opacity:
                              return readDouble(field, at, appearance.opacity);
                          case AppearanceField::tintRed:
                              return readDouble(field, at, appearance.tintRed);
                          case AppearanceField::tintGreen:
                              return readDouble(field, at, appearance.tintGreen);
                          case AppearanceField::tintBlue:
                              return readDouble(field, at, appearance.tintBlue);
                          case AppearanceField::showLabels:
                              return readBool(field, at, appearance.showLabels);
                          case AppearanceField::cornerRadius:
                              return readDouble(field, at, appearance.cornerRadius);
                          }
                          return true;
                      });
}

bool DockJsonReader::readHotKey(const Element& value, const DockJsonPlace& place,
                                HotKeyBinding& hotKey) {
    return readFields(value, place, hotKeyKeys, 0,
                      [&](std::size_t index, const Element& field, const DockJsonPlace& at) {
                          switch (static_cast<HotKeyField>(index)) {
                          case HotKeyField::keyCode:
                              return readOptionalUInt32(field, at, hotKey.keyCode);
                          case HotKeyField::modifiers:
                              return readOptionalUInt32(field, at, hotKey.modifiers);
                          }
                          return true;
                      });
}

template <typename Keys, typename Visit>
bool DockJsonReader::readFields(const Element& value, const DockJsonPlace& place, const Keys& keys,
                                std::uint32_t required, Visit&& visit) {
    dom::object object;
    if (value.get_object().get(object) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected an object"));
    std::uint32_t seen = 0;
    std::size_t hint = 0;
    for (const dom::key_value_pair field : object) {
        const std::size_t index = keyIndex(keys, field.key, hint);
        if (index == keys.size())
            continue;
        hint = index + 1;
        const std::uint32_t mask = std::uint32_t(1) << index;
        if (seen & mask)
            return fail(
                place,
                QStringLiteral("duplicate key \"%1\"").arg(QLatin1StringView(keys[index].data())));
        seen |= mask;
        if (!visit(index, field.value, place.at(keys[index].data())))
            return false;
    }
    if (const std::uint32_t missing = required & ~seen) {
        const auto first = static_cast<std::size_t>(std::countr_zero(missing));
        return fail(
            place, QStringLiteral("missing key \"%1\"").arg(QLatin1StringView(keys[first].data())));
    }
    return true;
}

bool DockJsonReader::readString(const Element& value, const DockJsonPlace& place, QString& out) {
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected a string"));
    out = fromUtf8(text);
    return true;
}

bool DockJsonReader::readOptionalString(const Element& value, const DockJsonPlace& place,
                                        std::optional<QString>& out) {
    if (value.is_null())
        return true;
    return readString(value, place, out.emplace());
}

bool DockJsonReader::readUuid(const Element& value, const DockJsonPlace& place, QUuid& out) {
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected a string"));
    const std::optional<QUuid> id = parseUuid(text);
    if (!id)
        return fail(place, QStringLiteral("malformed UUID %1").arg(quoted(text)));
    out = *id;
    return true;
}

template <typename E>
bool DockJsonReader::readEnum(const Element& value, const DockJsonPlace& place, E& out) {
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected a string"));
    const std::optional<E> found = fromStoredText<E>(text);
    if (!found)
        return fail(place, QStringLiteral("unknown value %1").arg(quoted(text)));
    out = *found;
    return true;
}

bool DockJsonReader::readInt64(const Element& value, const DockJsonPlace& place,
                               std::int64_t& out) {
    switch (value.type()) {
    case Type::INT64:
        out = value.get_int64().value_unsafe();
        return true;
    case Type::UINT64:
        return fail(place, QStringLiteral("integer out of range"));
    default:
        return fail(place, QStringLiteral("expected an integer"));
    }
}

bool DockJsonReader::readOptionalUInt32(const Element& value, const DockJsonPlace& place,
                                        std::optional<std::uint32_t>& out) {
    switch (value.type()) {
    case Type::NULL_VALUE:
        return true;
    case Type::INT64: {
        const std::int64_t number = value.get_int64().value_unsafe();
        if (number < 0 || number > std::int64_t(UINT32_MAX))
            return fail(place, QStringLiteral("integer out of range"));
        out = static_cast<std::uint32_t>(number);
        return true;
    }
    case Type::UINT64:
        return fail(place, QStringLiteral("integer out of range"));
    default:
        return fail(place, QStringLiteral("expected an integer"));
    }
}

bool DockJsonReader::readDouble(const Element& value, const DockJsonPlace& place, double& out) {
    const Type type = value.type();
    if (!isNumber(type))
        return fail(place, QStringLiteral("expected a number"));
    // Integers are accepted (48 reads as 48.0); the conversion rounds to nearest like parsing.
    if (type == Type::INT64)
        out = static_cast<double>(value.get_int64().value_unsafe());
    else if (type == Type::UINT64)
        out = static_cast<double>(value.get_uint64().value_unsafe());
    else
        out = value.get_double().value_unsafe();
    return true;
}

bool DockJsonReader::readBool(const Element& value, const DockJsonPlace& place, bool& out) {
    if (value.get_bool().get(out) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected a boolean"));
    return true;
}

bool DockJsonReader::readOptionalBase64(const Element& value, const DockJsonPlace& place,
                                        std::optional<QByteArray>& out) {
    if (value.is_null())
        return true;
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS)
        return fail(place, QStringLiteral("expected a string"));
    std::optional<QByteArray> bytes = DockJsonBase64::decode(text);
    if (!bytes)
        return fail(place, QStringLiteral("not valid Base64"));
    out = std::move(bytes);
    return true;
}

bool DockJsonReader::fail(const DockJsonPlace& place, const QString& problem) {
    error_ = place.toString() + QStringLiteral(": ") + problem;
    return false;
}
