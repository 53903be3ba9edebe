// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Regional.h"

#include "core/common/NoValue.h"

#include <cmath>
#include <algorithm>
#include <charconv>
#include <string>

namespace km740 {

namespace {

void useSeparator(std::string& text, const Regional& regional)
{
    for (char& c : text)
        if (c == '.')
            c = regional.decimal;
}

} // namespace

std::string formatFixed(double value, int decimals, const Regional& regional)
{
    if (!std::isfinite(value))
        return kNoValueText;
    double scale = std::pow(10.0, decimals);
    double scaled = value * scale;
    // A tiny nudge so that values such as 2.675 (stored as 2.67499...) round
    // as they are written, the way a user expects halves to go.
    double nudged = scaled + std::copysign(1e-9 * std::max(1.0, std::fabs(scaled)), scaled);
    double rounded = std::round(nudged) / scale;
    if (rounded == 0.0)
        rounded = 0.0; // no "-0.0"
    // to_chars, unlike printf, ignores the C locale the desktop may have set.
    char buf[400];
    auto end = std::to_chars(buf, buf + sizeof buf, rounded, std::chars_format::fixed, decimals).ptr;
    std::string text(buf, end);
    useSeparator(text, regional);
    return text;
}

std::string formatGeneral(double value, const Regional& regional)
{
    if (!std::isfinite(value))
        return kNoValueText;
    if (value == 0.0)
        return "0";
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15).ptr;
    std::string text(buf, end);
    useSeparator(text, regional);
    return text;
}

namespace {

struct Prefix {
    double value = 0.0;
    bool digits = false;
    bool fits = true; // false when the number is too large or too small for a double
};

Prefix readPrefix(std::string_view text, bool acceptComma)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    bool digits = false;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        number += text[i++];
        digits = true;
    }
    if (i < text.size() && (text[i] == '.' || (acceptComma && text[i] == ','))) {
        number += '.';
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return {};
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (text[j] == '+' || text[j] == '-')
            exponent += text[j++];
        bool expDigits = false;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            exponent += text[j++];
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    double value = 0.0;
    const char* first = number.data();
    if (*first == '+')
        ++first;
    const auto read = std::from_chars(first, number.data() + number.size(), value);
    return {value, true, read.ec == std::errc()};
}

} // namespace

double numericPrefix(std::string_view text, bool acceptComma)
{
    double v = readPrefix(text, acceptComma).value;
    return std::isfinite(v) ? v : 0.0;
}

bool hasNumericPrefix(std::string_view text, bool acceptComma)
{
    return readPrefix(text, acceptComma).digits;
}

std::optional<double> exactNumericPrefix(std::string_view text, bool acceptComma)
{
    const Prefix p = readPrefix(text, acceptComma);
    if (!p.digits || !p.fits || !std::isfinite(p.value))
        return std::nullopt;
    return p.value;
}

} // namespace km740
