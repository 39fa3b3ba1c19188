// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonValueReader.h"

#include "models/DockJsonBase64.h"
#include "models/DockJsonInteger.h"

namespace ondemand = simdjson::ondemand;
using simdjson::error_code;

bool DockJsonValueReader::checkIgnored(Value& value, const DockJsonPlace& place) {
    if (value.current_depth() > int32_t(simdjson::DEFAULT_MAX_DEPTH))
        return invalid(place, simdjson::DEPTH_ERROR);
    ondemand::json_type type;
    if (const error_code error = value.type().get(type))
        return invalid(place, error);
    error_code error = simdjson::SUCCESS;
    switch (type) {
    case ondemand::json_type::array:
        return checkIgnoredArray(value, place);
    case ondemand::json_type::object:
        return checkIgnoredObject(value, place);
    case ondemand::json_type::string:
        return checkText(value, place);
    case ondemand::json_type::null:
        return isNull(value) || invalid(place, simdjson::N_ATOM_ERROR);
    case ondemand::json_type::number:
        error = value.get_double().error();
        break;
    case ondemand::json_type::boolean:
        error = value.get_bool().error();
        break;
    }
    return error == simdjson::SUCCESS || invalid(place, error);
}

bool DockJsonValueReader::checkIgnoredArray(Value& value, const DockJsonPlace& place) {
    ondemand::array array;
    if (const error_code error = value.get_array().get(array))
        return invalid(place, error);
    for (auto element : array) {
        Value inner;
        if (const error_code error = element.get(inner))
            return invalid(place, error);
        if (!checkIgnored(inner, place))
            return false;
    }
    return true;
}

bool DockJsonValueReader::checkIgnoredObject(Value& value, const DockJsonPlace& place) {
    ondemand::object object;
    if (const error_code error = value.get_object().get(object))
        return invalid(place, error);
    for (auto result : object) {
        ondemand::field field;
        std::string_view key;
        if (const error_code error = std::move(result).get(field))
            return invalid(place, error);
        if (const error_code error = field.unescaped_key().get(key))
            return invalid(place, error);
        if (!checkIgnored(field.value(), place))
            return false;
    }
    return true;
}

bool DockJsonValueReader::text(Value& value, const DockJsonPlace& place, std::string_view& out) {
    std::string_view inside;
    if (!insideQuotes(value, place, inside))
        return false;
    const bool plain = inside.find('\\') == std::string_view::npos;
    if (plain || DockJsonText::unescapeShort(inside, unescaped_)) {
        if (const error_code error = value.get_raw_json_string().error())
            return invalid(place, error);
        out = plain ? inside : std::string_view(unescaped_);
        return true;
    }
    // \u escapes and anything odd: simdjson unescapes and judges them.
    if (const error_code error = value.get_string().get(out))
        return invalid(place, error);
    return true;
}

bool DockJsonValueReader::checkText(Value& value, const DockJsonPlace& place) {
    std::string_view inside;
    if (!insideQuotes(value, place, inside))
        return false;
    const error_code error = DockJsonText::hasOnlyShortEscapes(inside)
                                 ? value.get_raw_json_string().error()
                                 : value.get_string().error();
    return error == simdjson::SUCCESS || invalid(place, error);
}

bool DockJsonValueReader::insideQuotes(Value& value, const DockJsonPlace& place,
                                       std::string_view& inside) {
    std::string_view token = value.raw_json_token();
    if (!token.starts_with('"'))
        return wrongType(place, simdjson::INCORRECT_TYPE, "expected a string");
    // The token runs to the next one: the closing quote and any white space after it.
    while (token.size() > 1 && token.back() != '"')
        token.remove_suffix(1);
    inside = token.substr(1, token.size() - 2);
    return true;
}

bool DockJsonValueReader::isNull(Value& value) {
    bool null = false;
    return value.is_null().get(null) == simdjson::SUCCESS && null;
}

bool DockJsonValueReader::readString(Value& value, const DockJsonPlace& place, QString& out) {
    if (!convertsText_)
        return checkText(value, place);
    std::string_view text;
    if (!this->text(value, place, text))
        return false;
    // Thousands of items may share a name ("Clipping"): the last short text converted is shared
    // rather than converted and allocated again.
    constexpr std::size_t shared = 64;
    if (lastString_ && text == lastText_) {
        out = *lastString_;
        return true;
    }
    out = DockJsonText::toQString(text);
    if (text.size() <= shared) {
        lastText_.assign(text);
        lastString_ = out;
    }
    return true;
}

bool DockJsonValueReader::readOptionalString(Value& value, const DockJsonPlace& place,
                                             std::optional<QString>& out) {
    return isNull(value) || readString(value, place, out.emplace());
}

bool DockJsonValueReader::readOptionalText(Value& value, const DockJsonPlace& place,
                                           std::optional<DockText>& out) {
    if (isNull(value))
        return true;
    std::string_view inside;
    if (!convertsText_ || file_.isNull() || !insideQuotes(value, place, inside) ||
        !DockJsonText::hasOnlyShortEscapes(inside)) {
        // Checked only, or converted now (\u escapes are rare: hand-written files).
        QString text;
        if (!readString(value, place, text))
            return false;
        if (convertsText_)
            out = std::move(text);
        return true;
    }
    if (const error_code error = value.get_raw_json_string().error())
        return invalid(place, error);
    out =
        DockText::fromJson(file_, fileStart_ + (inside.data() - input_), qsizetype(inside.size()));
    return true;
}

bool DockJsonValueReader::readUuid(Value& value, const DockJsonPlace& place, QUuid& out) {
    std::string_view text;
    if (!this->text(value, place, text))
        return false;
    const std::optional<QUuid> id = DockJsonText::parseUuid(text);
    if (!id)
        return fail(place, QStringLiteral("malformed UUID %1").arg(DockJsonText::quoted(text)));
    out = *id;
    return true;
}

bool DockJsonValueReader::readInteger(Value& value, const DockJsonPlace& place, std::int64_t min,
                                      std::int64_t max, std::int64_t& out) {
    std::int64_t number = 0;
    if (value.get_int64().get(number) == simdjson::SUCCESS) { // the usual plain integer
        if (number < min || number > max)
            return fail(place, QStringLiteral("integer out of range"));
        out = number;
        return true;
    }
    // Written with a fraction or an exponent, or too large for simdjson's integers.
    const std::string_view token = value.raw_json_token();
    double ignored = 0;
    if (const error_code error = value.get_double().get(ignored))
        return wrongType(place, error, "expected an integer");
    switch (DockJsonInteger::parse(token, min, max, out)) {
    case DockJsonInteger::Result::ok:
        return true;
    case DockJsonInteger::Result::fraction:
        return fail(place, QStringLiteral("expected an integer"));
    case DockJsonInteger::Result::outOfRange:
        break;
    }
    return fail(place, QStringLiteral("integer out of range"));
}

bool DockJsonValueReader::readOptionalUInt32(Value& value, const DockJsonPlace& place,
                                             std::optional<std::uint32_t>& out) {
    std::int64_t number = 0;
    if (isNull(value))
        return true;
    if (!readInteger(value, place, 0, UINT32_MAX, number))
        return false;
    out = static_cast<std::uint32_t>(number);
    return true;
}

bool DockJsonValueReader::readDouble(Value& value, const DockJsonPlace& place, double& out) {
    // Integers are accepted (48 reads as 48.0), rounded to nearest like any other number.
    if (const error_code error = value.get_double().get(out))
        return wrongType(place, error, "expected a number");
    return true;
}

bool DockJsonValueReader::readBool(Value& value, const DockJsonPlace& place, bool& out) {
    if (const error_code error = value.get_bool().get(out))
        return wrongType(place, error, "expected a boolean");
    return true;
}

bool DockJsonValueReader::readOptionalBase64(Value& value, const DockJsonPlace& place,
                                             std::optional<QByteArray>& out) {
    std::string_view text;
    if (isNull(value))
        return true;
    if (!this->text(value, place, text))
        return false;
    std::optional<QByteArray> bytes = DockJsonBase64::decode(text);
    if (!bytes)
        return fail(place, QStringLiteral("not valid Base64"));
    out = std::move(bytes);
    return true;
}

bool DockJsonValueReader::fail(const DockJsonPlace& place, const QString& problem) {
    error_ = place.toString() + QStringLiteral(": ") + problem;
    return false;
}

bool DockJsonValueReader::wrongType(const DockJsonPlace& place, error_code error,
                                    const char* expected) {
    if (error != simdjson::INCORRECT_TYPE)
        return invalid(place, error);
    return fail(place, QLatin1StringView(expected));
}

bool DockJsonValueReader::invalid(const DockJsonPlace& place, error_code error) {
    return fail(place, QStringLiteral("not valid JSON (%1)")
                           .arg(QLatin1StringView(simdjson::error_message(error))));
}
