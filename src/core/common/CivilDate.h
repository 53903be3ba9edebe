// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace km740 {

// A date of the proleptic Gregorian calendar.
struct CivilDate {
    std::int64_t year = 1970;
    unsigned month = 1; // 1..12
    unsigned day = 1;   // 1..31
};

// Days from 1970-01-01 to the date, and back (negative before 1970).
std::int64_t daysFromCivil(std::int64_t year, unsigned month, unsigned day);
CivilDate civilFromDays(std::int64_t days);

// 28..31; the month is 1..12.
unsigned daysInMonth(std::int64_t year, unsigned month);

} // namespace km740
