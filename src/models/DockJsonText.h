// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUuid>

#include <optional>
#include <string>
#include <string_view>

// The text of docks.json's strings: unescaping, conversion to QString, UUIDs, and quoting a value
// in a message.
namespace DockJsonText {

// Unescapes the inside of a JSON string into `out` when it holds only the two-character escapes
// (\" \\ \/ \b \f \n \r \t), the ones a writer uses for paths and clippings. False for anything
// else (\u escapes, or an escape that is not JSON): simdjson then reads and judges it.
bool unescapeShort(std::string_view escaped, std::string& out);
// Whether unescapeShort would take the text.
bool hasOnlyShortEscapes(std::string_view escaped);

// UTF-8 checked already by the parser; a leading byte order mark is kept as a character.
QString toQString(std::string_view text);

// The 36-character 8-4-4-4-12 form in either case, nothing else.
std::optional<QUuid> parseUuid(std::string_view text);

// A value from the file, quoted for a message: shortened, with quotes and control characters
// escaped so that the message stays on one line.
QString quoted(std::string_view text);

} // namespace DockJsonText
