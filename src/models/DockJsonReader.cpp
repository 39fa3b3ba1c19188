// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonReader.h"

#include "models/DockJsonBase64.h"
#include "models/DockJsonInteger.h"
#include "models/DockJsonSyntax.h"
#include "models/DockJsonText.h"
#include "platform/FileSystem.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

namespace ondemand = simdjson::ondemand;
using simdjson::error_code;

// Files come from FileSystem::readAll with room for simdjson to read ahead in place.
static_assert(FileSystem::readPadding >= qsizetype(simdjson::SIMDJSON_PADDING));

namespace {

// A key with its closing quote, compared with the raw text of a key in two 8-byte loads rather
// than a call to memcmp: tens of thousands of items have nine keys each. The text read past a
// short key is the rest of the document or the padding simdjson requires after it.
struct QuotedKey {
    std::string_view key;
    std::array<std::uint64_t, 2> bytes{};
    std::array<std::uint64_t, 2> mask{};

    bool matches(const char* raw) const {
        if (std::endian::native != std::endian::little || key.size() >= 16)
            return std::memcmp(raw, key.data(), key.size()) == 0 && raw[key.size()] == '"';
        std::array<std::uint64_t, 2> text;
        std::memcpy(text.data(), raw, sizeof text);
        return ((text[0] ^ bytes[0]) & mask[0]) == 0 && ((text[1] ^ bytes[1]) & mask[1]) == 0;
    }
};

template <std::size_t N>
constexpr std::array<QuotedKey, N> quotedKeys(const std::array<std::string_view, N>& keys) {
    std::array<QuotedKey, N> quoted{};
    for (std::size_t k = 0; k < N; ++k) {
        quoted[k].key = keys[k];
        for (std::size_t i = 0; i <= keys[k].size() && i < 16; ++i) {
            const auto c = static_cast<unsigned char>(i < keys[k].size() ? keys[k][i] : '"');
            quoted[k].bytes[i / 8] |= std::uint64_t(c) << (8 * (i % 8));
            quoted[k].mask[i / 8] |= std::uint64_t(0xFF) << (8 * (i % 8));
        }
    }
    return quoted;
}

// Key names in declaration order; each record's fields are read through the matching enum.
// clang-format off
enum class DockField {
    id, name, kind, tabs, selectedTabIndex, layout, orientation, style, position, columns,
    appearance, autoHide, alwaysOnTop, isVisible, hotKey, screenEdgeForAutoHide,
};
constexpr auto dockKeys = quotedKeys(std::array<std::string_view, 16>{
    "id", "name", "kind", "tabs", "selectedTabIndex", "layout", "orientation", "style", "position",
    "columns", "appearance", "autoHide", "alwaysOnTop", "isVisible", "hotKey",
    "screenEdgeForAutoHide",
});

enum class TabField { id, name, items };
constexpr auto tabKeys = quotedKeys(std::array<std::string_view, 3>{"id", "name", "items"});

enum class ItemField {
    id, kind, name, path, urlString, docklet, textContent, customIconData, createdAt,
};
constexpr auto itemKeys = quotedKeys(std::array<std::string_view, 9>{
    "id", "kind", "name", "path", "urlString", "docklet", "textContent", "customIconData",
    "createdAt",
});

enum class PositionField { x, y, width, height };
constexpr auto positionKeys = quotedKeys(std::array<std::string_view, 4>{"x", "y", "width", "height"});

enum class AppearanceField {
    iconSize, opacity, tintRed, tintGreen, tintBlue, showLabels, cornerRadius,
};
constexpr auto appearanceKeys = quotedKeys(std::array<std::string_view, 7>{
    "iconSize", "opacity", "tintRed", "tintGreen", "tintBlue", "showLabels", "cornerRadius",
});

enum class HotKeyField { keyCode, modifiers };
constexpr auto hotKeyKeys = quotedKeys(std::array<std::string_view, 2>{"keyCode", "modifiers"});
// clang-format on

template <typename Field> constexpr std::uint32_t bit(Field field) {
    return std::uint32_t(1) << static_cast<unsigned>(field);
}
constexpr std::uint32_t allOf(std::size_t count) {
    return (std::uint32_t(1) << count) - 1;
}

constexpr std::uint32_t itemRequired =
    bit(ItemField::id) | bit(ItemField::kind) | bit(ItemField::name) | bit(ItemField::createdAt);

// The reader walks the records in order and stops at their first problem, before it has seen
// the rest of the file. A file that is not JSON at all is reported as such, so on any failure the
// whole text is parsed once more to tell the two apart; simdjson's DOM checks all of it.
std::optional<QString> syntaxError(simdjson::padded_string_view input) {
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    const error_code error = parser.parse(input.data(), input.length(), false).get(root);
    if (error == simdjson::MEMALLOC)
        throw std::bad_alloc();
    if (error == simdjson::SUCCESS)
        return std::nullopt;
    const QByteArray text = QByteArray::fromRawData(input.data(), qsizetype(input.length()));
    return QStringLiteral("$: not valid JSON (%1)")
        .arg(DockJsonSyntax::describe(text, simdjson::error_message(error)));
}

// Where the raw text of a key holds an escape, it must be unescaped before it can be compared.
bool hasEscape(ondemand::raw_json_string key) {
    for (const char* c = key.raw(); *c != '"'; ++c)
        if (*c == '\\')
            return true;
    return false;
}

} // namespace

DockJsonReader::DockJsonReader(const QByteArray& json) : file_(json) {
    std::string_view text(json.constData(), static_cast<std::size_t>(json.size()));
    // Some editors begin a UTF-8 file with a byte order mark.
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
        fileStart_ = 3;
    }
    // simdjson reads a little past the end: bytes with room to spare after them (the allocation
    // may also begin before them) are read in place, others are copied.
    const qsizetype spare = const_cast<QByteArray&>(json).data_ptr().freeSpaceAtEnd();
    if (spare >= qsizetype(simdjson::SIMDJSON_PADDING)) {
        input_ = simdjson::padded_string_view(text.data(), text.size(),
                                              text.size() + static_cast<std::size_t>(spare));
    } else {
        copy_ = simdjson::padded_string(text);
        input_ = copy_;
    }
}

DockCodec::Decoded DockJsonReader::read(Items items, const ItemSink& sink) {
    values_ = DockJsonValueReader();
    values_.setSource(file_, fileStart_, input_.data());
    items_ = items;
    sink_ = &sink;
    stopped_ = false;
    if (!indexed_)
        indexed_ = parser_.iterate(input_).get(document_);
    else if (*indexed_ == simdjson::SUCCESS)
        document_.rewind();
    if (*indexed_ == simdjson::MEMALLOC)
        throw std::bad_alloc();
    leftOut_ = 0;
    DockCodec::Decoded decoded;
    if (*indexed_ != simdjson::SUCCESS ? values_.invalid(DockJsonPlace(), *indexed_)
                                       : readDocks(document_, decoded.docks)) {
        decoded.itemsLeftOut = leftOut_;
        return decoded;
    }
    decoded.docks.clear();
    if (!stopped_)
        decoded.error = syntaxError(input_).value_or(values_.error());
    return decoded;
}

DockCodec::Decoded DockJsonReader::readFirst(std::size_t itemsPerTab) {
    keptPerTab_ = itemsPerTab;
    const auto restore = qScopeGuard([this] { keptPerTab_ = SIZE_MAX; });
    return read(Items::kept);
}

bool DockJsonReader::readDocks(ondemand::document& document, std::vector<Dock>& docks) {
    const DockJsonPlace place;
    Array array;
    if (const error_code error = document.get_array().get(array))
        return values_.wrongType(place, error, "expected an array");
    if (!readList(array, place, docks, &DockJsonReader::readDock))
        return false;
    // Nothing may follow the array: there is no location left to read.
    if (document.current_location().error() == simdjson::OUT_OF_BOUNDS)
        return true;
    return values_.invalid(place, simdjson::TRAILING_CONTENT);
}

bool DockJsonReader::readDock(Value& value, const DockJsonPlace& place, Dock& dock) {
    return readFields(
        value, place, dockKeys, allOf(dockKeys.size()),
        [&](std::size_t index, Value& field, const DockJsonPlace& at) {
            switch (static_cast<DockField>(index)) {
            case DockField::id:
                return values_.readUuid(field, at, dock.id);
            case DockField::name:
                return values_.readString(field, at, dock.name);
            case DockField::kind:
                return values_.readEnum(field, at, dock.kind);
            case DockField::tabs:
                return readTabs(field, at, dock.tabs);
            case DockField::selectedTabIndex:
                return values_.readInteger(field, at, INT64_MIN, INT64_MAX, dock.selectedTabIndex);
            case DockField::layout:
                return values_.readEnum(field, at, dock.layout);
            case DockField::orientation:
                return values_.readEnum(field, at, dock.orientation);
            case DockField::style:
                return values_.readEnum(field, at, dock.style);
            case DockField::position:
                return readPosition(field, at, dock.position);
            case DockField::columns:
                return values_.readInteger(field, at, INT64_MIN, INT64_MAX, dock.columns);
            case DockField::appearance:
                return readAppearance(field, at, dock.appearance);
            case DockField::autoHide:
                return values_.readBool(field, at, dock.autoHide);
            case DockField::alwaysOnTop:
                return values_.readBool(field, at, dock.alwaysOnTop);
            case DockField::isVisible:
                return values_.readBool(field, at, dock.isVisible);
            case DockField::hotKey:
                return readHotKey(field, at, dock.hotKey);
            case DockField::screenEdgeForAutoHide:
                return values_.readEnum(field, at, dock.screenEdgeForAutoHide);
            }
            return true;
        });
}

bool DockJsonReader::readTab(Value& value, const DockJsonPlace& place, DockTab& tab) {
    return readFields(value, place, tabKeys, allOf(tabKeys.size()),
                      [&](std::size_t index, Value& field, const DockJsonPlace& at) {
                          switch (static_cast<TabField>(index)) {
                          case TabField::id:
                              return values_.readUuid(field, at, tab.id);
                          case TabField::name:
                              return values_.readString(field, at, tab.name);
                          case TabField::items:
                              return readItems(field, at, tab.items);
                          }
                          return true;
                      });
}

bool DockJsonReader::readItem(Value& value, const DockJsonPlace& place, DockItem& item) {
    return readFields(value, place, itemKeys, itemRequired,
                      [&](std::size_t index, Value& field, const DockJsonPlace& at) {
                          switch (static_cast<ItemField>(index)) {
                          case ItemField::id:
                              return values_.readUuid(field, at, item.id);
                          case ItemField::kind:
                              return values_.readEnum(field, at, item.kind);
                          case ItemField::name:
                              return values_.readString(field, at, item.name);
                          case ItemField::path:
                              return values_.readOptionalString(field, at, item.path);
                          case ItemField::urlString:
                              return values_.readOptionalString(field, at, item.urlString);
                          case ItemField::docklet:
                              return values_.isNull(field) ||
                                     values_.readEnum(field, at, item.docklet.emplace());
                          case ItemField::textContent:
                              return values_.readOptionalText(field, at, item.textContent);
                          case ItemField::customIconData:
                              return values_.readOptionalBase64(field, at, item.customIconData);
                          case ItemField::createdAt:
                              return values_.readDouble(field, at, item.createdAt);
                          }
                          return true;
                      });
}

bool DockJsonReader::readPosition(Value& value, const DockJsonPlace& place,
                                  DockPosition& position) {
    return readFields(value, place, positionKeys, allOf(positionKeys.size()),
                      [&](std::size_t index, Value& field, const DockJsonPlace& at) {
                          switch (static_cast<PositionField>(index)) {
                          case PositionField::x:
                              return values_.readDouble(field, at, position.x);
                          case PositionField::y:
                              return values_.readDouble(field, at, position.y);
                          case PositionField::width:
                              return values_.readDouble(field, at, position.width);
                          case PositionField::height:
                              return values_.readDouble(field, at, position.height);
                          }
                          return true;
                      });
}

bool DockJsonReader::readAppearance(Value& value, const DockJsonPlace& place,
                                    DockAppearance& appearance) {
    return readFields(value, place, appearanceKeys, allOf(appearanceKeys.size()),
                      [&](std::size_t index, Value& field, const DockJsonPlace& at) {
                          switch (static_cast<AppearanceField>(index)) {
                          case AppearanceField::iconSize:
                              return values_.readDouble(field, at, appearance.iconSize);
                          case AppearanceField::opacity:
                              return values_.readDouble(field, at, appearance.opacity);
                          case AppearanceField::tintRed:
                              return values_.readDouble(field, at, appearance.tintRed);
                          case AppearanceField::tintGreen:
                              return values_.readDouble(field, at, appearance.tintGreen);
                          case AppearanceField::tintBlue:
                              return values_.readDouble(field, at, appearance.tintBlue);
                          case AppearanceField::showLabels:
                              return values_.readBool(field, at, appearance.showLabels);
                          case AppearanceField::cornerRadius:
                              return values_.readDouble(field, at, appearance.cornerRadius);
                          }
                          return true;
                      });
}

bool DockJsonReader::readHotKey(Value& value, const DockJsonPlace& place, HotKeyBinding& hotKey) {
    return readFields(value, place, hotKeyKeys, 0,
                      [&](std::size_t index, Value& field, const DockJsonPlace& at) {
                          switch (static_cast<HotKeyField>(index)) {
                          case HotKeyField::keyCode:
                              return values_.readOptionalUInt32(field, at, hotKey.keyCode);
                          case HotKeyField::modifiers:
                              return values_.readOptionalUInt32(field, at, hotKey.modifiers);
                          }
                          return true;
                      });
}

bool DockJsonReader::readTabs(Value& value, const DockJsonPlace& place,
                              std::vector<DockTab>& tabs) {
    Array array;
    if (const error_code error = value.get_array().get(array))
        return values_.wrongType(place, error, "expected an array");
    return readList(array, place, tabs, &DockJsonReader::readTab);
}

bool DockJsonReader::readItems(Value& value, const DockJsonPlace& place,
                               std::vector<DockItem>& items) {
    Array array;
    if (const error_code error = value.get_array().get(array))
        return values_.wrongType(place, error, "expected an array");
    // How many of the items become records of the tab; the others are only checked, or handed
    // to the sink.
    std::size_t kept = 0;
    if (items_ == Items::kept) {
        // Counting first costs a quick skip through the array; growing the vector instead would
        // copy it and, for the largest files, touch twice its memory.
        std::size_t count = 0;
        if (const error_code error = array.count_elements().get(count))
            return values_.invalid(place, error);
        kept = std::min(count, keptPerTab_);
        items.reserve(kept);
        if (kept == count)
            return readList(array, place, items, &DockJsonReader::readItem);
        leftOut_ += count - kept;
    }
    std::size_t index = 0;
    DockItem item;
    for (auto element : array) {
        Value itemValue;
        if (const error_code error = element.get(itemValue))
            return values_.invalid(place.at(index), error);
        const bool record = index < kept;
        values_.setConvertsText(record || items_ == Items::streamed);
        if (!record)
            item = DockItem();
        if (!readItem(itemValue, place.at(index++), record ? items.emplace_back() : item))
            return false;
        if (!record && *sink_ && !(*sink_)(dock_, tab_, item)) {
            stopped_ = true;
            return false;
        }
    }
    values_.setConvertsText(true);
    return true;
}

template <typename Record>
bool DockJsonReader::readList(Array& array, const DockJsonPlace& place,
                              std::vector<Record>& records,
                              bool (DockJsonReader::*readRecord)(Value&, const DockJsonPlace&,
                                                                 Record&)) {
    std::size_t index = 0;
    for (auto element : array) {
        Value value;
        if (const error_code error = element.get(value))
            return values_.invalid(place.at(index), error);
        if constexpr (std::is_same_v<Record, Dock>)
            dock_ = index;
        if constexpr (std::is_same_v<Record, DockTab>)
            tab_ = index;
        if (!(this->*readRecord)(value, place.at(index++), records.emplace_back()))
            return false;
    }
    return true;
}

template <typename Keys, typename Visit>
bool DockJsonReader::readFields(Value& value, const DockJsonPlace& place, const Keys& keys,
                                std::uint32_t required, Visit&& visit) {
    ondemand::object object;
    if (const error_code error = value.get_object().get(object))
        return values_.wrongType(place, error, "expected an object");
    std::uint32_t seen = 0;
    std::size_t hint = 0;
    for (auto result : object) {
        ondemand::field field;
        if (const error_code error = std::move(result).get(field))
            return values_.invalid(place, error);
        std::size_t index = 0;
        if (!keyIndex(field, place, keys, hint, index))
            return false;
        if (index == keys.size()) {
            if (!values_.checkIgnored(field.value(), place))
                return false;
            continue;
        }
        hint = index + 1;
        const std::uint32_t mask = std::uint32_t(1) << index;
        if (seen & mask)
            return values_.fail(place, QStringLiteral("duplicate key \"%1\"")
                                           .arg(QLatin1StringView(keys[index].key.data())));
        seen |= mask;
        if (!visit(index, field.value(), place.at(keys[index].key.data())))
            return false;
    }
    if (const std::uint32_t missing = required & ~seen) {
        const auto first = static_cast<std::size_t>(std::countr_zero(missing));
        return values_.fail(
            place,
            QStringLiteral("missing key \"%1\"").arg(QLatin1StringView(keys[first].key.data())));
    }
    return true;
}

// The index of the field's key in `keys`, or keys.size(). Writers keep declaration order, so the
// key after the previous match is tried first, on the raw text.
template <typename Keys>
bool DockJsonReader::keyIndex(ondemand::field& field, const DockJsonPlace& place, const Keys& keys,
                              std::size_t hint, std::size_t& index) {
    const ondemand::raw_json_string raw = field.key();
    if (hint < keys.size() && keys[hint].matches(raw.raw())) {
        index = hint;
        return true;
    }
    for (index = 0; index < keys.size(); ++index)
        if (keys[index].matches(raw.raw()))
            return true;
    if (!hasEscape(raw))
        return true;
    std::string_view key;
    if (const error_code error = field.unescaped_key().get(key))
        return values_.invalid(place, error);
    for (index = 0; index < keys.size(); ++index)
        if (key == keys[index].key)
            break;
    return true;
}
