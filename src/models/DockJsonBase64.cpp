// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonBase64.h"

#include <array>
#include <cstdint>

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The six-bit value of each character, or 0x80 for a character outside the alphabet; the high
// bit survives OR-ing a whole group so that one test per group is enough.
constexpr std::array<std::uint8_t, 256> values = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(0x80);
    for (std::uint8_t i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(alphabet[i])] = i;
    return table;
}();

inline char* put(char* out, std::uint32_t sixBits) {
    const char c = alphabet[sixBits & 0x3F];
    if (c == '/')
        *out++ = '\\';
    *out++ = c;
    return out;
}

inline std::uint32_t value(std::string_view text, std::size_t at) {
    return values[static_cast<unsigned char>(text[at])];
}

} // namespace

char* DockJsonBase64::encodeEscaped(const QByteArray& bytes, char* out) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<std::size_t>(bytes.size());
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
        out = put(out, group >> 18);
        out = put(out, group >> 12);
        out = put(out, group >> 6);
        out = put(out, group);
    }
    if (size - i == 1) {
        const std::uint32_t group = in[i] << 16;
        out = put(out, group >> 18);
        out = put(out, group >> 12);
        *out++ = '=';
        *out++ = '=';
    } else if (size - i == 2) {
        const std::uint32_t group = (in[i] << 16) | (in[i + 1] << 8);
        out = put(out, group >> 18);
        out = put(out, group >> 12);
        out = put(out, group >> 6);
        *out++ = '=';
    }
    return out;
}

std::optional<QByteArray> DockJsonBase64::decode(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    if (!text.empty() && text.back() == '=')
        padding = text[text.size() - 2] == '=' ? 2 : 1;
    const std::size_t groups = text.size() / 4;
    QByteArray bytes(static_cast<qsizetype>(groups * 3 - padding), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(bytes.data());

    // Whole groups of four characters, all but a padded last one.
    const std::size_t full = padding ? groups - 1 : groups;
    std::uint32_t invalid = 0;
    for (std::size_t g = 0; g < full; ++g) {
        const std::size_t at = g * 4;
        const std::uint32_t a = value(text, at), b = value(text, at + 1), c = value(text, at + 2),
                            d = value(text, at + 3);
        invalid |= a | b | c | d;
        const std::uint32_t group = (a << 18) | (b << 12) | (c << 6) | d;
        *out++ = static_cast<unsigned char>(group >> 16);
        *out++ = static_cast<unsigned char>(group >> 8);
        *out++ = static_cast<unsigned char>(group);
    }
    if (padding) {
        const std::size_t at = full * 4;
        const std::uint32_t a = value(text, at), b = value(text, at + 1);
        const std::uint32_t c = padding == 1 ? value(text, at + 2) : 0;
        invalid |= a | b | c;
        const std::uint32_t group = (a << 18) | (b << 12) | (c << 6);
        *out++ = static_cast<unsigned char>(group >> 16);
        if (padding == 1)
            *out++ = static_cast<unsigned char>(group >> 8);
        // Bits below the last byte must be zero: then every byte string has exactly one text.
        if (group & (padding == 1 ? 0xFF : 0xFFFF))
            invalid |= 0x80;
    }
    // '=' is outside the alphabet, so padding anywhere but at the end is caught here too.
    if (invalid & 0x80)
        return std::nullopt;
    return bytes;
}
