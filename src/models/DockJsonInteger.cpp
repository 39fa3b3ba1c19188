// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/DockJsonInteger.h"

#include <limits>
#include <string>

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The exponent, held within a bound far past any that leaves a 64-bit integer in range.
long long exponentOf(std::string_view text) {
    constexpr long long bound = 1'000'000;
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    long long exponent = 0;
    for (; at < text.size() && isDigit(text[at]); ++at)
        exponent = std::min(bound, exponent * 10 + (text[at] - '0'));
    return negative ? -exponent : exponent;
}

} // namespace

DockJsonInteger::Result DockJsonInteger::parse(std::string_view token, std::int64_t min,
                                               std::int64_t max, std::int64_t& value) {
    const bool negative = !token.empty() && token.front() == '-';
    std::size_t at = negative ? 1 : 0;
    // The significant digits, the point left out: the number is digits x 10^scale.
    std::string digits;
    long long scale = 0;
    for (; at < token.size() && isDigit(token[at]); ++at)
        digits += token[at];
    if (at < token.size() && token[at] == '.')
        for (++at; at < token.size() && isDigit(token[at]); ++at, --scale)
            digits += token[at];
    if (at < token.size() && (token[at] == 'e' || token[at] == 'E'))
        scale += exponentOf(token.substr(at + 1));
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    while (!digits.empty() && scale < 0 && digits.back() == '0') {
        digits.pop_back();
        ++scale;
    }
    if (digits.empty()) { // zero, whatever its sign, fraction or exponent
        value = 0;
        return Result::ok;
    }
    if (scale < 0)
        return Result::fraction;
    constexpr std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    if (static_cast<long long>(digits.size()) + scale > 20)
        return Result::outOfRange;
    std::uint64_t magnitude = 0;
    for (const char digit : digits) {
        const auto d = static_cast<std::uint64_t>(digit - '0');
        if (magnitude > (limit - d) / 10)
            return Result::outOfRange;
        magnitude = magnitude * 10 + d;
    }
    for (; scale > 0; --scale) {
        if (magnitude > limit / 10)
            return Result::outOfRange;
        magnitude *= 10;
    }
    // Compared as magnitudes, so that -2^63 needs no special case.
    const std::uint64_t largest = negative ? std::uint64_t(0) - static_cast<std::uint64_t>(min)
                                           : static_cast<std::uint64_t>(max);
    if (magnitude > largest)
        return Result::outOfRange;
    value = negative ? static_cast<std::int64_t>(std::uint64_t(0) - magnitude)
                     : static_cast<std::int64_t>(magnitude);
    return Result::ok;
}
