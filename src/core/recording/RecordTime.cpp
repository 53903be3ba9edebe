// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recording/RecordTime.h"

#include <cstdio>

namespace km740 {

namespace {

// Two digits, as the record patterns want; out-of-range fields are clamped
// so a bad clock can never widen a line.
std::string two(int v)
{
    if (v < 0)
        v = 0;
    v %= 100;
    char buf[3] = {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10), 0};
    return buf;
}

} // namespace

std::string formatRecordTime(const LocalDateTime& t, const Regional& r)
{
    int year = t.year < 0 ? 0 : t.year % 10000;
    char y[8];
    std::snprintf(y, sizeof y, "%04d", year);
    std::string s = y;
    s += r.dateSep;
    s += two(t.month);
    s += r.dateSep;
    s += two(t.day);
    s += ' ';
    s += two(t.hour);
    s += r.timeSep;
    s += two(t.minute);
    s += r.timeSep;
    s += two(t.second);
    return s;
}

std::string autoSaveFileName(const LocalDateTime& t)
{
    return two(t.month) + two(t.day) + two(t.hour) + two(t.minute) + two(t.second) + ".sonx";
}

} // namespace km740
