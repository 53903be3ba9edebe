// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Regional.h"

#include <string>

namespace km740 {

// Dose, projected dose and sound exposure as the file lists show them: cut,
// not rounded, to at most 7 characters (1-2 integer digits keep 4 decimals,
// 3 keep 3, 4 keep 2, 5 keep 1, 6 or more none), without trailing zeros. A
// whole value shows as its digits and ".0000", cut to 7 characters
// (5 -> "5.0000", 100 -> "100.000").
std::string cutToSevenChars(double value, const Regional& regional);

// A level cut (not rounded) to one decimal: 85.07 -> "85.0", -3.46 -> "-3.4".
std::string cutToOneDecimal(double value, const Regional& regional);

} // namespace km740
