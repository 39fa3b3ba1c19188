// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonText.h"

#include <QStringDecoder>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// What each two-character escape stands for; 0 where the escape is not one of them.
constexpr std::array<char, 128> shortEscapes = [] {
    std::array<char, 128> table{};
    table['"'] = '"';
    table['\\'] = '\\';
    table['/'] = '/';
    table['b'] = '\b';
    table['f'] = '\f';
    table['n'] = '\n';
    table['r'] = '\r';
    table['t'] = '\t';
    return table;
}();

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

} // namespace

bool DockJsonText::unescapeShort(std::string_view escaped, std::string& out) {
    out.resize(escaped.size());
    char* to = out.data();
    const char* from = escaped.data();
    const char* const end = from + escaped.size();
    constexpr std::uint64_t ones = 0x0101010101010101;
    while (from < end) {
        // Eight bytes at a time up to the next backslash: clippings have an escape every few
        // words (each '/' of a path or URL), too often for memchr to pay.
        if (end - from >= 8) {
            std::uint64_t word;
            std::memcpy(&word, from, sizeof word);
            std::memcpy(to, &word, sizeof word);
            const std::uint64_t x = word ^ ('\\' * ones);
            const std::uint64_t found = (x - ones) & ~x & (0x80 * ones);
            // The lowest flag is exact (higher ones may be false); little-endian lane order.
            const int plain = found == 0 || std::endian::native != std::endian::little
                                  ? (found == 0 ? 8 : 0)
                                  : std::countr_zero(found) / 8;
            to += plain;
            from += plain;
            if (plain == 8)
                continue;
        }
        if (*from != '\\') {
            *to++ = *from++;
            continue;
        }
        // A string cannot end in a lone backslash: it would escape the closing quote.
        const auto c = static_cast<unsigned char>(from[1]);
        if (c >= shortEscapes.size() || shortEscapes[c] == 0)
            return false;
        *to++ = shortEscapes[c];
        from += 2;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return true;
}

bool DockJsonText::hasOnlyShortEscapes(std::string_view escaped) {
    for (auto at = escaped.find('\\'); at != std::string_view::npos;
         at = escaped.find('\\', at + 2)) {
        const auto c = static_cast<unsigned char>(escaped[at + 1]);
        if (c >= shortEscapes.size() || shortEscapes[c] == 0)
            return false;
    }
    return true;
}

QString DockJsonText::toQString(std::string_view text) {
    const auto size = static_cast<qsizetype>(text.size());
    if (!text.starts_with("\xEF\xBB\xBF"))
        return QString::fromUtf8(text.data(), size);
    // QString::fromUtf8 drops a leading byte order mark, which is part of the text here (a
    // clipping may well start with one).
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(text.data(), size));
}

// QUuid::fromString would also take braces and trailing text, and is slow enough to show in a
// file of 20,000 items. Table lookups rather than comparisons, since random digits defeat branch
// prediction.
std::optional<QUuid> DockJsonText::parseUuid(std::string_view text) {
    static constexpr std::array<std::uint8_t, 16> byteAt = {0,  2,  4,  6,  9,  11, 14, 16,
                                                            19, 21, 24, 26, 28, 30, 32, 34};
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    std::array<std::uint8_t, 16> b{};
    unsigned invalid = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const unsigned high = hexValues[static_cast<unsigned char>(text[byteAt[i]])];
        const unsigned low = hexValues[static_cast<unsigned char>(text[byteAt[i] + 1])];
        invalid |= high | low;
        b[i] = static_cast<std::uint8_t>((high << 4) | (low & 0xF));
    }
    if (invalid & 0xF0)
        return std::nullopt;
    // The fields straight from the bytes: QUuid::fromRfc4122 costs a call and a copy more.
    return QUuid(uint(b[0]) << 24 | uint(b[1]) << 16 | uint(b[2]) << 8 | b[3],
                 ushort(b[4] << 8 | b[5]), ushort(b[6] << 8 | b[7]), b[8], b[9], b[10], b[11],
                 b[12], b[13], b[14], b[15]);
}

QString DockJsonText::quoted(std::string_view text) {
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
