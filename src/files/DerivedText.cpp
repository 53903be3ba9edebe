// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DerivedText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace km740 {

namespace {

constexpr std::size_t kMaxChars = 7;

// Ten decimals hide the last-bit noise of the sums (99.99999999999997 is the
// 100 % it stands for) while keeping every digit the cut can show.
constexpr int kGuardDecimals = 10;

std::string fixedText(double value, int decimals)
{
    char buf[400];
    auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buf, end);
}

} // namespace

std::string cutToSevenChars(double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return "----";
    std::string text = fixedText(std::fabs(value), kGuardDecimals);
    std::size_t point = text.find('.');
    std::string whole = text.substr(0, point);
    std::string fraction = text.substr(point + 1);
    std::string sign = value < 0 && text.find_first_not_of("0.") != std::string::npos ? "-" : "";

    if (fraction.find_first_not_of('0') == std::string::npos) {
        std::string shown = sign + whole + regional.decimal + "0000";
        if (shown.size() > kMaxChars)
            shown.resize(kMaxChars);
        // A six-digit whole value would end in a bare separator.
        if (!shown.empty() && shown.back() == regional.decimal)
            shown.pop_back();
        return shown;
    }

    std::size_t digits = whole.size();
    std::size_t keep = digits <= 2 ? 4 : digits >= 6 ? 0 : 6 - digits;
    fraction.resize(keep);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (fraction.empty())
        return (whole == "0" ? std::string() : sign) + whole;
    return sign + whole + regional.decimal + fraction;
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
    long long t = static_cast<long long>(cut);
    long long a = t < 0 ? -t : t;
    std::string text = (t < 0 ? "-" : "") + std::to_string(a / 10) + regional.decimal
                       + std::to_string(a % 10);
    return text;
}

} // namespace km740
