// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Days and ISO weeks as the archive searches them. Times are the meter's
// local time (no time zone), kept as ISO 8601 text that sorts as it reads
// ("2026-12-01T08:00:00", formatLocalTime).

#include "core/exposure/LocalTime.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

using Day = std::chrono::sys_days;

// "YYYY-MM-DD" that names a real day.
std::optional<Day> parseIsoDate(std::string_view text);
std::string isoDate(Day day);

// "YYYY-Www": the Monday of that ISO week (week 53 only in years that have it).
std::optional<Day> parseIsoWeek(std::string_view text);
// The ISO week a day falls in, "YYYY-Www".
std::string isoWeekOf(Day day);

// The day a moment falls on.
Day dayOf(LocalSeconds t);

} // namespace km740
