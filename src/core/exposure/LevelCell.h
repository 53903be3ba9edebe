// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace km740 {

// What a sound level meter can report, in dB. A cell outside this span is
// no reading: it would only bend the sums (1e400 dB is no level).
inline constexpr double kLowestLevel = 0.0;
inline constexpr double kHighestLevel = 200.0;

// The level of one record cell, or nothing when the cell holds no reading:
// a cell with "-" in it (a missing level, kNoValueText), one that does not start
// with a number, or one whose number is not a level from kLowestLevel to
// kHighestLevel. "0.0" is a real reading of 0 dB. A decimal comma is read as
// the point, so "85,3" is 85.3 dB (a level cell never has thousands).
std::optional<double> readLevelCell(std::string_view cell);

// True for a finite level a meter can report.
bool isPossibleLevel(double level);

} // namespace km740
