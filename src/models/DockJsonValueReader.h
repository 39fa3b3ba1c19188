// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "models/DockEnums.h"
#include "models/DockJsonPlace.h"
#include "models/DockJsonText.h"
#include "models/DockText.h"

#include <simdjson.h>

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Reads one value of docks.json from simdjson's On-Demand API into a record's field: strings
// (without a copy where nothing needs unescaping), UUIDs, enumeration texts, integers however
// written, doubles, booleans, Base64. Each answers false once it has recorded the problem and
// its place; a problem of JSON itself is recorded as "not valid JSON".
class DockJsonValueReader {
public:
    using Value = simdjson::ondemand::value;

    const QString& error() const { return error_; }
    // While false, strings are checked but not converted: checking a file needs no text.
    void setConvertsText(bool converts) { convertsText_ = converts; }
    // The file the input was taken from, where the input starts in it, and the input itself
    // as simdjson reads it (in place, or a copy): texts are then kept as read (readOptionalText).
    void setSource(const QByteArray& file, qsizetype start, const char* input) {
        file_ = file;
        fileStart_ = start;
        input_ = input;
    }

    // The text of a string value: a view of the input when it has nothing to unescape, else of
    // its unescaped form, valid until the next string.
    bool text(Value& value, const DockJsonPlace& place, std::string_view& out);
    // True, having read it, when the value is null.
    bool isNull(Value& value);
    bool readString(Value& value, const DockJsonPlace& place, QString& out);
    bool readOptionalString(Value& value, const DockJsonPlace& place, std::optional<QString>& out);
    // Kept as read, without a conversion, when it has no \u escape and a source is set.
    bool readOptionalText(Value& value, const DockJsonPlace& place, std::optional<DockText>& out);
    bool readUuid(Value& value, const DockJsonPlace& place, QUuid& out);
    template <typename E> bool readEnum(Value& value, const DockJsonPlace& place, E& out);
    // An integral value within [min, max] (a range that holds 0), however it is written.
    bool readInteger(Value& value, const DockJsonPlace& place, std::int64_t min, std::int64_t max,
                     std::int64_t& out);
    bool readOptionalUInt32(Value& value, const DockJsonPlace& place,
                            std::optional<std::uint32_t>& out);
    bool readDouble(Value& value, const DockJsonPlace& place, double& out);
    bool readBool(Value& value, const DockJsonPlace& place, bool& out);
    bool readOptionalBase64(Value& value, const DockJsonPlace& place,
                            std::optional<QByteArray>& out);
    // A value under a key the reader does not know: ignored, but it must still be JSON, and
    // On-Demand would skip it unread.
    bool checkIgnored(Value& value, const DockJsonPlace& place);

    bool fail(const DockJsonPlace& place, const QString& problem);
    // A value that is not of the expected type, or not JSON at all.
    bool wrongType(const DockJsonPlace& place, simdjson::error_code error, const char* expected);
    bool invalid(const DockJsonPlace& place, simdjson::error_code error);

private:
    bool checkIgnoredArray(Value& value, const DockJsonPlace& place);
    bool checkIgnoredObject(Value& value, const DockJsonPlace& place);
    // Checks a string's escapes without unescaping it.
    bool checkText(Value& value, const DockJsonPlace& place);
    bool insideQuotes(Value& value, const DockJsonPlace& place, std::string_view& inside);

    QString error_;
    std::string unescaped_; // the last string that had escapes, reused
    std::string lastText_;  // the last short string converted, and what it became
    std::optional<QString> lastString_;
    bool convertsText_ = true;
    QByteArray file_;
    qsizetype fileStart_ = 0;
    const char* input_ = nullptr;
};

template <typename E>
bool DockJsonValueReader::readEnum(Value& value, const DockJsonPlace& place, E& out) {
    std::string_view text;
    if (!this->text(value, place, text))
        return false;
    const std::optional<E> found = fromStoredText<E>(text);
    if (!found)
        return fail(place, QStringLiteral("unknown value %1").arg(DockJsonText::quoted(text)));
    out = *found;
    return true;
}
