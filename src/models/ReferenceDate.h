// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dates in docks.json are seconds since 2001-01-01 00:00:00 UTC, as a double.
namespace ReferenceDate {
// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC.
inline constexpr double unixOffset = 978307200.0;
// The current time in seconds since the reference date.
double now();
} // namespace ReferenceDate
