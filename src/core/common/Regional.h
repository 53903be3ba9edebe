// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <optional>
#include <string_view>

namespace km740 {

// The user's regional number, date and time separators. Built by the program
// from the desktop locale at every poll; core formatting takes it as a value.
struct Regional {
    char decimal = '.';
    char dateSep = '/';
    char timeSep = ':';

    bool decimalComma() const { return decimal == ','; }

    static Regional point() { return Regional{}; }
    static Regional comma() { return Regional{',', '/', ':'}; }
};

// Formats with a fixed number of decimals ("0.0" is decimals = 1), rounding
// half away from zero, with the regional decimal separator.
std::string formatFixed(double value, int decimals, const Regional& regional);

// The general number format: no trailing zeros, no decimal point for whole
// values (1200 / 10 -> "120", 1035 / 10 -> "103.5" or "103,5").
std::string formatGeneral(double value, const Regional& regional);

// Reads the numeric prefix of a text the way saved texts are read back:
// optional blanks and sign, digits, one decimal point, digits; anything after
// is ignored, no digits gives 0. With acceptComma a ',' counts as the point too.
double numericPrefix(std::string_view text, bool acceptComma = false);

// True when the text begins (after blanks) with a number numericPrefix reads.
bool hasNumericPrefix(std::string_view text, bool acceptComma = false);

// The numeric prefix, or nothing when there is none or its value does not
// fit a double ("1e400", "1e-400"), where numericPrefix would give 0.
std::optional<double> exactNumericPrefix(std::string_view text, bool acceptComma = false);

} // namespace km740
