// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <string_view>

// Standard Base64 (RFC 4648, section 4, with padding) for custom icons. Qt's own codec manages
// about 200 MB/s and forgives missing padding; icons are the bulk of a large docks.json, so the
// codec reads and writes whole groups through lookup tables and is strict about padding.
class DockJsonBase64 {
public:
    // Upper bound of encodeEscaped's output for `size` bytes.
    static qsizetype maxEscapedSize(qsizetype size) { return (size + 2) / 3 * 8; }
    // Writes the Base64 text of `bytes` at `out`, each '/' escaped as "\/" for a JSON string;
    // answers the end of what it wrote.
    static char* encodeEscaped(const QByteArray& bytes, char* out);
    // The bytes, or nothing when `text` is not standard Base64 (alphabet, padding, length).
    static std::optional<QByteArray> decode(std::string_view text);
};
