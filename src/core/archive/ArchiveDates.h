// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dates and times as the archive keeps them: local time of the meter (no
// time zone), as ISO 8601 text that sorts as it reads ("2026-12-01T08:00:00").

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

// Seconds since 1970-01-01 00:00:00 of the same calendar, no time zone.
using LocalSeconds = std::int64_t;

// A record's date and time as the lists write it ("2026/12/01 08:00:00",
// with any one-character date and time separators); empty for anything else
// or a moment that does not exist.
std::optional<LocalSeconds> parseRecordTime(std::string_view text);
// "YYYY-MM-DDTHH:MM:SS".
std::string isoDateTime(LocalSeconds t);
// The day a moment falls on.
Day dayOf(LocalSeconds t);

} // namespace km740
