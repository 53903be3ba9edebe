// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// A date and time on the clock of the recording, as seconds counted from
// 1970-01-01 00:00:00 of that same clock. Data files carry no time zone, so
// neither does this: the seconds only order and subtract record times.
using LocalSeconds = std::int64_t;

// Reads six digit groups, year month day hour minute second, whatever
// separates them: "2026/12/01 08:00:00", "2026-12-01T08:00:00", and the
// regional separators a record may carry ("2026.12.01 08.00.00"). Anything
// after the seconds is ignored. Empty when a group is missing or the date
// or time does not exist.
std::optional<LocalSeconds> parseLocalTime(std::string_view text);

// "YYYY-MM-DDTHH:MM:SS".
std::string formatLocalTime(LocalSeconds t);

} // namespace km740
