// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/ExposureValues.h"

#include <array>
#include <cstddef>
#include <string>

namespace km740 {

// Dose, projected dose and sound exposure as the file lists show them: cut,
// not rounded, to at most 7 characters (1-2 integer digits keep 4 decimals,
// 3 keep 3, 4 keep 2, 5 keep 1, 6 or more none), without trailing zeros. A
// whole value shows as its digits and ".0000", cut to 7 characters
// (5 -> "5.0000", 100 -> "100.000").
std::string cutToSevenChars(double value, const Regional& regional);

// A level cut (not rounded) to one decimal: 85.07 -> "85.0", -3.46 -> "-3.4".
// Only floating-point error is forgiven: 84.99999999999999 -> "85.0", but
// 78.199997 -> "78.1".
std::string cutToOneDecimal(double value, const Regional& regional);

// The derived columns of the real-time file list after No.s, date and dB, in
// order: TWA, Dose, SEL, SE, LEP,d, Leq, PTWA, PDose, LAvg.
inline constexpr int derivedColumnCount = 9;

// The values of those columns after a record; NaN where a value is empty
// (all of them before the first reading).
std::array<double, derivedColumnCount> derivedValues(const Exposure& exposure);

// The text of derived column `index` for a value; NaN shows kNoValueText. The same
// texts as exposureCells gives for a row.
std::string derivedCellText(int index, double value, const Regional& regional);

// The same texts written straight into a buffer of at least
// derivedCellMaxChars bytes; each returns the end of what it wrote.
inline constexpr std::size_t derivedCellMaxChars = 416;
char* writeDerivedCell(char* out, int index, double value, const Regional& regional);
char* writeCutToSevenChars(char* out, double value, const Regional& regional);
char* writeCutToOneDecimal(char* out, double value, const Regional& regional);
// Rounded half away from zero, as formatFixed with one decimal.
char* writeRoundedOneDecimal(char* out, double value, const Regional& regional);

} // namespace km740
