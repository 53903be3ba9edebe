// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/DoseText.h"

#include "core/common/NoValue.h"

#include <cmath>

namespace km740 {

namespace {

constexpr std::size_t kLastIntegerByte = 10;
constexpr std::size_t kFirstIntegerByte = 6;
constexpr std::size_t kFirstFractionByte = 5;

bool appendDigits(std::string& out, std::uint8_t b)
{
    const int hi = b >> 4, lo = b & 0x0F;
    if (hi > 9 || lo > 9)
        return false;
    out += static_cast<char>('0' + hi);
    out += static_cast<char>('0' + lo);
    return true;
}

} // namespace

std::optional<Dose> readDose(std::span<const std::uint8_t> record, std::size_t fractionBytes)
{
    if (record.size() <= kLastIntegerByte || fractionBytes > 3)
        return std::nullopt;
    std::string integer, fraction;
    for (std::size_t k = kLastIntegerByte; k >= kFirstIntegerByte; --k)
        if (!appendDigits(integer, record[k]))
            return std::nullopt;
    for (std::size_t k = 0; k < fractionBytes; ++k)
        if (!appendDigits(fraction, record[kFirstFractionByte - k]))
            return std::nullopt;
    Dose dose;
    const auto firstDigit = integer.find_first_not_of('0');
    dose.integerDigits = firstDigit == std::string::npos ? "0" : integer.substr(firstDigit);
    const auto lastDigit = fraction.find_last_not_of('0');
    dose.fractionDigits = lastDigit == std::string::npos ? "" : fraction.substr(0, lastDigit + 1);
    // Whole numbers of 10 digits and 6 decimals are exact enough in a double.
    double value = 0;
    for (char c : integer)
        value = value * 10 + (c - '0');
    double scale = 1;
    double frac = 0;
    for (char c : fraction) {
        scale /= 10;
        frac += (c - '0') * scale;
    }
    dose.percent = value + frac;
    return dose;
}

std::string tenthsText(std::int64_t tenths, const Regional& regional)
{
    const bool negative = tenths < 0;
    std::uint64_t v = negative ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
    char buf[24];
    char* p = buf + sizeof buf;
    *--p = static_cast<char>('0' + v % 10);
    *--p = regional.decimal;
    v /= 10;
    do {
        *--p = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (negative)
        *--p = '-';
    return std::string(p, buf + sizeof buf);
}

std::string doseText(const Dose& dose, std::size_t maxChars, const Regional& regional)
{
    std::string text = dose.integerDigits;
    if (dose.fractionDigits.empty() || text.size() + 2 > maxChars)
        return text;
    text += regional.decimal;
    text += dose.fractionDigits.substr(0, maxChars - text.size());
    return text;
}

std::string doseText(const std::optional<Dose>& dose, std::size_t maxChars, const Regional& regional)
{
    return dose ? doseText(*dose, maxChars, regional) : kNoValueText;
}

std::string twaText(const std::optional<Dose>& dose, std::optional<int> criterionLevel, int exchangeRate,
                    const Regional& regional)
{
    if (!dose || !criterionLevel || !(dose->percent > 0))
        return kNoValueText;
    const double twa = *criterionLevel + (exchangeRate / std::log10(2.0)) * std::log10(dose->percent / 100);
    if (!std::isfinite(twa))
        return kNoValueText;
    // Cut toward zero; the nudge keeps 85.0 that arrives as 84.99999999 at 85.0.
    const double tenths = std::trunc(twa * 10 + std::copysign(1e-7, twa));
    if (std::fabs(tenths) > 1e15)
        return formatFixed(tenths / 10, 1, regional);
    return tenthsText(static_cast<std::int64_t>(tenths), regional);
}

} // namespace km740
