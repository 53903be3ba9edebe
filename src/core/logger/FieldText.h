// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the logger's date and time bytes read as text: some are plain numbers,
// some BCD read as two hex digits.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace km740::logger {

// Two hex digits ("0" in front, last two kept): a BCD byte reads as its decimal.
inline std::string twoHex(std::uint8_t b)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    return {digits[b >> 4], digits[b & 0x0F]};
}

// A plain number with at least two digits.
inline std::string twoDecimal(std::uint8_t b)
{
    return b < 10 ? "0" + std::to_string(b) : std::to_string(b);
}

// The value of a BCD byte; empty when a digit is above 9.
inline std::optional<int> bcdValue(std::uint8_t b)
{
    if ((b >> 4) > 9 || (b & 0x0F) > 9)
        return std::nullopt;
    return (b >> 4) * 10 + (b & 0x0F);
}

// "20yy/mm/dd hh:nn:ss" as the set header and the calibration fields build it.
inline std::string stampText(std::uint8_t year, std::uint8_t month, std::uint8_t day, const std::string& hour,
                             const std::string& minute, const std::string& second)
{
    return "20" + twoDecimal(year) + "/" + twoDecimal(month) + "/" + twoDecimal(day) + " " + hour + ":" + minute + ":" +
           second;
}

// The time the fields stand for, when each is in range.
inline std::optional<std::chrono::sys_seconds> soundTime(int year, int month, int day, int hour, int minute, int second)
{
    using namespace std::chrono;
    if (year < 0 || year > 99 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    year_month_day date{std::chrono::year(2000 + year), std::chrono::month(static_cast<unsigned>(month)),
                        std::chrono::day(static_cast<unsigned>(day))};
    if (month < 1 || month > 12 || day < 1 || !date.ok())
        return std::nullopt;
    return sys_days(date) + hours(hour) + minutes(minute) + seconds(second);
}

} // namespace km740::logger
