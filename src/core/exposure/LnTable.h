// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/LevelDistribution.h"

#include <array>
#include <string>

namespace km740 {

// The statistical levels L0 .. L99 as texts; entry n is the level exceeded
// during n % of the samples. Empty texts when nothing was counted.
using LnTable = std::array<std::string, 100>;

// Entry n is the highest bin b whose samples at or above b are at least n %
// of all counted samples, and at least one: entry 0 is the highest level
// seen, entry 50 the median. One decimal, regional separator.
LnTable computeLnTable(const LevelDistribution& distribution, Resolution resolution, const Regional& regional);

// The ten rows of the percentile table, as tab-separated grid rows: row i is
// "L(i0)" and then, each after a Tab, entries 10i .. 10i + 9. An empty entry
// 99 shows entry 98.
std::array<std::string, 10> gridLnRows(const LnTable& table);

// The header row of that table: "Ln" and " 0" .. " 9".
std::string gridLnHeader();

} // namespace km740
