// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string_view>

// The value of an integer field of docks.json, however the number is written: 4, 4.0, 0.4e1 and
// 400e-2 are all four. Neither simdjson nor Qt reads an integral value written with a fraction or
// an exponent exactly (through a double, 4.0000000000000000001 would pass for 4), so the decimal
// text is read digit by digit.
namespace DockJsonInteger {

enum class Result { ok, fraction, outOfRange };

// `token` is a JSON number whose grammar has been checked already (any trailing white space is
// ignored). `value` receives it when it is integral and within [min, max], a range that holds 0.
Result parse(std::string_view token, std::int64_t min, std::int64_t max, std::int64_t& value);

} // namespace DockJsonInteger
