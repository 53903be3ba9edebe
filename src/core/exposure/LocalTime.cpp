// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LocalTime.h"

#include "core/common/CivilDate.h"

#include <array>
#include <cstdio>

namespace km740 {

namespace {

constexpr std::int64_t kDaySeconds = 86400;

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
    const CivilDate c = civilFromDays(days);
    char text[40];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d", static_cast<long long>(c.year), c.month, c.day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

} // namespace km740
