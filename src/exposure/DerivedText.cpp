// SPDX-License-Identifier: GPL-3.0-or-later
#include "exposure/DerivedText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace km740 {

namespace {

constexpr std::size_t kMaxChars = 7;

// Ten decimals hide the last-bit noise of the sums (99.99999999999997 is the
// 100 % it stands for) while keeping every digit the cut can show.
constexpr int kGuardDecimals = 10;

} // namespace

std::string cutToSevenChars(double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return "----";
    char buf[400];
    const char* end =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, kGuardDecimals).ptr;
    const std::string_view text(buf, static_cast<std::size_t>(end - buf));
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    std::string_view fraction = text.substr(point + 1);
    const bool negative = value < 0 && text.find_first_not_of("0.") != std::string_view::npos;

    std::string shown;
    if (negative)
        shown += '-';
    shown += whole;
    if (fraction.find_first_not_of('0') == std::string_view::npos) {
        shown += regional.decimal;
        shown += "0000";
        if (shown.size() > kMaxChars)
            shown.resize(kMaxChars);
        // A six-digit whole value would end in a bare separator.
        if (shown.back() == regional.decimal)
            shown.pop_back();
        return shown;
    }

    const std::size_t digits = whole.size();
    const std::size_t keep = digits <= 2 ? 4 : digits >= 6 ? 0 : 6 - digits;
    fraction = fraction.substr(0, keep);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (fraction.empty())
        return whole == "0" ? std::string("0") : shown;
    shown += regional.decimal;
    shown += fraction;
    return shown;
}

std::string cutToOneDecimal(double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return "----";
    // The nudge keeps a value that is exactly 85.0 in theory, but 84.99999999
    // after the logarithms, from showing as 84.9.
    double tenths = value * 10.0;
    double cut = std::trunc(tenths + std::copysign(1e-7 * std::max(1.0, std::fabs(tenths)), tenths));
    if (cut == 0.0)
        cut = 0.0;
    const long long t = static_cast<long long>(cut);
    const long long a = t < 0 ? -t : t;
    char buf[32];
    char* p = buf;
    if (t < 0)
        *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf - 2, a / 10).ptr;
    *p++ = regional.decimal;
    *p++ = static_cast<char>('0' + a % 10);
    return std::string(buf, p);
}

} // namespace km740
