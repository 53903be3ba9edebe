// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LocalTime.h"

#include <array>
#include <cstdio>

namespace km740 {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

Civil civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

bool isLeap(std::int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned daysInMonth(std::int64_t y, unsigned m)
{
    static constexpr std::array<unsigned, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

} // namespace

std::optional<LocalSeconds> parseLocalTime(std::string_view text)
{
    std::array<std::int64_t, 6> part{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < part.size(); ++i) {
        // Separators between groups: anything but a digit, but not too much of it.
        std::size_t skipped = 0;
        while (at < text.size() && (text[at] < '0' || text[at] > '9')) {
            if (i == 0 ? text[at] != ' ' : ++skipped > 2)
                return std::nullopt;
            ++at;
        }
        int digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            if (++digits > 4)
                return std::nullopt;
            part[i] = part[i] * 10 + (text[at] - '0');
            ++at;
        }
        if (digits == 0 || (i == 0 && digits != 4) || (i > 0 && digits > 2))
            return std::nullopt;
    }
    const auto [y, mo, d, h, mi, s] = part;
    if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, static_cast<unsigned>(mo)) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    return daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * kDaySeconds + h * 3600 + mi * 60 + s;
}

std::string formatLocalTime(LocalSeconds t)
{
    std::int64_t days = t / kDaySeconds;
    std::int64_t rest = t % kDaySeconds;
    if (rest < 0) {
        rest += kDaySeconds;
        --days;
    }
    const Civil c = civilFromDays(days);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d", static_cast<long long>(c.year), c.month, c.day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

} // namespace km740
