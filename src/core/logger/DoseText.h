// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Dose of a logger record and the TWA computed from it, as the logger
// lists show them.

#include "core/common/Regional.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace km740 {

// A Dose read from packed BCD: the digits as written and the number.
struct Dose {
    std::string integerDigits;  // without leading zeros, "0" for none
    std::string fractionDigits; // without trailing zeros
    double percent = 0.0;
};

// Reads the Dose of a 48-byte record: integer digits from offsets 10..6,
// fraction digits from offsets 5, 4 (and 3 when fractionBytes is 3). Empty
// when a digit is not a decimal digit.
std::optional<Dose> readDose(std::span<const std::uint8_t> record, std::size_t fractionBytes);

// The Dose as text, cut to maxChars by dropping decimals only: every integer
// digit stays and the text never ends on the decimal point.
std::string doseText(const Dose& dose, std::size_t maxChars, const Regional& regional);
// kNoValueText for a Dose that could not be read.
std::string doseText(const std::optional<Dose>& dose, std::size_t maxChars, const Regional& regional);

// A whole number of tenths with one decimal ("82.1", "0.5", "-14.7"), the
// regional separator; the text FormatLevel gives for a level.
std::string tenthsText(std::int64_t tenths, const Regional& regional);

// TWA = criterion + (exchange rate / log10 2) * log10(dose / 100), cut toward
// zero to one decimal. kNoValueText for a zero or unknown Dose or an unknown
// criterion.
std::string twaText(const std::optional<Dose>& dose, std::optional<int> criterionLevel, int exchangeRate,
                    const Regional& regional);

} // namespace km740
