// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace km740 {

// A moment as the meter keeps it: the year within the century, 2000..2099.
struct MeterDateTime {
    int year = 26; // 0..99, meaning 2000 + year
    int month = 1; // 1..12
    int day = 1;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const MeterDateTime&) const = default;
};

// Seconds since 2000-01-01 00:00:00 and back; the meter has no time zones.
std::int64_t toMeterSeconds(const MeterDateTime& t);
MeterDateTime fromMeterSeconds(std::int64_t seconds);

// True for a date and time that exists (leap years included).
bool isValidDateTime(const MeterDateTime& t);

// Packed BCD of 0..99 and back; empty for a byte that is not BCD.
std::uint8_t toBcd(int value);
std::optional<int> fromBcd(std::uint8_t byte);

} // namespace km740
