// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/MeterCalendar.h"

namespace km740 {

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

const std::int64_t epoch2000 = daysFromCivil(2000, 1, 1);

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::int64_t toMeterSeconds(const MeterDateTime& t)
{
    const std::int64_t days = daysFromCivil(2000 + t.year, static_cast<unsigned>(t.month),
                                            static_cast<unsigned>(t.day)) - epoch2000;
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
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    civilFromDays(days + epoch2000, y, m, d);
    MeterDateTime t;
    t.year = static_cast<int>(y - 2000);
    t.month = static_cast<int>(m);
    t.day = static_cast<int>(d);
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

bool isValidDateTime(const MeterDateTime& t)
{
    if (t.year < 0 || t.year > 99 || t.month < 1 || t.month > 12)
        return false;
    if (t.day < 1 || t.day > daysInMonth(2000 + t.year, t.month))
        return false;
    return t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0
           && t.second < 60;
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
