// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/MeterCalendar.h"

#include "core/common/CivilDate.h"

namespace km740 {

namespace {

const std::int64_t epoch2000 = daysFromCivil(2000, 1, 1);

} // namespace

std::int64_t toMeterSeconds(const MeterDateTime& t)
{
    const std::int64_t days =
        daysFromCivil(2000 + t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) - epoch2000;
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

MeterDateTime fromMeterSeconds(std::int64_t seconds)
{
    // The meter's century wraps: 2099-12-31 is followed by 2000-01-01.
    const std::int64_t century = daysFromCivil(2100, 1, 1) - epoch2000;
    std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    std::int64_t rest = seconds - days * 86400;
    days %= century;
    if (days < 0)
        days += century;
    const CivilDate date = civilFromDays(days + epoch2000);
    MeterDateTime t;
    t.year = static_cast<int>(date.year - 2000);
    t.month = static_cast<int>(date.month);
    t.day = static_cast<int>(date.day);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

bool isValidDateTime(const MeterDateTime& t)
{
    if (t.year < 0 || t.year > 99 || t.month < 1 || t.month > 12)
        return false;
    if (t.day < 1 || t.day > static_cast<int>(daysInMonth(2000 + t.year, static_cast<unsigned>(t.month))))
        return false;
    return t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
}

std::uint8_t toBcd(int value)
{
    value = value < 0 ? 0 : value % 100;
    return static_cast<std::uint8_t>((value / 10) << 4 | value % 10);
}

std::optional<int> fromBcd(std::uint8_t byte)
{
    const int hi = byte >> 4;
    const int lo = byte & 0x0F;
    if (hi > 9 || lo > 9)
        return std::nullopt;
    return hi * 10 + lo;
}

} // namespace km740
