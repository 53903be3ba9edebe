// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/exposure/LevelDistribution.h"

#include <optional>

namespace km740 {

// A span of the level axis, in dB.
struct LevelSpan {
    double min = 0.0;
    double max = 0.0;
};

// Bars stand on the level of their bin (85.3 dB for bin 853 of the 0.1 dB
// counts); the histogram's level axis shows five bins of room on each side:
// from five bins below the lowest to five bins above the highest non-empty
// bin. Empty when nothing was counted.
std::optional<LevelSpan> histogramLevelSpan(const LevelDistribution& distribution, Resolution resolution);

// The width of one bin in dB.
double binWidth(Resolution resolution);

} // namespace km740
