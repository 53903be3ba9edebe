// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/HistogramRange.h"

namespace km740 {

namespace {

constexpr int kRoomBins = 5;

} // namespace

double binWidth(Resolution resolution)
{
    return resolution == Resolution::tenth ? 0.1 : 1.0;
}

std::optional<LevelSpan> histogramLevelSpan(const LevelDistribution& distribution, Resolution resolution)
{
    const auto lowest = distribution.lowestBin(resolution);
    const auto highest = distribution.highestBin(resolution);
    if (!lowest || !highest)
        return std::nullopt;
    const double room = kRoomBins * binWidth(resolution);
    return LevelSpan{LevelDistribution::binLevel(resolution, *lowest) - room,
                     LevelDistribution::binLevel(resolution, *highest) + room};
}

} // namespace km740
