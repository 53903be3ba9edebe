// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/DerivedText.h"

#include "core/common/NoValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

namespace km740 {

namespace {

constexpr std::size_t kMaxChars = 7;

// Ten decimals hide the last-bit noise of the sums (99.99999999999997 is the
// 100 % it stands for) while keeping every digit the cut can show.
constexpr int kGuardDecimals = 10;
constexpr double kGuardScale = 1e10;
constexpr std::uint64_t kGuardScaleInt = 10000000000ULL;

// Relative error the one-decimal cut forgives: far above the few ulps the
// sums and logarithms lose, far below any reading's last shown digit.
constexpr double kCutTolerance = 1e-9;

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

char* writeNoValue(char* p)
{
    std::memcpy(p, kNoValueText, sizeof kNoValueText - 1);
    return p + sizeof kNoValueText - 1;
}

// |value| times 10^10, correctly rounded: the digits to_chars(fixed, 10)
// prints. Done in integers when the product cannot land on the wrong side
// of a half; false sends the caller to to_chars.
bool guardScaled(double magnitude, std::uint64_t& scaled)
{
    const double product = magnitude * kGuardScale;
    if (!(product < 0x1p52))
        return false;
    const double floor = std::floor(product);
    const double half = product - floor - 0.5;
    // The product is within an ulp or two of the exact one.
    if (!(std::fabs(half) > product * 0x1p-51 + 1e-300))
        return false;
    scaled = static_cast<std::uint64_t>(floor) + (half > 0 ? 1 : 0);
    return true;
}

char* put(char* p, std::string_view s)
{
    std::memcpy(p, s.data(), s.size());
    return p + s.size();
}

// A whole value written up to `p`: its digits and ".0000", cut to seven
// characters.
char* writeWholeCut(char* out, char* p, const Regional& regional)
{
    *p++ = regional.decimal;
    p = put(p, "0000");
    if (static_cast<std::size_t>(p - out) > kMaxChars)
        p = out + kMaxChars;
    // A six-digit whole value would end in a bare separator.
    if (p[-1] == regional.decimal)
        --p;
    return p;
}

// The seven-character cut of a value given by its digits.
char* writeCut(char* out, bool negative, std::string_view whole, std::string_view fraction, const Regional& regional)
{
    char* p = out;
    if (negative)
        *p++ = '-';
    p = put(p, whole);
    if (fraction.find_first_not_of('0') == std::string_view::npos)
        return writeWholeCut(out, p, regional);
    const std::size_t digits = whole.size();
    const std::size_t keep = digits <= 2 ? 4 : digits >= 6 ? 0 : 6 - digits;
    fraction = fraction.substr(0, keep);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (fraction.empty()) {
        if (whole == "0") {
            out[0] = '0';
            return out + 1;
        }
        return p;
    }
    *p++ = regional.decimal;
    return put(p, fraction);
}

// Writes a whole number of tenths as "w.t".
char* writeTenths(char* p, long long t, char decimal)
{
    const unsigned long long a = t < 0 ? 0ULL - static_cast<unsigned long long>(t) : static_cast<unsigned long long>(t);
    if (t < 0)
        *p++ = '-';
    p = std::to_chars(p, p + 24, a / 10).ptr;
    *p++ = decimal;
    *p++ = static_cast<char>('0' + a % 10);
    return p;
}

} // namespace

char* writeCutToSevenChars(char* out, double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return writeNoValue(out);
    std::uint64_t scaled = 0;
    if (!guardScaled(std::fabs(value), scaled)) {
        char buf[400];
        const char* end =
            std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, kGuardDecimals).ptr;
        const std::string_view text(buf, static_cast<std::size_t>(end - buf));
        const std::size_t point = text.find('.');
        return writeCut(out, value < 0 && text.find_first_not_of("0.") != std::string_view::npos, text.substr(0, point),
                        text.substr(point + 1), regional);
    }
    // The same cut in integers: whole part, then at most four digits.
    static constexpr std::uint64_t kDrop[5] = {10000000000ULL, 1000000000ULL, 100000000ULL, 10000000ULL, 1000000ULL};
    const std::uint64_t whole = scaled / kGuardScaleInt;
    const std::uint64_t fraction = scaled - whole * kGuardScaleInt;
    char* p = out;
    if (value < 0 && scaled != 0)
        *p++ = '-';
    char* wholeStart = p;
    p = std::to_chars(p, p + 24, whole).ptr;
    const auto digits = static_cast<std::size_t>(p - wholeStart);
    if (fraction == 0)
        return writeWholeCut(out, p, regional);
    std::size_t keep = digits <= 2 ? 4 : digits >= 6 ? 0 : 6 - digits;
    std::uint64_t kept = fraction / kDrop[keep];
    while (keep > 0 && kept % 10 == 0) {
        kept /= 10;
        --keep;
    }
    if (keep == 0) {
        if (whole == 0) {
            out[0] = '0';
            return out + 1;
        }
        return p;
    }
    *p++ = regional.decimal;
    for (std::size_t i = keep; i-- > 0;) {
        p[i] = static_cast<char>('0' + kept % 10);
        kept /= 10;
    }
    return p + keep;
}

char* writeCutToOneDecimal(char* out, double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return writeNoValue(out);
    // The nudge absorbs the rounding error of the logarithms only, so a value
    // that is 85.0 in theory but 84.99999999999999 in doubles shows as 85.0,
    // while 78.199997 stays 78.1.
    const double tenths = value * 10.0;
    double cut = std::trunc(tenths + std::copysign(kCutTolerance * std::max(1.0, std::fabs(tenths)), tenths));
    if (cut == 0.0)
        cut = 0.0;
    return writeTenths(out, static_cast<long long>(cut), regional.decimal);
}

char* writeRoundedOneDecimal(char* out, double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return writeNoValue(out);
    // The same nudge and rounding as formatFixed with one decimal.
    const double scaled = value * 10.0;
    const double nudged = scaled + std::copysign(1e-9 * std::max(1.0, std::fabs(scaled)), scaled);
    const double rounded = std::round(nudged);
    if (std::fabs(rounded) >= 1e15) {
        const std::string text = formatFixed(value, 1, regional);
        return put(out, text);
    }
    return writeTenths(out, static_cast<long long>(rounded), regional.decimal);
}

std::string cutToSevenChars(double value, const Regional& regional)
{
    char buf[derivedCellMaxChars];
    return std::string(buf, writeCutToSevenChars(buf, value, regional));
}

std::string cutToOneDecimal(double value, const Regional& regional)
{
    char buf[derivedCellMaxChars];
    return std::string(buf, writeCutToOneDecimal(buf, value, regional));
}

char* writeDerivedCell(char* out, int index, double value, const Regional& regional)
{
    if (std::isnan(value))
        return writeNoValue(out);
    switch (index) {
    case 1:
    case 3:
    case 7: return writeCutToSevenChars(out, value, regional); // Dose, SE, PDose
    case 2:
    case 5: return writeRoundedOneDecimal(out, value, regional); // SEL, Leq
    default: return writeCutToOneDecimal(out, value, regional);  // TWA, LEP,d, PTWA, LAvg
    }
}

std::string derivedCellText(int index, double value, const Regional& regional)
{
    char buf[derivedCellMaxChars];
    return std::string(buf, writeDerivedCell(buf, index, value, regional));
}

std::array<double, derivedColumnCount> derivedValues(const Exposure& e)
{
    std::array<double, derivedColumnCount> row;
    row.fill(kNoValue);
    if (e.count == 0)
        return row;
    auto orNone = [](const std::optional<double>& v) { return v ? *v : kNoValue; };
    return {orNone(e.twa), e.dose,         orNone(e.sel),   e.soundExposure, orNone(e.lepd),
            orNone(e.leq), orNone(e.ptwa), orNone(e.pdose), orNone(e.lavg)};
}

} // namespace km740
