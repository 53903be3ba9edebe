// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/ArchiveDates.h"

#include <cstdio>

namespace km740 {

namespace {

using namespace std::chrono;

bool digitsAt(std::string_view t, std::size_t at, std::size_t n, int& value)
{
    if (at + n > t.size())
        return false;
    value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (t[i] < '0' || t[i] > '9')
            return false;
        value = value * 10 + (t[i] - '0');
    }
    return true;
}

std::optional<Day> makeDay(int y, int m, int d)
{
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok())
        return std::nullopt;
    return sys_days{ymd};
}

// Monday of ISO week 1: the week holding the year's first Thursday.
Day isoWeekOne(int y)
{
    const sys_days jan4{year{y} / January / 4};
    const auto weekday = year_month_weekday{jan4}.weekday().iso_encoding(); // 1 = Monday
    return jan4 - days{weekday - 1};
}

} // namespace

std::optional<Day> parseIsoDate(std::string_view text)
{
    int y = 0, m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digitsAt(text, 0, 4, y) || !digitsAt(text, 5, 2, m) ||
        !digitsAt(text, 8, 2, d))
        return std::nullopt;
    return makeDay(y, m, d);
}

std::string isoDate(Day day)
{
    const year_month_day ymd{day};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return text;
}

std::optional<Day> parseIsoWeek(std::string_view text)
{
    int y = 0, w = 0;
    if (text.size() != 8 || text[4] != '-' || (text[5] != 'W' && text[5] != 'w') || !digitsAt(text, 0, 4, y) ||
        !digitsAt(text, 6, 2, w) || w < 1)
        return std::nullopt;
    const Day monday = isoWeekOne(y) + weeks{w - 1};
    if (monday >= isoWeekOne(y + 1))
        return std::nullopt;
    return monday;
}

std::string isoWeekOf(Day day)
{
    int y = static_cast<int>(year_month_day{day}.year());
    if (day >= isoWeekOne(y + 1))
        ++y;
    else if (day < isoWeekOne(y))
        --y;
    const auto week = (day - isoWeekOne(y)).count() / 7 + 1;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-W%02d", y, static_cast<int>(week));
    return text;
}

Day dayOf(LocalSeconds t)
{
    LocalSeconds d = t / 86400;
    if (t % 86400 < 0)
        --d;
    return Day{days{d}};
}

} // namespace km740
